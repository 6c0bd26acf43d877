// Baseline of the in-place rename benchmarks (bench_cli.sh, bench_files.sh):
// a bare loop of rename(2) over DIR/f000000.txt ... renaming each to its
// upper-case name F000000.TXT, the same renames "zorv files names --op 5"
// plans and "bench_files rename" runs. With a third argument "back" it renames
// them back, which readies the folder for the next run. Prints
// "<renamed> <seconds>".
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s DIR COUNT [back]\n", argv[0]);
        return 2;
    }
    const bool back = argc == 4;
    const char *dir = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    char from[4096], to[4096];
    long done = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i) {
        std::snprintf(back ? to : from, sizeof from, "%s/f%06ld.txt", dir, i);
        std::snprintf(back ? from : to, sizeof to, "%s/F%06ld.TXT", dir, i);
        if (std::rename(from, to) == 0)
            ++done;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%ld %.3f\n", done, took.count());
    if (done != count)
        std::fprintf(stderr, "%ld renames failed\n", count - done);
    return done == count ? 0 : 1;
}
