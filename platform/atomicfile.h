#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A file could not be written; the old file, if any, is unchanged.
class FileWriteError : public std::runtime_error {
  public:
    FileWriteError(const std::string& path, const std::string& reason, int error = 0)
        : std::runtime_error(path + ": " + reason), path_(path), error_(error) {}
    const std::string& path() const { return path_; }
    // The errno of the failed step, 0 when unknown.
    int error() const { return error_; }

  private:
    std::string path_;
    int error_;
};

// Replaces path with bytes: written to a temporary file in the same directory, flushed to
// disk and renamed over the old file, so readers see either the old or the new content.
// An existing file keeps its permission bits. Throws FileWriteError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes bytes over an existing file in place (the same inode, so links and the owner
// stay): for a file whose directory does not let us make a temporary file. Throws
// FileWriteError.
void WriteFileInPlace(const std::string& path, std::string_view bytes);

// Removes the temporary files that WriteFileAtomically left next to path when the process
// was killed mid-write: plain files of ours with its name pattern. Only safe while the caller
// holds FileLock on path.
void RemoveStaleTemporaries(const std::string& path);
// Whether any file with that name pattern lies next to path.
bool HasTemporaries(const std::string& path);

// An exclusive advisory lock (flock) on a file for as long as the object lives. A missing
// file is made, empty, so that it can be locked; unless Keep() is called it is removed
// again when the lock goes. A file replaced while we waited is locked afresh. Opening the
// file never blocks; the lock waits at most a few seconds: Locked() is false when the lock
// could not be had.
class FileLock {
  public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Locked() const { return fd_ >= 0; }
    // Another writer kept the lock for longer than we wait.
    bool Busy() const { return busy_; }
    // Something other than a regular file is in the file's place (a directory, a pipe, a
    // device): it is not locked, and must not be written.
    bool NotRegular() const { return notRegular_; }
    // The lock made the file; the content written since belongs to the caller.
    bool Created() const { return created_; }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool kept_ = false;
    bool busy_ = false;
    bool notRegular_ = false;
};

}  // namespace platform
