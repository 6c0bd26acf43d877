#include "support/deep_tree.h"

#include <QFile>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorv::test {
namespace {

int openFolderAt(int dirfd, const char *name) {
    return openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Removes dirfd/name and, when it is a folder, everything below it.
void removeAt(int dirfd, const char *name) {
    const int fd = openFolderAt(dirfd, name);
    if (fd < 0) {
        unlinkat(dirfd, name, 0);
        return;
    }
    fchmod(fd, 0700); // a test may have shut the folder
    if (DIR *dir = fdopendir(fd)) {
        while (const struct dirent *de = readdir(dir)) {
            const QByteArray entry(de->d_name);
            if (entry != "." && entry != "..")
                removeAt(::dirfd(dir), entry.constData());
        }
        closedir(dir);
    } else {
        close(fd);
    }
    unlinkat(dirfd, name, AT_REMOVEDIR);
}

} // namespace

DeepTree::DeepTree(const QString &parent, const QString &top, qsizetype length) {
    const QByteArray parentBytes = QFile::encodeName(parent);
    m_top = QFile::encodeName(top);
    m_parent = open(parentBytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_parent < 0 || mkdirat(m_parent, m_top.constData(), 0755) != 0)
        return;
    int fd = openFolderAt(m_parent, m_top.constData());
    QByteArray path = parentBytes + '/' + m_top + '/';
    if (fd < 0 || length - path.size() < 8)
        return;
    while (fd >= 0 && length - path.size() > 256) {
        const QByteArray level(250, 'd');
        const int next =
            mkdirat(fd, level.constData(), 0755) == 0 ? openFolderAt(fd, level.constData()) : -1;
        close(fd);
        fd = next;
        path += level + '/';
    }
    if (fd < 0)
        return;
    const QByteArray last(length - path.size() - 1, 'e');
    const int inner =
        mkdirat(fd, last.constData(), 0755) == 0 ? openFolderAt(fd, last.constData()) : -1;
    close(fd);
    if (inner < 0)
        return;
    m_inner = inner;
    m_innerPath = QFile::decodeName(path + last + '/');
}

DeepTree::~DeepTree() {
    if (m_inner >= 0)
        close(m_inner);
    if (m_parent >= 0) {
        removeAt(m_parent, m_top.constData());
        close(m_parent);
    }
}

bool DeepTree::addFile(const QByteArray &name, const QByteArray &inFolder) {
    int dir = m_inner;
    if (!inFolder.isEmpty())
        dir = openFolderAt(m_inner, inFolder.constData());
    if (dir < 0)
        return false;
    const int fd = openat(dir, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 && write(fd, "x", 1) == 1;
    if (fd >= 0)
        close(fd);
    if (dir != m_inner)
        close(dir);
    return ok;
}

bool DeepTree::addFolder(const QByteArray &name) {
    return m_inner >= 0 && mkdirat(m_inner, name.constData(), 0755) == 0;
}

} // namespace zorv::test
