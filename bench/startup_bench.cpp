// Start-up: from spawning a program to its window's first expose, for the console and for an
// empty Qt window started the same way, alternately, the median of several runs each.

#include "bench/table.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

long long Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Milliseconds from spawn to first expose, or a negative value when the program failed.
double TimeOnce(const std::string& program) {
    int out[2];
    if (pipe(out) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    const long long start = Now();
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    if (failed == 0) {
        waitpid(pid, &status, 0);
    }
    if (failed != 0 || text.empty()) {
        return -1;
    }
    return static_cast<double>(std::atoll(text.c_str()) - start) / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string folder = [&] {
        std::string self = argv[0];
        return self.substr(0, self.rfind('/') + 1);
    }();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;
    std::vector<double> console;
    std::vector<double> empty;
    for (int i = 0; i < runs; ++i) {
        const double c = TimeOnce(folder + "startup_console");
        const double e = TimeOnce(folder + "startup_empty");
        if (c < 0 || e < 0) {
            std::fprintf(stderr, "startup_bench: a program did not show its window\n");
            return EXIT_FAILURE;
        }
        console.push_back(c);
        empty.push_back(e);
    }
    const double c = Median(console);
    const double e = Median(empty);
    bench::Row("start-up to window shown: console", bench::Fixed(c, 0) + " ms",
               bench::Fixed(c / e, 2) + "x the empty window (target <= 1.5); median of " +
                   std::to_string(runs));
    bench::Row("start-up to window shown: empty Qt window", bench::Fixed(e, 0) + " ms", "");
    return 0;
}
