#include "core/files/file_ops.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zorv::files {
namespace {

mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = umask(0);
        umask(m);
        return m;
    }();
    return mask;
}

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

// Opens a regular file for reading: the descriptor, or minus an errno.
int openSource(At src, struct stat *st) {
    const int in = openat(src.dir, src.name, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return -errno;
    int e = 0;
    if (fstat(in, st) != 0)
        e = errno;
    else if (!S_ISREG(st->st_mode))
        e = EINVAL; // a folder or a device is not copied as a file
    if (e) {
        close(in);
        return -e;
    }
    return in;
}

// The copy of a move across file systems: exact permission bits, the owner
// where allowed, times; a symbolic link is moved as a link.
int copyForMove(At src, At tgt) {
    struct stat lst;
    if (fstatat(src.dir, src.name, &lst, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISLNK(lst.st_mode)) {
        std::vector<char> target(size_t(lst.st_size) + 256);
        const ssize_t n = readlinkat(src.dir, src.name, target.data(), target.size() - 1);
        if (n < 0)
            return errno;
        target[size_t(n)] = 0;
        return symlinkat(target.data(), tgt.dir, tgt.name) == 0 ? 0 : errno;
    }
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return -in;
    const int out = openat(tgt.dir, tgt.name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int e = errno;
        close(in);
        return e;
    }
    int e = fillCopy(in, st, out);
    if (!e) {
        if (fchown(out, st.st_uid, st.st_gid) != 0)
            (void)!fchown(out, uid_t(-1), st.st_gid);
        if (fchmod(out, st.st_mode & 07777) != 0)
            e = errno;
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
        struct stat written;
        if (!e && (fstat(out, &written) != 0 || written.st_size != st.st_size))
            e = EIO;
    }
    if (close(out) != 0 && !e)
        e = errno;
    close(in);
    if (e)
        unlinkat(tgt.dir, tgt.name, 0);
    return e;
}

} // namespace

int copyNew(At src, At tgt) {
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return exists(tgt) ? EEXIST : -in;
    const int out =
        openat(tgt.dir, tgt.name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        const int e = errno;
        close(in);
        return e;
    }
    int e = fillCopy(in, st, out);
    if (close(out) != 0 && !e)
        e = errno;
    close(in);
    if (e)
        unlinkat(tgt.dir, tgt.name, 0); // the file is ours: O_EXCL created it
    return e;
}

int copyReplacing(At src, At tgt) {
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return -in;
    // A temporary name beside the target, created exclusively.
    const QByteArray name(tgt.name);
    const QByteArray folder = name.left(name.lastIndexOf('/') + 1);
    QByteArray temp;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        temp = folder + ".zorv-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        out = openat(tgt.dir, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0 && errno != EEXIST)
            break;
    }
    if (out < 0) {
        const int e = errno;
        close(in);
        return e;
    }
    int e = fillCopy(in, st, out);
    if (!e && fchmod(out, st.st_mode & 0777 & ~processUmask()) != 0)
        e = errno;
    if (close(out) != 0 && !e)
        e = errno;
    close(in);
    if (!e && renameat(tgt.dir, temp.constData(), tgt.dir, tgt.name) != 0)
        e = errno;
    if (e)
        unlinkat(tgt.dir, temp.constData(), 0);
    return e;
}

int moveNew(At src, At tgt) {
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
    if (e == EXDEV) {
        e = copyForMove(src, tgt);
        if (e)
            return e;
        if (unlinkat(src.dir, src.name, 0) == 0)
            return 0;
        e = errno;
        unlinkat(tgt.dir, tgt.name, 0); // the source could not go: keep it, drop the copy
        return e;
    }
    if (e != EEXIST && exists(tgt))
        return EEXIST;
    return e;
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

Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite,
                    FolderCache *folders) {
    if (task.action == Action::Refuse || task.action == Action::StopNoName ||
        task.action == Action::StopNoPath)
        return Outcome::Failed;
    Names n(task, folders);
    switch (task.action) {
    case Action::CopyInPlace: {
        const int e = copyNew(n.src, n.tgt);
        return e == 0 ? Outcome::Success : e == EEXIST ? Outcome::SameName : Outcome::Failed;
    }
    case Action::MoveInPlace: {
        const int e = moveNew(n.src, n.tgt);
        return e == 0 ? Outcome::Success : e == EEXIST ? Outcome::Invalid : Outcome::Failed;
    }
    case Action::Copy: {
        int e = copyNew(n.src, n.tgt);
        if (e == ENOENT || e == ENOTDIR || e == EBADF) {
            createMissingFolders(task.targetDir, root);
            n.refresh(task, folders);
            e = copyNew(n.src, n.tgt);
        }
        if (e == EEXIST) {
            if (!overwrite)
                return Outcome::Cancelled;
            e = copyReplacing(n.src, n.tgt);
        }
        return e == 0 ? Outcome::Success : Outcome::Failed;
    }
    case Action::Move: {
        int e = moveNew(n.src, n.tgt);
        if (e == ENOENT || e == EBADF) {
            createMissingFolders(task.targetDir, root);
            n.refresh(task, folders);
            e = moveNew(n.src, n.tgt);
        }
        if (e == EEXIST)
            return overwrite ? Outcome::Invalid : Outcome::Cancelled;
        return e == 0 ? Outcome::Success : Outcome::Failed;
    }
    default:
        return Outcome::Failed;
    }
}

} // namespace zorv::files
