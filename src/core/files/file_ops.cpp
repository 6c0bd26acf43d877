#include "core/files/file_ops.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

// Copies the rest of in to out; *copied counts the bytes. 0 or errno.
int copyData(int in, int out, off_t *copied) {
    *copied = 0;
    for (;;) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n > 0) {
            *copied += n;
            continue;
        }
        if (n == 0)
            break; // end of file, or a file system that copies nothing: read on to be sure
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF && errno != EPERM)
            return errno;
        break;
    }
    std::vector<char> buf(size_t(1) << 17);
    for (;;) {
        const ssize_t n = read(in, buf.data(), buf.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(out, buf.data() + done, size_t(n - done));
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

bool exists(const char *path) {
    struct stat st;
    return lstat(path, &st) == 0;
}

// Writes the data of the open source into out and gives it the source's
// times; checks that every byte arrived. 0 or errno; out stays open.
int fillCopy(int in, const struct stat &src, int out) {
    off_t copied = 0;
    if (const int e = copyData(in, out, &copied))
        return e;
    if (copied != src.st_size)
        return EIO;
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    futimens(out, times);
    return 0;
}

int openSource(const char *src, struct stat *st) {
    const int in = open(src, O_RDONLY | O_CLOEXEC);
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
int copyForMove(const char *src, const char *tgt) {
    struct stat lst;
    if (lstat(src, &lst) != 0)
        return errno;
    if (S_ISLNK(lst.st_mode)) {
        std::vector<char> target(size_t(lst.st_size) + 256);
        const ssize_t n = readlink(src, target.data(), target.size() - 1);
        if (n < 0)
            return errno;
        target[size_t(n)] = 0;
        return symlink(target.data(), tgt) == 0 ? 0 : errno;
    }
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return -in;
    const int out = open(tgt, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
        unlink(tgt);
    return e;
}

} // namespace

int copyNew(const char *src, const char *tgt) {
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return exists(tgt) ? EEXIST : -in;
    const int out = open(tgt, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
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
        unlink(tgt); // the file is ours: O_EXCL created it
    return e;
}

int copyReplacing(const char *src, const char *tgt) {
    struct stat st;
    const int in = openSource(src, &st);
    if (in < 0)
        return -in;
    QByteArray temp(tgt);
    temp.truncate(temp.lastIndexOf('/') + 1);
    temp += ".zorv-XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
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
    if (!e && rename(temp.constData(), tgt) != 0)
        e = errno;
    if (e)
        unlink(temp.constData());
    return e;
}

int moveNew(const char *src, const char *tgt) {
    if (renameat2(AT_FDCWD, src, AT_FDCWD, tgt, RENAME_NOREPLACE) == 0)
        return 0;
    int e = errno;
    if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP) {
        // A file system without the no-replace rename: a hard link is just as
        // exclusive.
        if (link(src, tgt) == 0) {
            if (unlink(src) == 0)
                return 0;
            e = errno;
            unlink(tgt);
            return e;
        }
        e = errno;
    }
    if (e == EXDEV) {
        e = copyForMove(src, tgt);
        if (e)
            return e;
        if (unlink(src) == 0)
            return 0;
        e = errno;
        unlink(tgt); // the source could not go: keep it and drop the copy
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

Outcome executeTask(const Task &task, const QByteArray &root, bool overwrite) {
    const char *src = task.source.constData();
    const char *tgt = task.target.constData();
    switch (task.action) {
    case Action::CopyInPlace: {
        const int e = copyNew(src, tgt);
        return e == 0 ? Outcome::Success : e == EEXIST ? Outcome::SameName : Outcome::Failed;
    }
    case Action::MoveInPlace: {
        const int e = moveNew(src, tgt);
        return e == 0 ? Outcome::Success : e == EEXIST ? Outcome::Invalid : Outcome::Failed;
    }
    case Action::Copy: {
        int e = copyNew(src, tgt);
        if (e == ENOENT || e == ENOTDIR) {
            createMissingFolders(task.targetDir, root);
            e = copyNew(src, tgt);
        }
        if (e == EEXIST) {
            if (!overwrite)
                return Outcome::Cancelled;
            e = copyReplacing(src, tgt);
        }
        return e == 0 ? Outcome::Success : Outcome::Failed;
    }
    case Action::Move: {
        int e = moveNew(src, tgt);
        if (e == ENOENT) {
            createMissingFolders(task.targetDir, root);
            e = moveNew(src, tgt);
        }
        if (e == EEXIST)
            return overwrite ? Outcome::Invalid : Outcome::Cancelled;
        return e == 0 ? Outcome::Success : Outcome::Failed;
    }
    case Action::Refuse:
    case Action::StopNoName:
    case Action::StopNoPath:
        break;
    }
    return Outcome::Failed;
}

} // namespace zorv::files
