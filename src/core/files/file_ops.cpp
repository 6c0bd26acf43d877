#include "core/files/file_ops.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zorv::files {
namespace {

// Copies in to out, expected bytes as the source's size promised; *copied
// counts what arrived. 0 or errno.
int copyData(int in, int out, off_t expected, off_t *copied) {
    *copied = 0;
    // copy_file_range until the promised size is there; an empty file still
    // asks once, so a file that holds more than its size says is noticed.
    while (*copied < expected || expected == 0) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n > 0) {
            *copied += n;
            continue;
        }
        if (n == 0) {
            if (*copied == expected)
                return 0;
            break; // a file system that copies nothing this way: read it
        }
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF && errno != EPERM)
            return errno;
        break;
    }
    if (*copied == expected && expected > 0)
        return 0;
    const auto buf = std::make_unique_for_overwrite<char[]>(size_t(1) << 17);
    for (;;) {
        const ssize_t n = read(in, buf.get(), size_t(1) << 17);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buf.get() + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += w;
        }
        *copied += n;
    }
}

bool exists(At f) {
    struct stat st;
    return fstatat(f.dir, f.name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Writes the data of the open source into out and gives it the source's
// times; checks that every byte arrived. 0 or errno; out stays open.
int fillCopy(int in, const struct stat &src, int out) {
    off_t copied = 0;
    if (const int e = copyData(in, out, src.st_size, &copied))
        return e;
    if (copied != src.st_size)
        return EIO;
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    futimens(out, times);
    return 0;
}

// Opens a regular file for reading: the descriptor, or minus an errno. A
// name that is gone gives -ENOENT; anything but a regular file (a FIFO, a
// device, a folder) -EINVAL, found by a stat before the open and checked
// again on the open file, which is opened without blocking (a FIFO would
// wait for a writer).
int openSource(At src, struct stat *st) {
    if (fstatat(src.dir, src.name, st, 0) != 0)
        return -errno;
    if (!S_ISREG(st->st_mode))
        return -EINVAL;
    const int in = openat(src.dir, src.name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0)
        return -errno;
    int e = 0;
    if (fstat(in, st) != 0)
        e = errno;
    else if (!S_ISREG(st->st_mode))
        e = EINVAL;
    else if (fcntl(in, F_SETFL, 0) != 0) // reads of a regular file may block again
        e = errno;
    if (e) {
        close(in);
        return -e;
    }
    return in;
}

// Copies the open source into a temporary file beside tgt and publishes it
// under tgt, replacing or not. 0 or errno; nothing is left behind on failure.
int copyOpen(int in, const struct stat &st, At tgt, bool replace, StaleSweep *sweep) {
    if (sweep)
        sweep->sweepFolderOf(tgt);
    TempFile temp;
    if (const int e = createTemp(tgt, st.st_mode & 0777, &temp))
        return e;
    if (const int e = fillCopy(in, st, temp.fd)) {
        discardTemp(temp);
        return e;
    }
    return publishTemp(temp, tgt, replace);
}

// A source opened for a copy, closed at the end of the scope.
struct Source {
    int fd;
    struct stat st;
    explicit Source(At src) : fd(openSource(src, &st)) {}
    ~Source() {
        if (fd >= 0)
            close(fd);
    }
    int error() const { return fd < 0 ? -fd : 0; }
};

int copyNewFrom(const Source &s, At tgt, StaleSweep *sweep) {
    if (s.error())
        return s.error();
    if (exists(tgt)) // spares the copy; the rename still refuses to replace
        return EEXIST;
    return copyOpen(s.fd, s.st, tgt, false, sweep);
}

// The copy of a move across file systems, published under tgt without
// replacing: exact permission bits, the owner where allowed, times; a
// symbolic link is moved as a link. *move gets the identities of the source
// as copied and of the copy.
int copyForMove(At src, At tgt, StaleSweep *sweep, PendingMoves::Move *move) {
    struct stat lst;
    if (fstatat(src.dir, src.name, &lst, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISLNK(lst.st_mode)) {
        std::vector<char> target(size_t(lst.st_size) + 256);
        const ssize_t n = readlinkat(src.dir, src.name, target.data(), target.size() - 1);
        if (n < 0)
            return errno;
        target[size_t(n)] = 0;
        struct stat made;
        if (symlinkat(target.data(), tgt.dir, tgt.name) != 0)
            return errno;
        if (fstatat(tgt.dir, tgt.name, &made, AT_SYMLINK_NOFOLLOW) != 0) {
            const int e = errno;
            unlinkat(tgt.dir, tgt.name, 0);
            return e;
        }
        move->copied = lst;
        move->copyDev = made.st_dev;
        move->copyIno = made.st_ino;
        return 0;
    }
    const Source s(src);
    if (s.error())
        return s.error();
    if (s.st.st_dev != lst.st_dev || s.st.st_ino != lst.st_ino)
        return EAGAIN; // replaced between the two looks
    if (exists(tgt))
        return EEXIST;
    if (sweep)
        sweep->sweepFolderOf(tgt);
    TempFile temp;
    if (const int e = createTemp(tgt, 0600, &temp))
        return e;
    int e = fillCopy(s.fd, s.st, temp.fd);
    struct stat written;
    if (!e) {
        if (fchown(temp.fd, s.st.st_uid, s.st.st_gid) != 0)
            (void)!fchown(temp.fd, uid_t(-1), s.st.st_gid);
        if (fchmod(temp.fd, s.st.st_mode & 07777) != 0)
            e = errno;
        const struct timespec times[2] = {s.st.st_atim, s.st.st_mtim};
        futimens(temp.fd, times);
        if (!e && (fstat(temp.fd, &written) != 0 || written.st_size != s.st.st_size))
            e = EIO;
    }
    if (e) {
        discardTemp(temp);
        return e;
    }
    if ((e = publishTemp(temp, tgt, false)))
        return e;
    move->copied = s.st;
    move->copyDev = written.st_dev;
    move->copyIno = written.st_ino;
    move->bytes = s.st.st_size;
    return 0;
}

// A rename within one file system that never replaces; EXDEV across file
// systems.
int renameNew(At src, At tgt) {
    if (renameat2(src.dir, src.name, tgt.dir, tgt.name, RENAME_NOREPLACE) == 0)
        return 0;
    int e = errno;
    if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP) {
        // A file system without the no-replace rename: a hard link is just as
        // exclusive.
        if (linkat(src.dir, src.name, tgt.dir, tgt.name, 0) == 0) {
            if (unlinkat(src.dir, src.name, 0) == 0)
                return 0;
            e = errno;
            unlinkat(tgt.dir, tgt.name, 0);
            return e;
        }
        e = errno;
    }
    if (e != EEXIST && e != EXDEV && exists(src) && exists(tgt))
        return EEXIST;
    return e;
}

// The source of a move: a regular file or a symbolic link. 0, ENOENT when
// it is gone, EINVAL for anything else.
int checkMoveSource(At src) {
    struct stat st;
    if (fstatat(src.dir, src.name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    return movableMode(st.st_mode) ? 0 : EINVAL;
}

} // namespace

int copyNew(At src, At tgt, StaleSweep *sweep) {
    return copyNewFrom(Source(src), tgt, sweep);
}

int copyReplacing(At src, At tgt, StaleSweep *sweep) {
    const Source s(src);
    if (s.error())
        return s.error();
    return copyOpen(s.fd, s.st, tgt, true, sweep);
}

int moveNew(At src, At tgt, StaleSweep *sweep) {
    if (const int e = checkMoveSource(src))
        return e;
    int e = renameNew(src, tgt);
    if (e != EXDEV)
        return e;
    PendingMoves::Move move;
    if ((e = copyForMove(src, tgt, sweep, &move)))
        return e;
    move.sourceDir = src.dir;
    move.source = src.name;
    move.targetDir = tgt.dir;
    move.target = tgt.name;
    PendingMoves pending;
    pending.add(std::move(move));
    Outcome outcome = Outcome::Failed;
    pending.finish([&](qint64, Outcome o) { outcome = o; });
    return outcome == Outcome::Success ? 0 : EAGAIN;
}

void createMissingFolders(const QByteArray &targetDir, const QByteArray &root) {
    if (root.size() + 1 >= targetDir.size())
        return;
    qsizetype k = root.size() + 1;
    while (k <= targetDir.size()) {
        const qsizetype slash = targetDir.indexOf('/', k);
        if (slash < 0)
            break;
        k = slash + 1;
        if (slash > 0)
            mkdir(targetDir.left(slash).constData(), 0777);
    }
}

FolderCache::~FolderCache() {
    if (m_source.fd >= 0)
        close(m_source.fd);
    if (m_target.fd >= 0)
        close(m_target.fd);
}

int FolderCache::get(Slot &slot, const QByteArray &folder) {
    if (folder.isEmpty())
        return AT_FDCWD;
    if (slot.fd >= 0 && slot.path == folder)
        return slot.fd;
    if (slot.fd >= 0)
        close(slot.fd);
    slot.fd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    slot.path = slot.fd >= 0 ? folder : QByteArray();
    return slot.fd;
}

int FolderCache::target(const QByteArray &folder) {
    if (m_source.fd >= 0 && m_source.path == folder)
        return m_source.fd;
    return get(m_target, folder);
}

void FolderCache::dropTarget() {
    if (m_target.fd >= 0)
        close(m_target.fd);
    m_target = Slot{};
}

namespace {

// Names of a task's files, relative to cached folders where they open.
struct Names {
    QByteArray sourcePath, targetPath; // full paths, used when a folder does not open
    At src, tgt;

    Names(const Task &t, FolderCache *folders) { resolve(t, folders); }
    void resolve(const Task &t, FolderCache *folders) {
        const int s = folders ? folders->source(t.sourceDir) : -1;
        if (s >= 0 || s == AT_FDCWD) {
            src = At{s, t.sourceName.constData()};
        } else {
            sourcePath = t.source();
            src = At{AT_FDCWD, sourcePath.constData()};
        }
        const int d = folders ? folders->target(t.targetDir) : -1;
        if (d >= 0 || d == AT_FDCWD) {
            tgt = At{d, t.targetName.constData()};
        } else {
            targetPath = t.target();
            tgt = At{AT_FDCWD, targetPath.constData()};
        }
    }
    // After the missing folders were made.
    void refresh(const Task &t, FolderCache *folders) {
        if (folders)
            folders->dropTarget();
        resolve(t, folders);
    }
};

} // namespace

namespace {

// What a task's failure to find its target folder looks like.
bool targetFolderMissing(int e) {
    return e == ENOENT || e == ENOTDIR || e == EBADF;
}

// A move of task: a rename, or, across file systems, a copy that joins
// pending (nullopt) or, without pending, finishes at once.
std::optional<Outcome> executeMove(const Task &task, const QByteArray &root, bool overwrite,
                                   FolderCache *folders, PendingMoves *pending, Names &n,
                                   bool sourceLooked) {
    const bool inPlace = task.action == Action::MoveInPlace;
    const Outcome taken = inPlace || overwrite ? Outcome::Invalid : Outcome::Cancelled;
    if (!sourceLooked && checkMoveSource(n.src))
        return Outcome::Failed;
    int e = renameNew(n.src, n.tgt);
    if (!inPlace && (e == ENOENT || e == EBADF)) {
        // No folders are made for a source that went away since the look.
        if (sourceLooked && checkMoveSource(n.src))
            return Outcome::Failed;
        createMissingFolders(task.targetDir, root);
        n.refresh(task, folders);
        e = renameNew(n.src, n.tgt);
    }
    if (e == EXDEV && !pending)
        e = moveNew(n.src, n.tgt, folders ? &folders->sweep() : nullptr);
    else if (e == EXDEV) {
        PendingMoves::Move move;
        e = copyForMove(n.src, n.tgt, &folders->sweep(), &move);
        if (!e) {
            move.row = task.row;
            move.source = task.source();
            move.target = task.target();
            pending->add(std::move(move));
            return std::nullopt;
        }
    }
    return e == 0 ? Outcome::Success : e == EEXIST ? taken : Outcome::Failed;
}

std::optional<Outcome> execute(const Task &task, const QByteArray &root, bool overwrite,
                               FolderCache *folders, PendingMoves *pending,
                               bool sourceLooked = false) {
    if (task.action == Action::Refuse || task.action == Action::StopNoName ||
        task.action == Action::StopNoPath)
        return Outcome::Failed;
    Names n(task, folders);
    StaleSweep *sweep = folders ? &folders->sweep() : nullptr;
    switch (task.action) {
    case Action::CopyInPlace: {
        const int e = copyNew(n.src, n.tgt, sweep);
        return e == 0 ? Outcome::Success : e == EEXIST ? Outcome::SameName : Outcome::Failed;
    }
    case Action::Copy: {
        // The source is checked before any test of the target: a source that
        // is gone fails, whatever the target.
        const Source s(n.src);
        if (s.error())
            return Outcome::Failed;
        int e = copyNewFrom(s, n.tgt, sweep);
        if (targetFolderMissing(e)) {
            createMissingFolders(task.targetDir, root);
            n.refresh(task, folders);
            e = lseek(s.fd, 0, SEEK_SET) == 0 ? copyNewFrom(s, n.tgt, sweep) : errno;
        }
        if (e == EEXIST) {
            if (!overwrite)
                return Outcome::Cancelled;
            if (lseek(s.fd, 0, SEEK_SET) != 0)
                return Outcome::Failed;
            e = copyOpen(s.fd, s.st, n.tgt, true, sweep);
        }
        return e == 0 ? Outcome::Success : Outcome::Failed;
    }
    case Action::MoveInPlace:
    case Action::Move:
        return executeMove(task, root, overwrite, folders, pending, n, sourceLooked);
    default:
        return Outcome::Failed;
    }
}

} // namespace

Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite,
                    FolderCache *folders) {
    return *execute(task, root, overwrite, folders, nullptr);
}

std::optional<Outcome> executeTask(const Task &task, const QByteArray &root, bool overwrite,
                                   FolderCache &folders, PendingMoves &pending, bool sourceLooked) {
    return execute(task, root, overwrite, &folders, &pending, sourceLooked);
}

bool touchesPending(const Task &task, FolderCache &folders, const PendingMoves &pending) {
    if (pending.empty() || task.action == Action::Refuse)
        return false;
    const Names n(task, &folders);
    struct stat st;
    return (fstatat(n.src.dir, n.src.name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            pending.holdsSource(st)) ||
           (fstatat(n.tgt.dir, n.tgt.name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            pending.holdsSource(st));
}

} // namespace zorv::files
