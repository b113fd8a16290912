#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A file could not be written; the old file, if any, is unchanged.
class FileWriteError : public std::runtime_error {
  public:
    FileWriteError(const std::string& path, const std::string& reason)
        : std::runtime_error(path + ": " + reason), path_(path) {}
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Replaces path with bytes: written to a temporary file in the same directory, flushed to
// disk and renamed over the old file, so readers see either the old or the new content.
// An existing file keeps its permission bits. Throws FileWriteError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
