#pragma once
// Paths of the file tools: "/" separates path parts and the root folder plays
// the drive root. Names go to the disk as UTF-8 bytes; a name whose bytes on
// disk are not UTF-8 cannot be written back from its text, so such text (it
// holds U+FFFD) is refused rather than turned into some other file's name.

#include <QByteArray>
#include <QString>

namespace zorv::files {

// A chosen source folder as ls_path1 keeps it: cleaned, no trailing "/", the
// root folder as "" (so that folder + "/" is never "//").
QString normaliseSourceFolder(const QString &chosen);
// A chosen target root as ls_path2 keeps it: cleaned, the root folder as "/".
QString normaliseTargetRoot(const QString &chosen);
// folder + "/" + rest, without doubling a "/" that ends folder.
QString joinPath(const QString &folder, const QString &rest);

// The bytes of path on disk. False (and nothing in *out) when the text cannot
// name a real file exactly: it holds U+FFFD (what an undecodable name shows),
// a lone surrogate or a NUL character.
bool encodePath(const QString &path, QByteArray *out);
// A name read from the disk. *intact is false when its bytes were not valid
// UTF-8: the text then shows U+FFFD where they were and cannot be encoded back.
QString decodeName(const char *bytes, qsizetype len, bool *intact = nullptr);

// A new name that creates a file directly inside its target folder: not empty
// after trimming, not "." or "..", no "/" and no NUL.
bool isValidNewName(const QString &name);

} // namespace zorv::files
