// Baseline for the equality-find benchmark: a flat open-addressing hash table
// in plain C++. Reads list A and list B (one name per line), then times
// building the table from A and looking up every name of B.
// Usage: baseline_hash a.txt b.txt   Prints: "<hits> <seconds>".
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> readLines(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::uint64_t hashOf(std::string_view s) {
    std::uint64_t h = 1469598103934665603ULL; // FNV-1a
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h ^ (h >> 32);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: baseline_hash a.txt b.txt\n");
        return 2;
    }
    const std::vector<std::string> a = readLines(argv[1]);
    const std::vector<std::string> b = readLines(argv[2]);
    const auto start = std::chrono::steady_clock::now();

    std::size_t slots = 16;
    while (slots < a.size() * 2)
        slots *= 2;
    const std::size_t mask = slots - 1;
    std::vector<std::uint32_t> table(slots, 0); // index into a, plus one
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::size_t s = hashOf(a[i]) & mask;
        while (table[s] && a[table[s] - 1] != a[i])
            s = (s + 1) & mask;
        if (!table[s])
            table[s] = std::uint32_t(i + 1);
    }
    std::size_t hits = 0;
    for (const std::string &name : b) {
        std::size_t s = hashOf(name) & mask;
        while (table[s]) {
            if (a[table[s] - 1] == name) {
                ++hits;
                break;
            }
            s = (s + 1) & mask;
        }
    }
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu %.3f\n", hits, secs);
    return 0;
}
