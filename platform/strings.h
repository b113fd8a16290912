#pragma once
// Text helpers shared by the readers of the program's text formats.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Without the leading and trailing characters of blanks (spaces and tabs unless told).
inline std::string_view Trim(std::string_view s, std::string_view blanks = " \t") {
    const auto b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

// The lines of a text broken at CR LF, CR or LF; a text ending with a break ends with an
// empty line, and an empty text is one empty line.
inline std::vector<std::string> SplitLines(std::string_view s) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.push_back(std::move(cur));
            cur.clear();
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            cur += s[i];
        }
    }
    lines.push_back(std::move(cur));
    return lines;
}

}  // namespace platform
