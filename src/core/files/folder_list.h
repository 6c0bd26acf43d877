#pragma once
// Folder listing with the attribute mask of the file tools, and the walk of a
// source folder: flat (files only) or depth-first through the sub-folders in
// listing order.
//
// Mask bits: 1 read-only (no write bit for the user's class), 2 hidden (name starting
// with "."), 4 system and 32 archive (no meaning here: every regular file is
// an archive file), 16 sub-folders. A file is listed when its read-only and
// hidden properties are allowed by the mask, so mask 0 lists the ordinary
// visible writable regular files; a sub-folder is listed when the mask has 16
// (and 2 for a hidden one); the parent "[..]" when the mask has 16 and the
// folder is not the root. Symbolic links to regular files count as files;
// symbolic links to folders are neither listed nor descended into, so a link
// loop cannot trap the walk; other kinds of entries are never listed.
//
// Listing order: byte order of the entries as a sorted list box shows them,
// sub-folders written "[name]" (so "[b]" sorts between "Z" and "a").

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <climits>
#include <dirent.h>
#include <functional>
#include <vector>

namespace zorv::files {

enum ListType : int { ReadOnly = 1, Hidden = 2, System = 4, SubFolders = 16, Archive = 32 };

// The list types of the source scan: flat 39 / 0, recursive 55 / 16.
int flatListType(bool hidden);
int recursiveListType(bool hidden);

struct FolderEntry {
    QString name;         // decoded name (U+FFFD where the bytes were not UTF-8)
    QByteArray bytes;     // the name on disk
    bool folder = false;  // a sub-folder
    bool parent = false;  // the "[..]" entry
    bool intact = true;   // name decodes back to bytes
    QString text() const; // "[name]", "[..]" or the file name
};

// Lists folder ("" or "/" = the root) in listing order. False when the folder
// cannot be read.
bool listFolder(const QString &folder, int mask, std::vector<FolderEntry> *out);

// Opens a folder for reading its entries (dirfd() gives its descriptor);
// nullptr when it is not a readable folder. The caller closedir()s it.
DIR *openFolderStream(const char *path);
// "." and ".." are never listed, hidden names only when mask has Hidden.
bool skippedName(const char *name, int mask);

// What a directory entry is for a listing with mask: a file to list, a
// sub-folder to list, or neither. type is the entry's d_type (DT_UNKNOWN when
// the file system does not tell); name is looked up relative to dirfd with a
// stat only where the type or the read-only test needs one.
enum class EntryKind { Skip, File, Folder };
EntryKind classifyEntry(int dirfd, const char *name, unsigned char type, int mask);
// For an entry mask left out: whether it is a file that only its read-only or
// hidden property kept from the listing.
bool maskedOutFile(int dirfd, const char *name, unsigned char type, int mask);
// The listing order on the names' bytes (a folder's text being "[name]").
bool entryBytesBefore(QByteArrayView a, bool aFolder, QByteArrayView b, bool bFolder);

// One file found by a walk, with the row values of the grid.
struct ScannedFile {
    QString ypath; // its folder, ending in "/"
    QString filey; // its name
    QString zml;   // its folder relative to the walked folder, ending in "/"; "" at the top
    bool intact = true;
};

// Walks the source folder path1 (normalised: "" for the root). Flat: the files
// of path1 listed with flatListType(hidden). Recursive: depth-first with
// recursiveListType(hidden), a sub-folder's files and folders taking the place
// of its "[name]" entry. onFolder is told of every folder listed (its path
// ending in "/" and its entry count), onFile of every file in order, onSkipped
// of every folder that could not be read (path1 included) and every file whose
// path is too long to be reached (isReachablePath). False when path1 itself
// cannot be read. onMaskedOut, when set, is told of every folder whose
// read-only or hidden files the mask left out, with their number.
struct WalkCallbacks {
    std::function<void(const QString &folder, qsizetype entries)> onFolder;
    std::function<void(const ScannedFile &)> onFile;
    std::function<void(const QString &path)> onSkipped;
    std::function<void(const QString &folder, qsizetype files)> onMaskedOut;
};
bool walkSource(const QString &path1, bool recursive, bool hidden, const WalkCallbacks &cb);

// Whether a path of len bytes can be handed to the system: a longer one fails
// with ENAMETOOLONG in every call that takes a path, so its file could be
// listed but never renamed, copied or moved.
inline bool isReachablePath(qsizetype len) {
    return len < PATH_MAX;
}

// The ypath of the files directly in path1: path1 + "/" ("/" for the root).
QString sourceTop(const QString &path1);
// The zml of a folder (ending in "/") found below path1: the part after
// path1 + "/"; "" for path1 itself.
QString subFolderOf(const QString &path1, const QString &folder);

} // namespace zorv::files
