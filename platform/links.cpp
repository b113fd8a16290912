#include "platform/links.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace platform {

namespace {

class SystemLinks final : public LinkBackend {
  public:
    // Labels ask at every creation and change of kind: an answer is kept for a little
    // while, so that a window full of links starts with one query per kind.
    bool HandlerAvailable(LinkKind kind) override {
        Answer& a = answers_[kind == LinkKind::Mailto ? 1 : 0];
        const auto now = std::chrono::steady_clock::now();
        if (!a.at || now - *a.at > kAnswerLifetime) {
            a.available = DesktopHandlerAvailable(kind);
            a.at = now;
        }
        return a.available;
    }
    void Open(const std::string& url) override { OpenWithDesktop(url); }

  private:
    static constexpr std::chrono::seconds kAnswerLifetime{30};
    struct Answer {
        bool available = false;
        std::optional<std::chrono::steady_clock::time_point> at;
    };
    Answer answers_[2];
};

LinkBackend*& Current() {
    static LinkBackend* current = &SystemLinkBackend();
    return current;
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool NamesHandler(const char* mimeType, std::chrono::milliseconds limit) {
    auto out = RunWithTimeLimit({"xdg-mime", "query", "default", mimeType}, limit);
    return out && out->find_first_not_of(" \t\r\n") != std::string::npos;
}

}  // namespace

LinkBackend& SystemLinkBackend() {
    static SystemLinks backend;
    return backend;
}

LinkBackend& CurrentLinkBackend() { return *Current(); }

ScopedLinkBackend::ScopedLinkBackend(LinkBackend& backend) : previous_(Current()) {
    Current() = &backend;
}
ScopedLinkBackend::~ScopedLinkBackend() { Current() = previous_; }

std::optional<std::string> RunWithTimeLimit(const std::vector<std::string>& argv,
                                            std::chrono::milliseconds limit) {
    if (argv.empty()) return std::nullopt;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    Fd readEnd{fds[0]}, writeEnd{fds[1]};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own process group, so that a time-out can end the children of a script too.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(writeEnd.fd);
    writeEnd.fd = -1;
    if (rc != 0) return std::nullopt;

    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string out;
    bool timedOut = false;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{readEnd.fd, POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            timedOut = n == 0;
            if (n < 0) timedOut = true;
            break;
        }
        char buf[512];
        ssize_t got = ::read(readEnd.fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // end of output
        out.append(buf, static_cast<size_t>(got));
        // A program that floods its output is not answering the question.
        if (out.size() > 64 * 1024) {
            timedOut = true;
            break;
        }
    }
    if (timedOut) ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

bool DesktopHandlerAvailable(LinkKind kind, std::chrono::milliseconds limit) {
    if (kind == LinkKind::Mailto) return NamesHandler("x-scheme-handler/mailto", limit);
    return NamesHandler("x-scheme-handler/http", limit) && NamesHandler("text/html", limit);
}

}  // namespace platform
