#pragma once
// Scratch directories and environment overrides for the platform tests.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "tests/support/tempdir.h"

namespace testing_scratch {

using testsupport::TempDir;

// Sets (or, with nullopt, unsets) an environment variable and puts the old value back.
class EnvOverride {
  public:
    EnvOverride(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvOverride() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    EnvOverride(const EnvOverride&) = delete;
    EnvOverride& operator=(const EnvOverride&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace testing_scratch
