// Baseline of the in-place rename benchmark: a bare loop of rename(2) over
// DIR/f000000.txt ... renaming each to its upper-case name F000000.TXT, the
// same renames "zorv files names --op 5" plans.
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR COUNT\n", argv[0]);
        return 2;
    }
    const char *dir = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    char from[4096], to[4096];
    int failed = 0;
    for (long i = 0; i < count; ++i) {
        std::snprintf(from, sizeof from, "%s/f%06ld.txt", dir, i);
        std::snprintf(to, sizeof to, "%s/F%06ld.TXT", dir, i);
        if (std::rename(from, to) != 0)
            ++failed;
    }
    if (failed)
        std::fprintf(stderr, "%d renames failed\n", failed);
    return failed ? 1 : 0;
}
