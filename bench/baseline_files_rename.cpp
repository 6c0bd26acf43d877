// Baseline of the in-place rename benchmark: a bare loop of rename(2) from
// f<i> to g<i> in DIR. Prints "<count> <seconds>".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: baseline_files_rename DIR N\n");
        return 2;
    }
    const std::string dir = argv[1];
    const long n = std::atol(argv[2]);
    const auto start = std::chrono::steady_clock::now();
    long done = 0;
    for (long i = 0; i < n; ++i) {
        const std::string from = dir + "/f" + std::to_string(i);
        const std::string to = dir + "/g" + std::to_string(i);
        if (std::rename(from.c_str(), to.c_str()) == 0)
            ++done;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%ld %.3f\n", done, took.count());
    return done == n ? 0 : 1;
}
