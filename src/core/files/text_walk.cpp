#include "core/files/text_walk.h"

#include "core/files/folder_list.h"
#include "core/files/native_path.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zorv::files {
namespace {

// The folders are read by two threads: each takes a whole folder, reads and
// sorts its entries, does the stats its files need on the same descriptor,
// and queues its sub-folders. The queue is a stack, and sub-folders go on it
// in reverse, so both threads work near the front of the depth-first order.
// The calling thread writes the runs in that order as soon as each folder it
// reaches is done; when it reaches one that is not, it reads it itself or
// helps with another, so neither thread waits for the other.

// A listed entry: a file, or a sub-folder when `folder`.
struct Entry {
    std::uint32_t off = 0;
    std::uint32_t len = 0;
    bool folder = false;
};

struct Folder {
    std::string path;  // bytes, ending in "/"
    std::string text;  // UTF-8 text of the path, ending in "/"
    std::string names; // the names' bytes, each ending in NUL
    std::vector<Entry> entries;
    std::vector<Folder *> children; // one per folder entry, in entry order
    std::uint32_t tooLong = 0;      // files left out: their path cannot be reached
    std::uint32_t masked = 0;       // files left out: read-only or hidden
    bool readable = false;
    std::atomic<int> state{0}; // 0 waiting, 1 being read, 2 done
};

bool isAscii(const char *s, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

void appendText(std::string &out, const char *s, size_t n) {
    if (isAscii(s, n)) {
        out.append(s, n);
        return;
    }
    const QByteArray t = decodeName(s, qsizetype(n)).toUtf8();
    out.append(t.constData(), size_t(t.size()));
}

// Room for `more` elements, growing at least twofold.
template <typename Buffer> void makeRoom(Buffer &b, std::size_t more) {
    if (b.capacity() - b.size() < more)
        b.reserve(std::max(2 * b.capacity(), b.size() + more));
}

void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

class TextWalker {
public:
    TextWalker(int mask, bool recursive, const std::function<void(const TextFileRun &)> &onRun)
        : m_mask(mask), m_recursive(recursive), m_onRun(onRun) {}
    ~TextWalker() {
        if (!m_helper.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_wake.notify_one();
        m_helper.join();
    }

    bool start(const QString &path1) {
        const QString top = sourceTop(path1);
        QByteArray bytes;
        if (!encodePath(top, &bytes)) {
            m_skipped = 1;
            return false;
        }
        Folder &root = m_folders.emplace_back();
        root.path.assign(bytes.constData(), size_t(bytes.size()));
        const QByteArray text = top.toUtf8();
        root.text.assign(text.constData(), size_t(text.size()));
        m_topText = root.text.size();
        waitFor(root);
        if (!root.readable) {
            m_skipped = 1;
            return false;
        }
        write(root);
        return true;
    }

    qint64 skipped() const { return m_skipped; }
    qint64 masked() const { return m_masked; }
    // Whether masked() is wanted: the count costs a stat per hidden entry.
    void countMasked(bool on) { m_countMasked = on; }

private:
    bool claim(Folder &f) {
        int waiting = 0;
        return f.state.compare_exchange_strong(waiting, 1, std::memory_order_acq_rel);
    }

    // Reads a claimed folder: its listed entries in listing order, each
    // file's kind settled by the stats it needs, its sub-folders queued.
    void load(Folder &f) {
        const int fd = open(f.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            readEntries(f, fd);
            close(fd);
            f.readable = true;
        }
        if (!f.children.empty())
            queue(f);
        f.state.store(2, std::memory_order_release);
    }

    // The listed entries of the open folder fd, read straight from
    // getdents64 so the same descriptor serves the stats. A read error ends
    // the folder with the entries read so far, as readdir would.
    void readEntries(Folder &f, int fd) {
        alignas(struct dirent64) char buf[32768];
        while (true) {
            const ssize_t n = getdents64(fd, buf, sizeof buf);
            if (n <= 0)
                break;
            // A record is longer than its name, and makes at most one entry.
            makeRoom(f.names, std::size_t(n));
            makeRoom(f.entries, std::size_t(n) / 24);
            for (ssize_t at = 0; at < n;) {
                const auto *de = reinterpret_cast<const struct dirent64 *>(buf + at);
                at += de->d_reclen;
                addEntry(f, fd, de->d_name, de->d_type);
            }
        }
        const char *names = f.names.data();
        std::sort(f.entries.begin(), f.entries.end(), [names](const Entry &a, const Entry &b) {
            if (!a.folder && !b.folder) { // the common case, without the brackets
                const int c = std::memcmp(names + a.off, names + b.off, std::min(a.len, b.len));
                return c != 0 ? c < 0 : a.len < b.len;
            }
            return entryBytesBefore(QByteArrayView(names + a.off, a.len), a.folder,
                                    QByteArrayView(names + b.off, b.len), b.folder);
        });
        for (const Entry &e : f.entries) {
            if (!e.folder || !m_recursive)
                continue;
            const char *name = f.names.data() + e.off;
            Folder *child = newFolder();
            child->path.reserve(f.path.size() + e.len + 1);
            child->path.append(f.path).append(name, e.len).push_back('/');
            child->text = f.text;
            appendText(child->text, name, e.len);
            child->text.push_back('/');
            f.children.push_back(child);
        }
        m_seen.fetch_add(f.entries.size(), std::memory_order_relaxed);
    }

    // Keeps the entry when the mask lists it, with the stat its kind or the
    // read-only test needs made on the folder's descriptor.
    void addEntry(Folder &f, int fd, const char *name, unsigned char type) {
        if (skippedName(name, m_mask)) {
            f.masked += m_countMasked && maskedOutFile(fd, name, type, m_mask);
            return;
        }
        const EntryKind kind = classifyEntry(fd, name, type, m_mask);
        if (kind == EntryKind::Skip) {
            f.masked += m_countMasked && maskedOutFile(fd, name, type, m_mask);
            return;
        }
        const size_t len = std::strlen(name);
        if (kind == EntryKind::File && !isReachablePath(qsizetype(f.path.size() + len))) {
            ++f.tooLong;
            return;
        }
        f.entries.push_back(
            Entry{std::uint32_t(f.names.size()), std::uint32_t(len), kind == EntryKind::Folder});
        f.names.append(name, len + 1);
    }

    Folder *newFolder() {
        std::lock_guard lock(m_mutex);
        return &m_folders.emplace_back();
    }

    // Sub-folders go on the stack last first, so the first is taken next.
    void queue(Folder &f) {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.insert(m_jobs.end(), f.children.rbegin(), f.children.rend());
        }
        if (m_helping.load(std::memory_order_acquire))
            m_wake.notify_one();
    }

    // Takes a queued folder nobody has claimed yet; nullptr when none is left.
    Folder *takeJob() {
        std::lock_guard lock(m_mutex);
        while (!m_jobs.empty()) {
            Folder *f = m_jobs.back();
            m_jobs.pop_back();
            if (f->state.load(std::memory_order_relaxed) == 0)
                return f;
        }
        return nullptr;
    }

    // Returns once f is done, reading it here if nobody has begun it, and
    // reading other folders meanwhile if the helper has.
    void waitFor(Folder &f) {
        while (f.state.load(std::memory_order_acquire) != 2) {
            if (claim(f)) {
                load(f);
                break;
            }
            if (Folder *other = takeJob()) {
                if (claim(*other))
                    load(*other);
            } else {
                cpuRelax();
            }
        }
        startHelperIfWorthIt();
    }

    // A second thread pays off once there are enough entries to share;
    // small listings stay on the calling thread.
    void startHelperIfWorthIt() {
        constexpr size_t kShared = 256;
        if (m_helper.joinable() || m_seen.load(std::memory_order_relaxed) < kShared)
            return;
        {
            std::lock_guard lock(m_mutex);
            if (m_jobs.empty())
                return;
        }
        m_helping.store(true, std::memory_order_release);
        m_helper = std::thread([this] { helper(); });
    }

    void helper() {
        std::unique_lock lock(m_mutex);
        while (!m_finished) {
            if (m_jobs.empty()) {
                m_wake.wait(lock);
                continue;
            }
            Folder *f = m_jobs.back();
            m_jobs.pop_back();
            lock.unlock();
            if (claim(*f))
                load(*f);
            lock.lock();
        }
    }

    // Writes the runs of files depth-first: a folder's files up to each
    // sub-folder, then that sub-folder's, then the files after it.
    void write(Folder &root) {
        struct Position {
            Folder *folder;
            size_t next = 0;  // the next entry to write
            size_t child = 0; // the next sub-folder to enter
        };
        std::vector<Position> path{{&root}};
        std::deque<std::string> decoded;
        std::vector<std::string_view> names;
        while (!path.empty()) {
            Position &at = path.back();
            Folder &f = *at.folder;
            names.clear();
            decoded.clear();
            size_t i = at.next;
            for (; i < f.entries.size() && !f.entries[i].folder; ++i) {
                const Entry &e = f.entries[i];
                const char *s = f.names.data() + e.off;
                if (isAscii(s, e.len)) {
                    names.emplace_back(s, e.len);
                    continue;
                }
                std::string &t = decoded.emplace_back();
                appendText(t, s, e.len);
                names.emplace_back(t);
            }
            if (!names.empty()) {
                const std::string_view text(f.text);
                m_onRun(TextFileRun{text, text.substr(m_topText), &names});
            }
            if (i == f.entries.size()) {
                m_skipped += f.tooLong + (f.readable ? 0 : 1);
                m_masked += f.masked;
                release(f);
                path.pop_back();
                continue;
            }
            at.next = i + 1;
            if (at.child >= f.children.size())
                continue; // a listed sub-folder of a flat listing
            Folder *child = f.children[at.child++];
            waitFor(*child);
            path.push_back({child});
        }
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_wake.notify_one();
    }

    // A written folder keeps its node (the stack may still point at it) but
    // not its entries.
    static void release(Folder &f) {
        std::string().swap(f.names);
        std::vector<Entry>().swap(f.entries);
    }

    int m_mask;
    bool m_recursive;
    const std::function<void(const TextFileRun &)> &m_onRun;
    size_t m_topText = 0;
    qint64 m_skipped = 0;         // counted by the writing thread
    qint64 m_masked = 0;          // counted by the writing thread
    bool m_countMasked = false;   // set before start
    std::deque<Folder> m_folders; // stable addresses; grown under m_mutex
    std::atomic<size_t> m_seen{0};
    std::thread m_helper; // started and joined by the writing thread
    std::atomic<bool> m_helping{false};
    std::mutex m_mutex; // guards m_folders' growth, m_jobs and m_finished
    std::condition_variable m_wake;
    std::vector<Folder *> m_jobs; // read by nobody yet, or claimed meanwhile
    bool m_finished = false;
};

} // namespace

bool walkSourceText(const QString &path1, bool recursive, bool hidden,
                    const std::function<void(const TextFileRun &)> &onRun, qint64 *skipped,
                    qint64 *masked) {
    TextWalker w(recursive ? recursiveListType(hidden) : flatListType(hidden), recursive, onRun);
    w.countMasked(masked != nullptr);
    const bool read = w.start(path1);
    if (skipped)
        *skipped = w.skipped();
    if (masked)
        *masked = w.masked();
    return read;
}

} // namespace zorv::files
