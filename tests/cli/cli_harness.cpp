#include "cli_harness.h"

#include "cli/grid_stream.h"
#include "core/files/frn_grid.h"
#include "core/grid/grid.h"
#include "support/tempdir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace zorv::test {

namespace {

// Every zorv these tests start writes its run journals into a data folder of
// its own, never into the user's.
const TestHome processHome;

} // namespace

QString zorvPath() {
    return QStringLiteral(ZORV_CLI_EXE);
}

QStringList CliResult::messages() const {
    QStringList lines;
    for (const QString &l : err.split(u'\n'))
        if (!l.startsWith(u"zorv") && !l.startsWith(u"用法") && !l.isEmpty() &&
            !l.startsWith(u"第 ") && !l.startsWith(u"另有 ")) // rows listed under a review
            lines << l;
    return lines;
}

namespace {

CliResult finish(QProcess &p) {
    CliResult r;
    if (!p.waitForFinished(120000))
        p.kill();
    p.waitForFinished();
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

CliResult runZorv(const QStringList &args, const QByteArray &input, const QString &cwd) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(zorvPath(), args);
    p.waitForStarted();
    p.write(input);
    p.closeWriteChannel();
    return finish(p);
}

CliResult runShell(const QString &commandLine, const QString &cwd) {
    QProcess p;
    p.setWorkingDirectory(cwd);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ZORV"_s, zorvPath());
    p.setProcessEnvironment(env);
    p.start(u"/bin/bash"_s, {u"-o"_s, u"pipefail"_s, u"-c"_s, commandLine});
    p.waitForStarted();
    p.closeWriteChannel();
    return finish(p);
}

bool waitForOpenFileBelow(qint64 pid, const QString &folder, int timeoutMs) {
    const QString fds = u"/proc/"_s + QString::number(pid) + u"/fd"_s;
    const QString prefix = QFileInfo(folder).canonicalFilePath() + u'/';
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        // Descriptors are links; an ended process (even one not yet
        // reaped) has none.
        const QStringList open =
            QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        if (open.isEmpty())
            return false;
        for (const QString &fd : open)
            if (QFileInfo(fds + u'/' + fd).symLinkTarget().startsWith(prefix))
                return true;
    }
    return false;
}

bool makeLargeFile(const QString &path, qint64 size, const QByteArray &head,
                   const QByteArray &tail) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(head) == head.size() &&
           f.resize(size - tail.size()) && f.seek(size - tail.size()) &&
           f.write(tail) == tail.size();
}

void makeTree(const QString &root, const QStringList &entries) {
    for (const QString &e : entries) {
        const qsizetype eq = e.indexOf(u'=');
        const QString rel = eq < 0 ? e : e.left(eq);
        if (rel.endsWith(u'/')) {
            QDir().mkpath(root + u'/' + rel);
            continue;
        }
        const QString content = eq < 0 ? rel : e.mid(eq + 1);
        writeFile(root + u'/' + rel, content.toUtf8());
    }
}

QStringList treeOf(const QString &root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        const QFileInfo info(path);
        if (info.isDir())
            out << rel + u'/';
        else
            out << rel + u'=' + QString::fromUtf8(readFile(path));
    }
    out.sort();
    return out;
}

QStringList snapshot(const Grid &grid, const QString &prefix) {
    QStringList lines;
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.columnCount(); ++c) {
            // The stream does not tell an empty cell from a null one, nor does the file logic.
            QString v = grid.getItemString(r, c);
            if (!prefix.isEmpty())
                v.replace(prefix, u"<dir>"_s);
            cells << v;
        }
        lines << cells.join(u'|');
    }
    lines << u"filter: "_s + grid.filterExpression() + u" hidden: "_s +
                 QString::number(grid.filteredCount());
    return lines;
}

QStringList streamSnapshot(const QByteArray &stream, const QString &prefix) {
    std::unique_ptr<Grid> grid = files::makeFrn1Grid();
    cli::StreamError error;
    if (!cli::readGridStream(stream, *grid, &error))
        return {u"unreadable: "_s + QString::number(error.line) + u' ' + error.message};
    return snapshot(*grid, prefix);
}

} // namespace zorv::test
