#include "core/files/text_walk.h"

#include "core/files/folder_list.h"
#include "core/files/native_path.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace zorv::files {
namespace {

struct Entry {
    std::uint32_t off = 0;
    std::uint32_t len = 0;
    unsigned char type = DT_UNKNOWN;
    EntryKind kind = EntryKind::Skip;
    bool needsLookup = false; // kind comes from classifyEntry (a stat)
};

// Entries whose kind needs a stat, classified half on the calling thread and
// half on one helper thread started at the first large folder.
class Classifier {
public:
    ~Classifier() {
        if (m_thread.joinable()) {
            m_stop.store(true);
            m_job.fetch_add(1);
            m_job.notify_one();
            m_thread.join();
        }
    }

    void run(int dirfd, const char *names, Entry **list, size_t n, int mask) {
        constexpr size_t kShared = 32; // below this a hand-over costs more than it saves
        if (n < kShared) {
            classify(dirfd, names, list, n, mask);
            return;
        }
        if (!m_thread.joinable())
            m_thread = std::thread([this] { work(); });
        const size_t half = n / 2;
        m_dirfd = dirfd;
        m_names = names;
        m_list = list + half;
        m_count = n - half;
        m_mask = mask;
        const std::uint64_t job = m_job.fetch_add(1) + 1;
        m_job.notify_one();
        classify(dirfd, names, list, half, mask);
        for (std::uint64_t done = m_done.load(); done != job; done = m_done.load())
            m_done.wait(done);
    }

private:
    static void classify(int dirfd, const char *names, Entry **list, size_t n, int mask) {
        for (size_t i = 0; i < n; ++i)
            list[i]->kind = classifyEntry(dirfd, names + list[i]->off, list[i]->type, mask);
    }

    void work() {
        std::uint64_t seen = 0;
        while (true) {
            m_job.wait(seen);
            seen = m_job.load();
            if (m_stop.load())
                return;
            classify(m_dirfd, m_names, m_list, m_count, m_mask);
            m_done.store(seen);
            m_done.notify_one();
        }
    }

    std::thread m_thread;
    std::atomic<std::uint64_t> m_job{0};
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<bool> m_stop{false};
    // The job, written before m_job is raised and read after it is seen.
    int m_dirfd = -1;
    const char *m_names = nullptr;
    Entry **m_list = nullptr;
    size_t m_count = 0;
    int m_mask = 0;
};

// The entries of one folder; kept per depth so the buffers are reused.
struct Level {
    std::string names; // the names' bytes, each ending in NUL
    std::vector<Entry> entries;
    std::vector<Entry *> lookups;
    std::deque<std::string> decoded; // UTF-8 text of names that are not valid UTF-8
    std::vector<std::string_view> run;
};

bool isAscii(const char *s, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

class TextWalker {
public:
    TextWalker(int mask, bool recursive, const std::function<void(const TextFileRun &)> &onRun)
        : m_mask(mask), m_recursive(recursive), m_onRun(onRun) {}

    bool start(const QString &path1) {
        const QString top = sourceTop(path1);
        QByteArray bytes;
        if (!encodePath(top, &bytes))
            return false;
        m_path.assign(bytes.constData(), size_t(bytes.size()));
        const QByteArray text = top.toUtf8();
        m_text.assign(text.constData(), size_t(text.size()));
        m_topText = m_text.size();
        return walk(0);
    }

private:
    // The text of an entry's name: its bytes when they read back the same.
    std::string_view nameText(Level &level, const Entry &e) {
        const char *s = level.names.data() + e.off;
        if (isAscii(s, e.len))
            return {s, e.len};
        const QByteArray t = decodeName(s, qsizetype(e.len)).toUtf8();
        if (size_t(t.size()) == e.len && std::memcmp(t.constData(), s, e.len) == 0)
            return {s, e.len};
        return level.decoded.emplace_back(t.constData(), size_t(t.size()));
    }

    void flushRun(Level &level) {
        if (level.run.empty())
            return;
        const TextFileRun run{m_text, std::string_view(m_text).substr(m_topText), &level.run};
        m_onRun(run);
        level.run.clear();
        level.decoded.clear();
    }

    bool read(Level &level) {
        level.names.clear();
        level.entries.clear();
        level.lookups.clear();
        const int fd = open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        DIR *dir = fdopendir(fd);
        if (!dir) {
            close(fd);
            return false;
        }
        while (const struct dirent *de = readdir(dir)) {
            const char *name = de->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            if (name[0] == '.' && !(m_mask & Hidden))
                continue;
            Entry e;
            e.type = de->d_type;
            switch (e.type) {
            case DT_DIR:
                if (!(m_mask & SubFolders))
                    continue;
                e.kind = EntryKind::Folder;
                break;
            case DT_REG:
                e.kind = EntryKind::File;
                e.needsLookup = !(m_mask & ReadOnly);
                break;
            case DT_LNK:
            case DT_UNKNOWN:
                e.needsLookup = true;
                break;
            default:
                continue;
            }
            const size_t len = std::strlen(name);
            e.off = std::uint32_t(level.names.size());
            e.len = std::uint32_t(len);
            level.names.append(name, len + 1);
            level.entries.push_back(e);
        }
        for (Entry &e : level.entries)
            if (e.needsLookup)
                level.lookups.push_back(&e);
        m_classifier.run(dirfd(dir), level.names.data(), level.lookups.data(), level.lookups.size(),
                         m_mask);
        closedir(dir);
        std::erase_if(level.entries, [](const Entry &e) { return e.kind == EntryKind::Skip; });
        const char *names = level.names.data();
        std::sort(level.entries.begin(), level.entries.end(),
                  [names](const Entry &a, const Entry &b) {
                      return entryBytesBefore(
                          QByteArrayView(names + a.off, a.len), a.kind == EntryKind::Folder,
                          QByteArrayView(names + b.off, b.len), b.kind == EntryKind::Folder);
                  });
        return true;
    }

    bool walk(size_t depth) {
        if (m_levels.size() <= depth)
            m_levels.push_back(std::make_unique<Level>());
        Level &level = *m_levels[depth];
        if (!read(level))
            return false;
        for (const Entry &e : level.entries) {
            if (e.kind == EntryKind::File) {
                level.run.push_back(nameText(level, e));
                continue;
            }
            if (!m_recursive)
                continue;
            flushRun(level);
            const size_t pathLen = m_path.size();
            const size_t textLen = m_text.size();
            m_path.append(level.names.data() + e.off, e.len).push_back('/');
            appendFolderText(level, e);
            m_text.push_back('/');
            walk(depth + 1);
            m_path.resize(pathLen);
            m_text.resize(textLen);
        }
        flushRun(level);
        return true;
    }

    void appendFolderText(Level &level, const Entry &e) {
        const char *s = level.names.data() + e.off;
        if (isAscii(s, e.len)) {
            m_text.append(s, e.len);
            return;
        }
        const QByteArray t = decodeName(s, qsizetype(e.len)).toUtf8();
        m_text.append(t.constData(), size_t(t.size()));
    }

    int m_mask;
    bool m_recursive;
    const std::function<void(const TextFileRun &)> &m_onRun;
    std::string m_path; // bytes of the folder being read, ending in "/"
    std::string m_text; // its text as UTF-8
    size_t m_topText = 0;
    std::vector<std::unique_ptr<Level>> m_levels;
    Classifier m_classifier;
};

} // namespace

bool walkSourceText(const QString &path1, bool recursive, bool hidden,
                    const std::function<void(const TextFileRun &)> &onRun) {
    TextWalker w(recursive ? recursiveListType(hidden) : flatListType(hidden), recursive, onRun);
    return w.start(path1);
}

} // namespace zorv::files
