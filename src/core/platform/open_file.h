#pragma once
// Opening the file a grid row names with the program the desktop associates
// with it, on a double-click. Every refusal is told in a message box and the
// grid is never changed.

#include <QString>
#include <QtGlobal>

namespace zorv {

enum class OpenFileResult { NoRow, EmptyName, Missing, NoShell, ShellFailed, Opened };

// row: the double-clicked 1-based row (0 on the header or the empty area);
// path: the full path the row names (callers build it, see below); it is
// taken as given when it names a file, else trimmed.
OpenFileResult openRowFile(qint64 row, const QString &path);

// The file list's path: the folder followed directly by the name, both as
// listed (the folder already ends in a separator), no separator added.
QString joinFolderAndName(const QString &ypath, const QString &filey);

} // namespace zorv
