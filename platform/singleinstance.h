#pragma once
// One instance per user and display. An advisory lock (flock) on a file in a directory only
// that user can have made decides which start is first; the kernel drops it however
// the holder ends, so a crashed run never blocks a start. The first instance listens on a
// local socket beside the lock, over which later starts ask it to come to the front.
#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class InstanceRequests;

class SingleInstance {
  public:
    enum class Role { First, Second, Unguarded };

    // dir: where the lock and the socket live; key: what the instance is unique for (a
    // display). Takes the lock when it is free.
    SingleInstance(std::string dir, const std::string& key);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // First: this process holds the lock and listens. Second: another holds it.
    // Unguarded: the lock could not be made (no usable directory).
    Role role() const { return role_; }
    // Why the role is Unguarded, in words for the user.
    const std::string& Problem() const { return problem_; }

    // From a second start: asks the first to come to the front; false when it could not be
    // reached (it may still be starting: retried for a few seconds).
    bool AskFirstToComeForward() const;

    // The first instance's listening socket (-1 otherwise). Its requests are read by
    // TakeRequests, on the thread that watches RequestFd.
    int ListenFd() const { return listenFd_; }
    // Readable while there is work for TakeRequests (-1 when no request can come).
    int RequestFd() const;
    // Reads what the later starts have sent and says how many "come to the front" requests
    // it completed; never waits.
    int TakeRequests();

    const std::string& LockPath() const { return lockPath_; }
    const std::string& SocketPath() const { return socketPath_; }

  private:
    std::string lockPath_, socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    Role role_ = Role::Unguarded;
    std::string problem_;
    std::unique_ptr<InstanceRequests> requests_;
};

// The guard of last resort, when SingleInstance cannot have its lock: a lock on each
// directory the program writes to, so that a second copy never runs against the same
// files. A directory that does not exist yet is made; one that cannot be made is left out.
class DirectoryGuard {
  public:
    explicit DirectoryGuard(const std::vector<std::string>& dirs);
    ~DirectoryGuard();
    DirectoryGuard(const DirectoryGuard&) = delete;
    DirectoryGuard& operator=(const DirectoryGuard&) = delete;
    // Another process holds one of the directories.
    bool Busy() const { return busy_; }

  private:
    std::vector<int> fds_;
    bool busy_ = false;
};

// Where the lock of user uid lives, whatever the environment says, so that every start of
// that user on one display finds the same lock: runUser (the per-user runtime directory)
// when it is theirs and closed to others, else a private folder in home's cache, made when
// missing. Empty when neither is such a place.
std::string LockDir(uid_t uid, const std::string& runUser, const std::string& home);
// The same for the user running the program, with the home from the password database.
std::string LockDir();
// A file-name-safe key for the X display named: one key for every spelling of a local
// display (":1", ":1.0", "unix:1", "/tmp/.X11-unix/X1"); a remote one keeps its host.
std::string DisplayKey(std::string_view display);
// The key of $DISPLAY.
std::string DisplayKey();

}  // namespace platform
