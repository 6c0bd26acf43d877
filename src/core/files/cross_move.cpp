#include "core/files/cross_move.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zorv::files {
namespace {

// A batch is flushed at this many moves or bytes: the flush then costs about
// as much as writing the data, and the outcomes do not lag far behind.
constexpr size_t kBatchMoves = 256;
constexpr qint64 kBatchBytes = qint64(64) << 20;

std::function<void(const QByteArray &)> &beforeSourceCheck() {
    static std::function<void(const QByteArray &)> hook;
    return hook;
}

bool sameTime(const struct timespec &a, const struct timespec &b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The source is still the file that was copied: same device and inode, and
// neither its size, its data time nor its status time changed.
bool unchanged(int dir, const QByteArray &name, const struct stat &copied) {
    struct stat now;
    return fstatat(dir, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_dev == copied.st_dev && now.st_ino == copied.st_ino &&
           now.st_size == copied.st_size && sameTime(now.st_mtim, copied.st_mtim) &&
           sameTime(now.st_ctim, copied.st_ctim);
}

// Removes the copy, unless its name now holds another file.
void removeCopy(const PendingMoves::Move &m) {
    struct stat st;
    if (fstatat(m.targetDir, m.target.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        st.st_dev == m.copyDev && st.st_ino == m.copyIno)
        unlinkat(m.targetDir, m.target.constData(), 0);
}

// A descriptor on the file system of the folder holding name, for syncfs.
int openFolderOf(int dir, const QByteArray &name) {
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : name.left(slash + 1);
    return openat(dir, folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

PendingMoves::~PendingMoves() {
    for (const auto &[dev, fd] : m_flush)
        if (fd >= 0)
            close(fd);
}

void PendingMoves::add(Move move) {
    if (!m_flush.count(move.copyDev))
        m_flush[move.copyDev] = openFolderOf(move.targetDir, move.target);
    m_sources.insert({move.copied.st_dev, move.copied.st_ino});
    m_bytes += move.bytes;
    m_moves.push_back(std::move(move));
}

bool PendingMoves::full() const {
    return m_moves.size() >= kBatchMoves || m_bytes >= kBatchBytes;
}

bool PendingMoves::holdsSource(const struct stat &st) const {
    return m_sources.count({st.st_dev, st.st_ino}) != 0;
}

void PendingMoves::finish(const std::function<void(qint64, Outcome)> &report) {
    std::set<dev_t> unflushed;
    for (const auto &[dev, fd] : m_flush) {
        if (fd < 0 || syncfs(fd) != 0)
            unflushed.insert(dev);
        if (fd >= 0)
            close(fd);
    }
    m_flush.clear();
    for (const Move &m : m_moves) {
        if (beforeSourceCheck())
            beforeSourceCheck()(m.source);
        const bool ok = !unflushed.count(m.copyDev) && unchanged(m.sourceDir, m.source, m.copied) &&
                        unlinkat(m.sourceDir, m.source.constData(), 0) == 0;
        if (!ok)
            removeCopy(m);
        if (report)
            report(m.row, ok ? Outcome::Success : Outcome::Failed);
    }
    m_moves.clear();
    m_sources.clear();
    m_bytes = 0;
}

void PendingMoves::setBeforeSourceCheck(std::function<void(const QByteArray &)> hook) {
    beforeSourceCheck() = std::move(hook);
}

} // namespace zorv::files
