// Baseline for the list comparison benchmark: the same three phases in plain
// C++ with flat open-addressing hash tables: the repeated names of list 1
// and of list 2, then every kept name of list 1 looked up among list 2's.
// The lists are read first and not timed.
// Usage: baseline_lists_hash one.txt two.txt   Prints: "<dups1> <dups2> <matched> <seconds>".
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string readFile(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string_view> linesOf(const std::string &text) {
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos)
            nl = text.size();
        out.emplace_back(text.data() + at, nl - at);
        at = nl + 1;
    }
    return out;
}

std::uint64_t hashOf(std::string_view s) {
    std::uint64_t h = 1469598103934665603ULL; // FNV-1a, then mixed
    for (unsigned char c : s)
        h = (h ^ c) * 1099511628211ULL;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

class Set {
public:
    explicit Set(std::size_t n) {
        std::size_t cap = 16;
        while (cap < n * 2)
            cap *= 2;
        m_slots.assign(cap, {});
        m_mask = cap - 1;
    }
    // True when s was new.
    bool insert(std::string_view s) {
        const std::uint64_t h = hashOf(s);
        for (std::uint64_t i = h & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (!slot.used) {
                slot = {h, s, true};
                return true;
            }
            if (slot.hash == h && slot.key == s)
                return false;
        }
    }
    bool contains(std::string_view s) const {
        const std::uint64_t h = hashOf(s);
        for (std::uint64_t i = h & m_mask;; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (!slot.used)
                return false;
            if (slot.hash == h && slot.key == s)
                return true;
        }
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::string_view key;
        bool used = false;
    };
    std::vector<Slot> m_slots;
    std::uint64_t m_mask = 0;
};

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: baseline_lists_hash one.txt two.txt\n");
        return 2;
    }
    const std::string t1 = readFile(argv[1]), t2 = readFile(argv[2]);
    const std::vector<std::string_view> l1 = linesOf(t1), l2 = linesOf(t2);
    const auto start = std::chrono::steady_clock::now();
    Set s1(l1.size()), s2(l2.size());
    std::size_t dups1 = 0, dups2 = 0, matched = 0;
    std::vector<std::string_view> kept1;
    kept1.reserve(l1.size());
    for (std::string_view s : l1) {
        if (s1.insert(s))
            kept1.push_back(s);
        else
            ++dups1;
    }
    for (std::string_view s : l2)
        dups2 += !s2.insert(s);
    for (std::string_view s : kept1)
        matched += s2.contains(s);
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu %zu %zu %.3f\n", dups1, dups2, matched, secs);
    return 0;
}
