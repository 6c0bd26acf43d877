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
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace zorv::files {
namespace {

// The walk runs in two passes. The first reads every folder in walk order
// and records the runs of file entries; a file entry's kind is final there
// unless it needs a stat (the read-only test, or what a link points to),
// which never turns it into a folder, so the order is known before any stat.
// The stats are done folder by folder, shared between the writing pass and
// a helper thread that starts on them while the tree is still being read;
// each run is written once its folder is done.

struct Entry {
    std::uint32_t off = 0;
    std::uint32_t len = 0;
    unsigned char type = DT_UNKNOWN;
    EntryKind kind = EntryKind::Skip; // written by the stats of the second pass
    bool folder = false;              // fixed by the first pass
    bool needsLookup = false;
};

struct Folder {
    std::string path;  // bytes, ending in "/"
    std::string names; // the names' bytes, each ending in NUL
    std::vector<Entry> entries;
    size_t lookups = 0;
    std::atomic<int> state{0}; // 0 waiting, 1 being looked up, 2 done
};

struct Run {
    size_t folder;
    size_t textOff, textLen; // the folder's text in m_texts
    std::vector<std::uint32_t> entries;
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

class TextWalker {
public:
    TextWalker(int mask, bool recursive, const std::function<void(const TextFileRun &)> &onRun)
        : m_mask(mask), m_recursive(recursive), m_onRun(onRun) {}
    ~TextWalker() {
        if (!m_helper.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_reading = false;
            m_pending.clear();
        }
        m_wake.notify_one();
        m_helper.join();
    }

    bool start(const QString &path1) {
        const QString top = sourceTop(path1);
        QByteArray bytes;
        if (!encodePath(top, &bytes))
            return false;
        std::string path(bytes.constData(), size_t(bytes.size()));
        const QByteArray text = top.toUtf8();
        std::string dirText(text.constData(), size_t(text.size()));
        m_topText = dirText.size();
        if (!walk(path, dirText))
            return false;
        lookUpAndWrite();
        return true;
    }

private:
    bool read(Folder &f) {
        DIR *dir = openFolderStream(f.path.c_str());
        if (!dir)
            return false;
        const int fd = dirfd(dir);
        while (const struct dirent *de = readdir(dir)) {
            const char *name = de->d_name;
            if (skippedName(name, m_mask))
                continue;
            Entry e;
            e.type = de->d_type;
            switch (e.type) {
            case DT_DIR:
                if (!(m_mask & SubFolders))
                    continue;
                e.kind = EntryKind::Folder;
                e.folder = true;
                break;
            case DT_REG:
                e.kind = EntryKind::File;
                e.needsLookup = !(m_mask & ReadOnly);
                break;
            case DT_LNK: // a file or nothing
                e.kind = EntryKind::File;
                e.needsLookup = true;
                break;
            case DT_UNKNOWN: // may be a folder: looked up now
                e.kind = classifyEntry(fd, name, e.type, m_mask);
                if (e.kind == EntryKind::Skip)
                    continue;
                e.folder = e.kind == EntryKind::Folder;
                break;
            default:
                continue;
            }
            f.lookups += e.needsLookup;
            const size_t len = std::strlen(name);
            e.off = std::uint32_t(f.names.size());
            e.len = std::uint32_t(len);
            f.names.append(name, len + 1);
            f.entries.push_back(e);
        }
        closedir(dir);
        const char *names = f.names.data();
        std::sort(f.entries.begin(), f.entries.end(), [names](const Entry &a, const Entry &b) {
            return entryBytesBefore(QByteArrayView(names + a.off, a.len), a.folder,
                                    QByteArrayView(names + b.off, b.len), b.folder);
        });
        return true;
    }

    bool walk(std::string &path, std::string &dirText) {
        m_folders.emplace_back();
        const size_t index = m_folders.size() - 1;
        Folder &f = m_folders.back();
        f.path = path;
        if (!read(f))
            return false;
        if (f.lookups)
            share(f);
        std::vector<std::uint32_t> run;
        auto endRun = [&] {
            if (run.empty())
                return;
            m_runs.push_back(Run{index, m_texts.size(), dirText.size(), std::move(run)});
            m_texts += dirText;
            run.clear();
        };
        for (std::uint32_t i = 0; i < f.entries.size(); ++i) {
            const Entry &e = f.entries[i];
            if (!e.folder) {
                run.push_back(i);
                continue;
            }
            if (!m_recursive)
                continue;
            endRun();
            const size_t pathLen = path.size();
            const size_t textLen = dirText.size();
            path.append(f.names.data() + e.off, e.len).push_back('/');
            appendText(dirText, f.names.data() + e.off, e.len);
            dirText.push_back('/');
            walk(path, dirText);
            path.resize(pathLen);
            dirText.resize(textLen);
        }
        endRun();
        return true;
    }

    // The stats of one folder's entries; those that fail or turn out not to
    // be listed become Skip.
    void lookUp(Folder &f) {
        if (f.lookups == 0)
            return;
        const int fd = open(f.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (Entry &e : f.entries)
            if (e.needsLookup)
                e.kind = fd < 0 ? EntryKind::Skip
                                : classifyEntry(fd, f.names.data() + e.off, e.type, m_mask);
        if (fd >= 0)
            close(fd);
    }

    bool claim(Folder &f) {
        int waiting = 0;
        return f.state.compare_exchange_strong(waiting, 1, std::memory_order_acq_rel);
    }

    // Offers a folder read by the first pass to the helper thread, started
    // once there are enough stats to share.
    void share(Folder &f) {
        constexpr size_t kShared = 256; // fewer stats than this are not worth a thread
        m_lookups += f.lookups;
        {
            std::lock_guard lock(m_mutex);
            m_pending.push_back(&f);
        }
        if (m_helper.joinable())
            m_wake.notify_one();
        else if (m_lookups >= kShared)
            m_helper = std::thread([this] { helper(); });
    }

    void finishReading() {
        if (!m_helper.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_reading = false;
        }
        m_wake.notify_one();
    }

    // While the tree is read the helper takes the folders in the order they
    // were read; then it takes them from the last one while the writer goes
    // from the first, so neither waits for the other until they meet.
    void helper() {
        std::unique_lock lock(m_mutex);
        while (true) {
            if (m_pending.empty()) {
                if (!m_reading)
                    return;
                m_wake.wait(lock);
                continue;
            }
            const bool fromEnd = !m_reading;
            Folder *f;
            if (fromEnd) {
                f = m_pending.back();
                m_pending.pop_back();
            } else {
                f = m_pending.front();
                m_pending.pop_front();
            }
            lock.unlock();
            const bool mine = claim(*f);
            if (mine) {
                lookUp(*f);
                f->state.store(2, std::memory_order_release);
            }
            if (fromEnd && !mine)
                return; // the writer got here first: the rest is its own
            lock.lock();
        }
    }

    void lookUpAndWrite() {
        finishReading();
        std::deque<std::string> decoded;
        std::vector<std::string_view> names;
        for (const Run &run : m_runs) {
            Folder &f = m_folders[run.folder];
            if (f.lookups && f.state.load(std::memory_order_acquire) != 2) {
                if (claim(f)) {
                    lookUp(f);
                    f.state.store(2, std::memory_order_release);
                } else {
                    while (f.state.load(std::memory_order_acquire) != 2) {
#if defined(__x86_64__) || defined(__i386__)
                        __builtin_ia32_pause();
#endif
                    }
                }
            }
            names.clear();
            decoded.clear();
            for (const std::uint32_t i : run.entries) {
                const Entry &e = f.entries[i];
                if (e.kind != EntryKind::File)
                    continue;
                const char *s = f.names.data() + e.off;
                if (isAscii(s, e.len)) {
                    names.emplace_back(s, e.len);
                    continue;
                }
                std::string &t = decoded.emplace_back();
                appendText(t, s, e.len);
                names.emplace_back(t);
            }
            if (names.empty())
                continue;
            const std::string_view text(m_texts.data() + run.textOff, run.textLen);
            m_onRun(TextFileRun{text, text.substr(m_topText), &names});
        }
    }

    int m_mask;
    bool m_recursive;
    const std::function<void(const TextFileRun &)> &m_onRun;
    size_t m_topText = 0;
    std::deque<Folder> m_folders; // stable addresses for the helper
    std::vector<Run> m_runs;
    std::string m_texts; // the folders' texts of the runs
    size_t m_lookups = 0;
    std::thread m_helper;
    std::mutex m_mutex; // guards m_pending and m_reading
    std::condition_variable m_wake;
    std::deque<Folder *> m_pending; // read, not yet taken by the helper
    bool m_reading = true;
};

} // namespace

bool walkSourceText(const QString &path1, bool recursive, bool hidden,
                    const std::function<void(const TextFileRun &)> &onRun) {
    TextWalker w(recursive ? recursiveListType(hidden) : flatListType(hidden), recursive, onRun);
    return w.start(path1);
}

} // namespace zorv::files
