#pragma once
// Helpers of the command-line tests: running the built zorv, folder trees
// made from a short description, and grids reduced to comparable text.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorv {
class Grid;
}

namespace zorv::test {

struct CliResult {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QString err;
    // The message-box lines of standard error ("title: text"), in order; a
    // review of rows counts as its "title: text" line.
    QStringList messages() const;
};

// Runs zorv with args in folder cwd, feeding input to its standard input.
CliResult runZorv(const QStringList &args, const QByteArray &input, const QString &cwd);
// Runs a shell command line (for pipelines) with ZORV set to the tool's path.
CliResult runShell(const QString &commandLine, const QString &cwd);
QString zorvPath();
// Waits until process pid has a file open below folder (for a test that
// interrupts a copy under way); false when it ended first or after timeoutMs.
bool waitForOpenFileBelow(qint64 pid, const QString &folder, int timeoutMs);
// A sparse file of size bytes with head at its start and tail at its end.
bool makeLargeFile(const QString &path, qint64 size, const QByteArray &head,
                   const QByteArray &tail);

// Creates files under root. Each entry is "relative/path" (content: the path
// itself) or "relative/path=content"; a trailing "/" makes an empty folder.
void makeTree(const QString &root, const QStringList &entries);
// Every file and folder under root as "relative/path" or "relative/path=content"
// (folders with a trailing "/"), sorted.
QStringList treeOf(const QString &root);

// The shown rows of grid, one line each (cells joined by "|"), then a line with
// the filter expression and the number of hidden rows. prefix is cut from
// every path so that trees in different folders compare equal.
QStringList snapshot(const Grid &grid, const QString &prefix = {});
// Reads a grid stream into a fresh file grid and snapshots it; a line
// "unreadable: <message>" when it cannot be read.
QStringList streamSnapshot(const QByteArray &stream, const QString &prefix = {});

} // namespace zorv::test
