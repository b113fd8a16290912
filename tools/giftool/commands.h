#pragma once
// The commands of giftool; each returns the process exit code.
#include <ostream>
#include <string>
#include <vector>

namespace giftool {

int Info(const std::string& path, std::ostream& out);
int Frames(const std::string& path, const std::string& dir);
int Encode(const std::string& outPath, const std::vector<std::string>& inputs, int delayMs);
// Re-saves a GIF through the codec: every frame decoded and encoded again.
int Copy(const std::string& inPath, const std::string& outPath);

inline constexpr const char* kComment = "Made with giftool of Rezazo '98";

}  // namespace giftool
