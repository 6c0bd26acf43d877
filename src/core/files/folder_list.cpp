#include "core/files/folder_list.h"

#include "core/files/native_path.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

// Whether the file is writable for the user, judged like a read-only flag from
// the mode bits of the user's class (owner, group or others): no extra system
// call per file, and a file without write bits counts as read-only even for
// the superuser, who could write it anyway. ACLs are not consulted.
class WriteAccess {
public:
    WriteAccess() : m_uid(geteuid()) {
        m_groups.push_back(getegid());
        const int n = getgroups(0, nullptr);
        if (n > 0) {
            std::vector<gid_t> g(static_cast<size_t>(n));
            const int got = getgroups(n, g.data());
            if (got > 0)
                m_groups.insert(m_groups.end(), g.begin(), g.begin() + got);
        }
    }
    bool writable(const struct stat &st) const {
        if (st.st_uid == m_uid)
            return st.st_mode & S_IWUSR;
        if (std::find(m_groups.begin(), m_groups.end(), st.st_gid) != m_groups.end())
            return st.st_mode & S_IWGRP;
        return st.st_mode & S_IWOTH;
    }

private:
    uid_t m_uid;
    std::vector<gid_t> m_groups;
};

const WriteAccess &writeAccess() {
    static const WriteAccess access;
    return access;
}

// Byte order of the entries' texts, a folder's text being "[name]".
bool bytesBefore(const char *a, qsizetype la, bool fa, const char *b, qsizetype lb, bool fb) {
    if (!fa && !fb) {
        const int c = std::memcmp(a, b, size_t(std::min(la, lb)));
        return c != 0 ? c < 0 : la < lb;
    }
    const qsizetype na = la + (fa ? 2 : 0);
    const qsizetype nb = lb + (fb ? 2 : 0);
    auto at = [](const char *e, bool folder, qsizetype i, qsizetype n) -> unsigned char {
        if (folder) {
            if (i == 0)
                return '[';
            if (i == n - 1)
                return ']';
            return static_cast<unsigned char>(e[i - 1]);
        }
        return static_cast<unsigned char>(e[i]);
    };
    for (qsizetype i = 0; i < na && i < nb; ++i) {
        const unsigned char ca = at(a, fa, i, na);
        const unsigned char cb = at(b, fb, i, nb);
        if (ca != cb)
            return ca < cb;
    }
    return na < nb;
}

bool listedBefore(const FolderEntry &a, const FolderEntry &b) {
    return bytesBefore(a.bytes.constData(), a.bytes.size(), a.folder, b.bytes.constData(),
                       b.bytes.size(), b.folder);
}

using Kind = EntryKind;

// What the entry is for the listing; a stat only where the type or the
// read-only test needs one.
Kind classify(int dirfd, const char *name, unsigned char type, int mask) {
    struct stat st;
    if (type == DT_UNKNOWN) {
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return Kind::Skip;
        type = S_ISDIR(st.st_mode)   ? DT_DIR
               : S_ISLNK(st.st_mode) ? DT_LNK
               : S_ISREG(st.st_mode) ? DT_REG
                                     : DT_FIFO;
        if (type == DT_REG)
            return (mask & ReadOnly) || writeAccess().writable(st) ? Kind::File : Kind::Skip;
    }
    switch (type) {
    case DT_DIR:
        return (mask & SubFolders) ? Kind::Folder : Kind::Skip;
    case DT_REG:
        if (mask & ReadOnly)
            return Kind::File;
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return Kind::Skip;
        return writeAccess().writable(st) ? Kind::File : Kind::Skip;
    case DT_LNK:
        // A link counts as what it points to; links to folders are left out.
        if (fstatat(dirfd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            return Kind::Skip;
        return (mask & ReadOnly) || writeAccess().writable(st) ? Kind::File : Kind::Skip;
    default:
        return Kind::Skip;
    }
}

// *maskedOut, when given, counts the files the mask left out for being
// read-only or hidden (not folders, not what could not be examined).
bool readFolder(const QByteArray &path, int mask, std::vector<FolderEntry> *out,
                qsizetype *maskedOut = nullptr) {
    out->clear();
    DIR *dir = openFolderStream(path.constData());
    if (!dir)
        return false;
    const int fd = dirfd(dir);
    const auto leftOut = [&](const char *name, unsigned char type) {
        if (maskedOut && maskedOutFile(fd, name, type, mask))
            ++*maskedOut;
    };
    while (const struct dirent *de = readdir(dir)) {
        const char *name = de->d_name;
        if (skippedName(name, mask)) {
            leftOut(name, de->d_type);
            continue;
        }
        const Kind kind = classify(fd, name, de->d_type, mask);
        if (kind == Kind::Skip) {
            leftOut(name, de->d_type);
            continue;
        }
        FolderEntry e;
        const qsizetype len = qsizetype(std::strlen(name));
        e.bytes = QByteArray(name, len);
        e.name = decodeName(name, len, &e.intact);
        e.folder = kind == Kind::Folder;
        out->push_back(std::move(e));
    }
    closedir(dir);
    if ((mask & SubFolders) && path != "/") {
        FolderEntry up;
        up.bytes = "..";
        up.name = u".."_s;
        up.folder = true;
        up.parent = true;
        out->push_back(std::move(up));
    }
    std::sort(out->begin(), out->end(), listedBefore);
    return true;
}

struct Walker {
    const WalkCallbacks &cb;
    int mask;
    bool recursive;
    QString path1;

    // dirBytes and dirText end in "/".
    bool walk(const QByteArray &dirBytes, const QString &dirText, bool intact) {
        std::vector<FolderEntry> entries;
        qsizetype masked = 0;
        if (!readFolder(dirBytes, mask, &entries, cb.onMaskedOut ? &masked : nullptr)) {
            if (cb.onSkipped)
                cb.onSkipped(dirText);
            return false;
        }
        if (masked > 0)
            cb.onMaskedOut(dirText, masked);
        if (cb.onFolder)
            cb.onFolder(dirText, qsizetype(entries.size()));
        const QString zml = subFolderOf(path1, dirText);
        for (const FolderEntry &e : entries) {
            if (e.parent)
                continue;
            if (e.folder) {
                if (recursive)
                    walk(dirBytes + e.bytes + '/', dirText + e.name + u'/', intact && e.intact);
                continue;
            }
            if (!isReachablePath(dirBytes.size() + e.bytes.size())) {
                if (cb.onSkipped)
                    cb.onSkipped(dirText + e.name);
                continue;
            }
            if (cb.onFile)
                cb.onFile(ScannedFile{dirText, e.name, zml, intact && e.intact});
        }
        return true;
    }
};

} // namespace

DIR *openFolderStream(const char *path) {
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DIR *dir = fdopendir(fd);
    if (!dir)
        close(fd);
    return dir;
}

bool skippedName(const char *name, int mask) {
    if (name[0] != '.')
        return false;
    const bool dots = name[1] == 0 || (name[1] == '.' && name[2] == 0);
    return dots || !(mask & Hidden);
}

EntryKind classifyEntry(int dirfd, const char *name, unsigned char type, int mask) {
    return classify(dirfd, name, type, mask);
}

bool maskedOutFile(int dirfd, const char *name, unsigned char type, int mask) {
    constexpr int anyFile = ReadOnly | Hidden;
    return (mask & anyFile) != anyFile && !skippedName(name, mask | anyFile) &&
           classify(dirfd, name, type, mask | anyFile) == Kind::File;
}

bool entryBytesBefore(QByteArrayView a, bool aFolder, QByteArrayView b, bool bFolder) {
    return bytesBefore(a.data(), a.size(), aFolder, b.data(), b.size(), bFolder);
}

int flatListType(bool hidden) {
    return hidden ? 39 : 0;
}
int recursiveListType(bool hidden) {
    return hidden ? 55 : 16;
}

QString FolderEntry::text() const {
    if (parent)
        return u"[..]"_s;
    return folder ? u'[' + name + u']' : name;
}

bool listFolder(const QString &folder, int mask, std::vector<FolderEntry> *out) {
    QByteArray bytes;
    if (!encodePath(joinPath(folder, QString()), &bytes)) {
        out->clear();
        return false;
    }
    if (bytes.isEmpty() || !bytes.endsWith('/'))
        bytes += '/';
    return readFolder(bytes, mask, out);
}

QString sourceTop(const QString &path1) {
    return path1 + u'/';
}

QString subFolderOf(const QString &path1, const QString &folder) {
    return folder.mid(path1.size() + 1);
}

bool walkSource(const QString &path1, bool recursive, bool hidden, const WalkCallbacks &cb) {
    const QString top = sourceTop(path1);
    QByteArray bytes;
    if (!encodePath(top, &bytes)) {
        if (cb.onSkipped)
            cb.onSkipped(top);
        return false;
    }
    Walker w{cb, recursive ? recursiveListType(hidden) : flatListType(hidden), recursive, path1};
    return w.walk(bytes, top, true);
}

} // namespace zorv::files
