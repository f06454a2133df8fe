// Runs a check as an ordinary user. Permission bits do not stop root, and
// the tests often run as root (CI, containers), so a check of what a
// read-only folder does runs in a child process that has given up root.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace dova::testing {

enum class Unprivileged { passed, failed, impossible };

// `check` returns whether it passed; it must not use gtest assertions, which
// a child process could not report.
inline Unprivileged run_unprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check() ? Unprivileged::passed : Unprivileged::failed;
    const pid_t child = ::fork();
    if (child < 0) return Unprivileged::impossible;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(77);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return Unprivileged::failed;
    if (WEXITSTATUS(status) == 77) return Unprivileged::impossible;
    return WEXITSTATUS(status) == 0 ? Unprivileged::passed : Unprivileged::failed;
}

}  // namespace dova::testing
