#pragma once
// What the About window tells about the program: where to find it, where to write, who
// holds the copyright and how it came to be. Kept here, in one place.
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kHomePage = "https://rezazo.example.org/";
inline constexpr const char* kFeedbackAddress = "feedback@rezazo.example.org";
inline constexpr const char* kCopyrightNotice = "Copyright \u00a9 2026 the Rezazo '98 authors";

// The version history, newest first, one line per entry.
std::vector<std::string> VersionHistory();

}  // namespace app
