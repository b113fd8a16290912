#pragma once
// Shared by the fuzz targets that check properties of their own: the input shown in a
// finding, the check that reports one, and where scratch files go.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fuzzcheck {

// Printable ASCII as it is, every other byte (and the backslash) as \xHH.
inline std::string Shown(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

// Set per input so that a finding says what it was given.
inline std::string given;

// A failed check is a finding: it names the broken rule and the input, then aborts.
inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "finding: %s\n%s\n", what, given.c_str());
        std::abort();
    }
}

// Scratch files and directories go when the run ends, so that runs do not pile them up.
inline std::vector<std::string>& ScratchPaths() {
    static std::vector<std::string> paths;
    return paths;
}
inline void RemoveAtExit(const std::string& path) {
    if (ScratchPaths().empty())
        std::atexit([] {
            std::error_code ignored;
            for (const std::string& p : ScratchPaths()) std::filesystem::remove_all(p, ignored);
        });
    ScratchPaths().push_back(path);
}

// A mkstemp or mkdtemp pattern under $TMPDIR (memory where the test sets it), else /tmp.
inline std::string ScratchPattern(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name + "_XXXXXX";
}

}  // namespace fuzzcheck
