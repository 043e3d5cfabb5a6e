// Running one measurement in a child process of its own, so that its peak resident size
// belongs to that run alone, and the median of repeated runs.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <type_traits>
#include <vector>

namespace bench {

// Runs `fn` (returning a trivially copyable measurement) in a forked child and returns what
// it measured. An exception in the child or a child that dies ends the benchmark with a
// message naming `what`.
template <typename Fn>
auto InChild(const char* what, Fn fn) -> decltype(fn()) {
    using Measure = decltype(fn());
    static_assert(std::is_trivially_copyable_v<Measure>, "the measurement crosses a pipe");
    std::fflush(stdout);
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Measure m{};
        try {
            m = fn();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", what, e.what());
            _exit(1);
        }
        if (write(fds[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    Measure m{};
    const bool ok = read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: the measurement failed\n", what);
        std::exit(1);
    }
    return m;
}

// The median of `values` (the mean of the middle two for an even count); 0 when empty.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace bench
