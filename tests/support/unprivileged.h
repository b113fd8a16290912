#pragma once
// Root writes anywhere, so a test that expects a refused write runs its check in a child
// that has dropped to the unprivileged user 65534.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testsupport {

// The check's result as the child's exit code: 3 when the child could not drop its
// privileges, -1 when it could not be started or did not exit normally.
inline int RunUnprivileged(const std::function<int()>& check) {
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int code = 3;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) code = check();
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace testsupport
