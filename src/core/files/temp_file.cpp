#include "core/files/temp_file.h"

#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorv::files {
namespace {

constexpr char kPrefix[] = ".zorv-tmp-";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;

// The folder part of a name ("" or ending in "/").
QByteArray folderPart(const char *name) {
    const char *slash = std::strrchr(name, '/');
    return slash ? QByteArray(name, qsizetype(slash - name + 1)) : QByteArray();
}

// Digits only, at least one, no leading zero; the value in *out.
bool parseNumber(const char *begin, const char *end, unsigned long long *out) {
    if (begin == end || (*begin == '0' && end - begin > 1) || end - begin > 19)
        return false;
    unsigned long long v = 0;
    for (const char *p = begin; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + unsigned(*p - '0');
    }
    *out = v;
    return true;
}

// A process that no longer runs: kill(pid, 0) says there is no such process.
// A process of another user (EPERM) is running.
bool processGone(pid_t pid) {
    return pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

bool parseTemporaryName(const char *name, pid_t *pid) {
    if (std::strncmp(name, kPrefix, kPrefixLength) != 0)
        return false;
    const char *p = name + kPrefixLength;
    const char *dash = std::strchr(p, '-');
    if (!dash)
        return false;
    unsigned long long id = 0, serial = 0;
    if (!parseNumber(p, dash, &id) || id == 0 || id > 0x7fffffff ||
        !parseNumber(dash + 1, dash + std::strlen(dash), &serial))
        return false;
    *pid = pid_t(id);
    return true;
}

int createTemp(At tgt, mode_t mode, TempFile *temp) {
    // A per-process serial, starting at random, makes a free name at the first
    // try unless a killed process with the same id left files here.
    static unsigned serial = QRandomGenerator::global()->bounded(1u << 30);
    QByteArray head = folderPart(tgt.name);
    head.append(kPrefix).append(QByteArray::number(getpid())).append('-');
    temp->dir = tgt.dir;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp->name = QByteArray(head).append(QByteArray::number(serial++));
        temp->fd = openat(tgt.dir, temp->name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          mode & 07777);
        if (temp->fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int publishTemp(TempFile &temp, At tgt, bool replace) {
    int e = 0;
    if (temp.fd >= 0 && close(temp.fd) != 0)
        e = errno; // a late write error (a network file system): never publish
    temp.fd = -1;
    const char *name = temp.name.constData();
    if (!e && replace) {
        if (renameat(temp.dir, name, tgt.dir, tgt.name) == 0)
            return 0;
        e = errno;
    } else if (!e) {
        if (renameat2(temp.dir, name, tgt.dir, tgt.name, RENAME_NOREPLACE) == 0)
            return 0;
        e = errno;
        if (e == EINVAL || e == ENOSYS || e == EOPNOTSUPP) {
            // No no-replace rename here: a hard link is just as exclusive.
            if (linkat(temp.dir, name, tgt.dir, tgt.name, 0) == 0) {
                unlinkat(temp.dir, name, 0);
                return 0;
            }
            e = errno;
            if (e == EPERM || e == EOPNOTSUPP || e == ENOSYS) {
                // Nor hard links (FAT, exFAT): test, then rename. Only a
                // file created in between these two calls could be replaced.
                struct stat st;
                if (fstatat(tgt.dir, tgt.name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                    e = EEXIST;
                else if (renameat(temp.dir, name, tgt.dir, tgt.name) == 0)
                    return 0;
                else
                    e = errno;
            }
        }
    }
    unlinkat(temp.dir, name, 0);
    return e;
}

void discardTemp(TempFile &temp) {
    if (temp.fd >= 0)
        close(temp.fd);
    temp.fd = -1;
    if (!temp.name.isEmpty())
        unlinkat(temp.dir, temp.name.constData(), 0);
}

void StaleSweep::sweepFolderOf(At tgt) {
    const QByteArray folder = folderPart(tgt.name);
    const char *path = folder.isEmpty() ? "." : folder.constData();
    struct stat st;
    if (fstatat(tgt.dir, path, &st, 0) != 0 || !m_done.insert({st.st_dev, st.st_ino}).second)
        return;
    const int fd = openat(tgt.dir, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    removeStaleTemporaries(fd);
    close(fd);
}

int removeStaleTemporaries(int dirfd) {
    const int fd = dup(dirfd);
    if (fd < 0)
        return 0;
    DIR *dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return 0;
    }
    int removed = 0;
    while (const dirent *e = readdir(dir)) {
        pid_t pid = 0;
        if (e->d_type != DT_REG && e->d_type != DT_UNKNOWN)
            continue;
        if (!parseTemporaryName(e->d_name, &pid) || !processGone(pid))
            continue;
        struct stat st;
        if (fstatat(dirfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            unlinkat(dirfd, e->d_name, 0) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}

} // namespace zorv::files
