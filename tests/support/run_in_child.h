#pragma once
// Runs a check in a forked child: as the unprivileged user nobody when the tests run as root, so
// that file permissions apply as they do for an ordinary user, and under a time limit, so that a
// check that would hang (a read from a FIFO) fails instead.

#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavrik::test {

inline constexpr unsigned kNobody = 65534;

// The child's exit code (check()'s result; 125 when privileges could not be dropped), or
// 128 + the signal that ended it (SIGALRM when the time limit ran out).
inline int runInChild(const std::function<int()>& check, bool unprivileged, unsigned seconds = 20) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        if (unprivileged && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(125);
            }
        }
        ::_exit(check());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tavrik::test
