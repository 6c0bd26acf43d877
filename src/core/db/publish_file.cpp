#include "core/db/publish_file.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zorv::db {
namespace {

#ifdef Q_OS_UNIX

int systemLink(const char *from, const char *to) {
    return ::link(from, to);
}

int systemRenameNoReplace(const char *from, const char *to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

QString errnoText(int err) {
    return QString::fromLocal8Bit(strerror(err));
}

// The file system has no hard links (FAT and exFAT answer EPERM).
bool noHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS;
}

// The file system or the kernel does not know the no-replace flag.
bool noRenameFlag(int err) {
    return err == EINVAL || err == EOPNOTSUPP || err == ENOSYS;
}

bool writeAll(int fd, const char *data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// Last way: the final name is created exclusively (so nothing there is ever
// replaced) and filled from the finished file. On failure the half-filled
// file is removed again: it was ours.
bool copyIntoNew(const QByteArray &from, const QByteArray &to, QString *error, bool *exists) {
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *error = errnoText(errno);
        return false;
    }
    struct stat st {};
    const mode_t mode = ::fstat(in, &st) == 0 ? (st.st_mode & 0777) : 0600;
    const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0) {
        const int err = errno;
        *exists = err == EEXIST;
        *error = errnoText(err);
        ::close(in);
        return false;
    }
    bool ok = true;
    int err = 0;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !writeAll(out, buffer, n))) {
            ok = false;
            err = errno;
            break;
        }
        if (n == 0)
            break;
    }
    if (ok && ::fsync(out) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    ::close(in);
    if (!ok) {
        ::unlink(to.constData());
        *error = errnoText(err);
        return false;
    }
    ::unlink(from.constData());
    return true;
}

#else

int noCall(const char *, const char *) {
    return -1;
}

#endif

} // namespace

const PublishCalls &systemPublishCalls() {
#ifdef Q_OS_UNIX
    static const PublishCalls calls{systemLink, systemRenameNoReplace};
#else
    static const PublishCalls calls{noCall, noCall};
#endif
    return calls;
}

bool publishNoReplace(const QString &from, const QString &to, QString *error, bool *exists,
                      const PublishCalls &calls) {
    bool existsHere = false;
    if (!exists)
        exists = &existsHere;
    *exists = false;
#ifdef Q_OS_UNIX
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (calls.link(src.constData(), dst.constData()) == 0) {
        ::unlink(src.constData());
        return true;
    }
    int err = errno;
    if (!noHardLinks(err)) {
        *exists = err == EEXIST;
        *error = errnoText(err);
        return false;
    }
    if (calls.renameNoReplace(src.constData(), dst.constData()) == 0)
        return true;
    err = errno;
    if (!noRenameFlag(err)) {
        *exists = err == EEXIST;
        *error = errnoText(err);
        return false;
    }
    return copyIntoNew(src, dst, error, exists);
#else
    Q_UNUSED(calls);
    if (QFile::exists(to)) {
        *exists = true;
        *error = QStringLiteral("文件已存在");
        return false;
    }
    if (!QFile::rename(from, to)) {
        *error = QStringLiteral("无法重命名");
        return false;
    }
    return true;
#endif
}

} // namespace zorv::db
