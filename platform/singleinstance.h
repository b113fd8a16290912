#pragma once
// One instance per user session and display. An advisory lock (flock) on a file in the
// session's runtime directory decides which start is first; the kernel drops it however
// the holder ends, so a crashed run never blocks a start. The first instance listens on a
// local socket beside the lock, over which later starts ask it to come to the front.
#include <string>

namespace platform {

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
    // Unguarded: the lock could not be made (no usable directory); the program runs alone.
    Role role() const { return role_; }

    // From a second start: asks the first to come to the front; false when it could not be
    // reached (it may still be starting: retried for a few seconds).
    bool AskFirstToComeForward() const;

    // The first instance's listening socket (-1 otherwise), to watch for readability.
    int ListenFd() const { return listenFd_; }
    // Accepts what is waiting; returns how many "come to the front" requests arrived.
    int TakeRequests();

    const std::string& LockPath() const { return lockPath_; }
    const std::string& SocketPath() const { return socketPath_; }

  private:
    std::string lockPath_, socketPath_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    Role role_ = Role::Unguarded;
};

// $XDG_RUNTIME_DIR when set and absolute, else a private directory under /tmp for the user.
std::string RuntimeDir();
// A file-name-safe key for the X display ($DISPLAY with the screen number dropped).
std::string DisplayKey();

}  // namespace platform
