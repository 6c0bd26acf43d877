// A run's journal and its undo: the disk comes back as it was before the run
// (names, contents, permission bits), rows changed since are left alone and
// reported, and a run cut short is taken back as far as it got.
#include "core/files/batch_run.h"
#include "core/files/run_journal.h"
#include "core/files/run_undo.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;
using zorv::files::test::EscSink;
using zorv::test::readFile;
using zorv::test::writeFile;

namespace {

// Every entry below root: "path type mode checksum" (a link: its target).
QStringList snapshot(const QString &root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st;
        if (lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        QString line = QDir(root).relativeFilePath(path) + u' ' +
                       QString::number(st.st_mode & 07777, 8) + u' ';
        if (S_ISLNK(st.st_mode))
            line += u"link "_s + QFileInfo(path).symLinkTarget();
        else if (S_ISDIR(st.st_mode))
            line += u"dir"_s;
        else
            line += QString::fromLatin1(
                QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex());
        out << line;
    }
    out.sort();
    return out;
}

bool sameFileSystem(const QString &a, const QString &b) {
    struct stat sa, sb;
    return stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

// Runs rows (each {source folder, name, new name, target folder}) with a
// journal in journals.
RunSummary run(Grid &g, bool move, bool overwrite, const QString &journals) {
    RunOptions o;
    o.move = move;
    o.overwrite = overwrite;
    JournalPlace place;
    place.folder = journals;
    EscSink sink;
    return executeRun(g, FrnState{}, o, sink, &place);
}

// Renames src/a (holding "a") to src/b in a run journaled in journals.
bool renameAToB(const QString &src, const QString &journals) {
    if (!writeFile(src + u"a"_s, "a"))
        return false;
    auto g = makeFrn1Grid();
    addRow(*g, {src, u"a"_s, u"b"_s, src});
    return run(*g, true, true, journals).succeeded == 1;
}

UndoReport undoLast(const QString &journals) {
    EscSink sink;
    return undoJournal(latestJournal(journals), sink);
}

QStringList results(const UndoReport &r) {
    QStringList out;
    for (const UndoRow &row : r.rows)
        out << undoResultText(row.result);
    return out;
}

QStringList texts(std::initializer_list<UndoResult> list) {
    QStringList out;
    for (const UndoResult r : list)
        out << undoResultText(r);
    return out;
}

QStringList repeated(qsizetype n, UndoResult r) {
    return QStringList(n, undoResultText(r));
}

} // namespace

class TestRunUndo : public QObject {
    Q_OBJECT
private slots:
    // Each way a row changes the disk is taken back exactly.
    void undoRestores_data() {
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("where"); // same, other, sub, device
        QTest::newRow("rename in place") << true << u"same"_s;
        QTest::newRow("move to another folder") << true << u"other"_s;
        QTest::newRow("move into folders the run makes") << true << u"sub"_s;
        QTest::newRow("move to another file system") << true << u"device"_s;
        QTest::newRow("copy in place") << false << u"same"_s;
        QTest::newRow("copy to another folder") << false << u"other"_s;
        QTest::newRow("copy to another file system") << false << u"device"_s;
    }
    void undoRestores() {
        QFETCH(bool, move);
        QFETCH(QString, where);
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir, shm(u"/dev/shm/zorv-test-XXXXXX"_s);
        const QString src = dir.path() + u"/src/"_s, journals = dir.path() + u"/journal"_s;
        QString out = dir.path() + u"/out/"_s;
        if (where == u"same")
            out = src;
        else if (where == u"sub")
            out = dir.path() + u"/out/a/b/"_s;
        else if (where == u"device") {
            if (!shm.isValid() || sameFileSystem(shm.path(), dir.path()))
                QSKIP("no second file system at /dev/shm");
            out = shm.path() + u"/out/"_s;
        }
        QVERIFY(QDir().mkpath(src));
        if (where == u"other" || where == u"device")
            QVERIFY(QDir().mkpath(out));
        auto g = makeFrn1Grid();
        const QList<mode_t> modes{0644, 0600, 0755, 0640};
        for (int i = 0; i < modes.size(); ++i) {
            const QString name = u"f"_s + QString::number(i) + u".txt"_s;
            QVERIFY(writeFile(src + name, QByteArray(1000 * i + 3, char('a' + i))));
            QVERIFY(chmod(QFile::encodeName(src + name).constData(), modes[i]) == 0);
            addRow(*g, {src, name, u"new "_s + name, out});
        }
        const QStringList before = snapshot(dir.path());
        const QStringList beforeShm = shm.isValid() ? snapshot(shm.path()) : QStringList();

        QCOMPARE(run(*g, move, true, journals).succeeded, qint64(modes.size()));
        QVERIFY(snapshot(dir.path()) != before || snapshot(shm.path()) != beforeShm);

        const UndoReport r = undoLast(journals);
        QCOMPARE(int(r.end), int(UndoEnd::Done));
        QCOMPARE(results(r), repeated(modes.size(), UndoResult::Undone));
        QStringList after = snapshot(dir.path());
        after.removeIf([](const QString &l) { return l.startsWith(u"journal"); });
        QStringList expected = before;
        QCOMPARE(after, expected);
        if (shm.isValid())
            QCOMPARE(snapshot(shm.path()), beforeShm);
    }

    // Rows changed after the run are left as they are and reported; the
    // other rows are undone.
    void changedRowsSkipped() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, journals = dir.path() + u"/j"_s;
        auto g = makeFrn1Grid();
        for (const char *n : {"a", "b", "c", "d", "e", "f"}) {
            QVERIFY(writeFile(src + QString::fromLatin1(n), n));
            addRow(*g, {src, QString::fromLatin1(n), QString::fromLatin1(n) + u"2"_s, src});
        }
        QCOMPARE(run(*g, true, true, journals).succeeded, qint64(6));
        QVERIFY(writeFile(src + u"a2"_s, "edited"));        // changed content
        QVERIFY(QFile::remove(src + u"b2"_s));              // gone
        QVERIFY(writeFile(src + u"c"_s, "new c"));          // source name taken
        QVERIFY(QFile::remove(src + u"d2"_s));              // replaced by a link
        QVERIFY(QFile::link(src + u"f2"_s, src + u"d2"_s)); // to another row's file
        struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
        QVERIFY(utimensat(AT_FDCWD, QFile::encodeName(src + u"e2"_s).constData(), times, 0) == 0);

        const UndoReport r = undoLast(journals);
        QCOMPARE(results(r), texts({UndoResult::TargetChanged, UndoResult::TargetChanged,
                                    UndoResult::SourceTaken, UndoResult::TargetChanged,
                                    UndoResult::TargetChanged, UndoResult::Undone}));
        QCOMPARE(r.counts[int(UndoResult::TargetChanged)], qint64(4));
        QCOMPARE(readFile(src + u"a2"_s), QByteArray("edited"));
        QVERIFY(!QFileInfo::exists(src + u"a"_s));
        QCOMPARE(readFile(src + u"c"_s), QByteArray("new c"));
        QCOMPARE(readFile(src + u"c2"_s), QByteArray("c"));
        QVERIFY(QFileInfo(src + u"d2"_s).isSymLink());
        QCOMPARE(readFile(src + u"e2"_s), QByteArray("e"));
        QCOMPARE(readFile(src + u"f"_s), QByteArray("f"));
        QVERIFY(undoMessage(r).startsWith(u"撤销完成\n已撤销 1，目标已变 4，源位置已占用 1"_s));
    }

    // A copy that replaced a file existing before the run cannot give it
    // back: the copy stays and the row says so.
    void replacingCopyNotUndone() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        QVERIFY(writeFile(src + u"a"_s, "new") && writeFile(out + u"a"_s, "old"));
        QVERIFY(writeFile(src + u"b"_s, "b"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"a"_s, out});
        addRow(*g, {src, u"b"_s, u"b"_s, out});
        QCOMPARE(run(*g, false, true, dir.path() + u"/j"_s).succeeded, qint64(2));
        const UndoReport r = undoLast(dir.path() + u"/j"_s);
        QCOMPARE(results(r), texts({UndoResult::NotUndoable, UndoResult::Undone}));
        QCOMPARE(readFile(out + u"a"_s), QByteArray("new"));
        QVERIFY(!QFileInfo::exists(out + u"b"_s));
    }

    // Names swapped or rotated through temporary names come back to their
    // own names; nothing is left under a temporary name.
    void ringUndone_data() {
        QTest::addColumn<int>("size");
        QTest::newRow("swap") << 2;
        QTest::newRow("ring of three") << 3;
    }
    void ringUndone() {
        QFETCH(int, size);
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        auto g = makeFrn1Grid();
        for (int i = 0; i < size; ++i) {
            QVERIFY(writeFile(src + QString::number(i), QByteArray::number(i)));
            addRow(*g, {src, QString::number(i), QString::number((i + 1) % size), src});
        }
        const QStringList before = snapshot(src);
        QCOMPARE(run(*g, true, true, dir.path() + u"/j"_s).succeeded, qint64(size));
        QCOMPARE(readFile(src + u"1"_s), QByteArray("0"));
        const UndoReport r = undoLast(dir.path() + u"/j"_s);
        QCOMPARE(results(r), repeated(size, UndoResult::Undone));
        QCOMPARE(snapshot(src), before);
    }

    // A second undo of the same journal changes nothing, even where the
    // first one left room.
    void undoTwice() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, j = dir.path() + u"/j"_s;
        QVERIFY(renameAToB(src, j));
        QCOMPARE(int(undoLast(j).end), int(UndoEnd::Done));
        QVERIFY(QFile::rename(src + u"a"_s, src + u"b"_s)); // as after the run again
        const UndoReport again = undoLast(j);
        QCOMPARE(int(again.end), int(UndoEnd::AlreadyUndone));
        QVERIFY(again.rows.empty());
        QCOMPARE(readFile(src + u"b"_s), QByteArray("a"));
        QVERIFY(!QFileInfo::exists(src + u"a"_s));
    }

    // A run whose journal cannot be made does not start; nothing changes.
    void journalUnwritable_data() {
        QTest::addColumn<bool>("asFolder");
        QTest::newRow("file under a file") << false;
        QTest::newRow("folder under a file") << true;
    }
    void journalUnwritable() {
        QFETCH(bool, asFolder);
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        QVERIFY(writeFile(src + u"a"_s, "a") && writeFile(dir.path() + u"/plain"_s, "x"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"b"_s, src});
        JournalPlace place;
        (asFolder ? place.folder : place.file) = dir.path() + u"/plain/journal"_s;
        RunOptions o;
        o.move = true;
        EscSink sink;
        const RunSummary s = executeRun(*g, FrnState{}, o, sink, &place);
        QCOMPARE(int(s.end), int(RunEnd::NoJournal));
        QCOMPARE(sp.messages.size(), 1);
        QCOMPARE(sp.messages[0].title, u"提示"_s);
        QVERIFY(sp.messages[0].text.contains(u"执行日志无法写入"_s));
        QVERIFY(QFileInfo::exists(src + u"a"_s));
        QCOMPARE(column(*g, u"jg"_s), QStringList{QString()});
    }

    // A run cut short: its journal ends in the middle of a batch, without
    // outcomes and with half a line, and a temporary file of the dead
    // process lies in the target folder. Undo takes back what was done.
    void interruptedRunUndone() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        const QString j = dir.path() + u"/j"_s;
        auto g = makeFrn1Grid();
        for (int i = 0; i < 10; ++i) {
            QVERIFY(writeFile(src + QString::number(i), QByteArray(i + 1, 'x')));
            addRow(*g, {src, QString::number(i), QString::number(i), out});
        }
        const QStringList before = snapshot(dir.path());
        QCOMPARE(run(*g, false, true, j).succeeded, qint64(10));
        // Rows 7 to 10 never ran; what rows 1 to 6 did reached the disk, but
        // no outcome reached the journal.
        for (int i = 6; i < 10; ++i)
            QVERIFY(QFile::remove(out + QString::number(i)));
        QVERIFY(writeFile(out + u".zorv-tmp-999999999-7"_s, "partial"));
        const QString path = latestJournal(j);
        QByteArray text = readFile(path);
        text.truncate(text.indexOf("\nO\t") + 1);
        text += "O\t4\t0\t1";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size());
        f.close();

        const UndoReport r = undoLast(j);
        QCOMPARE(int(r.end), int(UndoEnd::Done));
        QCOMPARE(r.counts[int(UndoResult::Undone)], qint64(6));
        QCOMPARE(r.counts[int(UndoResult::Nothing)], qint64(4));
        QStringList after = snapshot(dir.path());
        after.removeIf([](const QString &l) { return l.startsWith(u"j"); });
        QCOMPARE(after, before);
        // The closed half line keeps the journal readable: a second undo
        // knows it was undone.
        QCOMPARE(int(undoLast(j).end), int(UndoEnd::AlreadyUndone));
    }

    // A folder of the run replaced by a symbolic link since is not
    // followed: its rows stay.
    void linkedFolderNotFollowed() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        QVERIFY(writeFile(src + u"a"_s, "a") && QDir().mkpath(out));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"a"_s, out});
        QCOMPARE(run(*g, true, true, dir.path() + u"/j"_s).succeeded, qint64(1));
        QVERIFY(QDir(dir.path()).rmdir(u"src"_s));
        QVERIFY(QDir().mkpath(dir.path() + u"/elsewhere"_s));
        QVERIFY(QFile::link(dir.path() + u"/elsewhere"_s, dir.path() + u"/src"_s));
        const UndoReport r = undoLast(dir.path() + u"/j"_s);
        QCOMPARE(results(r), texts({UndoResult::FolderChanged}));
        QCOMPARE(readFile(out + u"a"_s), QByteArray("a"));
        QVERIFY(!QFileInfo::exists(dir.path() + u"/elsewhere/a"_s));
    }

    // The journal keeps the newest runs only.
    void journalsKept() {
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, j = dir.path() + u"/j"_s;
        QVERIFY(QDir().mkpath(j));
        for (int i = 0; i < kJournalsKept + 3; ++i)
            QVERIFY(writeFile(j + u"/run-2000010" + QString::number(i).rightJustified(2, u'0') +
                                  u".journal"_s,
                              "old"));
        QVERIFY(writeFile(src + u"a"_s, "a"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a"_s, u"b"_s, src});
        run(*g, true, true, j);
        const QStringList left = QDir(j).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left.size(), kJournalsKept);
        QCOMPARE(latestJournal(j), j + u'/' + left.last());
        QVERIFY(readFile(j + u'/' + left.last()).startsWith("ZORV-RUN-JOURNAL 1\n"));
    }

    // A journal damaged after the run is refused with the line that is
    // wrong, and nothing is undone by guesswork.
    void damagedJournalRefused_data() {
        QTest::addColumn<int>("field"); // of the "B" line; -1: a line of its own
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("file with four parts") << 8 << QByteArray("1:2:3:4");
        QTest::newRow("file with six parts") << 8 << QByteArray("1:2:3:4:5:6");
        QTest::newRow("file with a bad digit") << 8 << QByteArray("1:2:3:4:g");
        QTest::newRow("step not a number") << 1 << QByteArray("x0");
        QTest::newRow("folder not listed") << 4 << QByteArray("7");
        QTest::newRow("unknown operation") << 3 << QByteArray("rename");
        QTest::newRow("field added") << 10 << QByteArray("z");
        QTest::newRow("unknown line") << -1 << QByteArray("Q\t1");
    }
    void damagedJournalRefused() {
        QFETCH(int, field);
        QFETCH(QByteArray, text);
        zorv::test::ScriptedPlatform sp;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, j = dir.path() + u"/j"_s;
        QVERIFY(renameAToB(src, j));
        const QString path = latestJournal(j);
        QList<QByteArray> lines = readFile(path).split('\n');
        const auto b = std::find_if(lines.begin(), lines.end(),
                                    [](const QByteArray &l) { return l.startsWith("B\t"); });
        QVERIFY(b != lines.end());
        if (field < 0) {
            lines.insert(b, text);
        } else {
            QList<QByteArray> fields = b->split('\t');
            if (field == fields.size())
                fields << text;
            else
                fields[field] = text;
            *b = fields.join('\t');
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(f.write(lines.join('\n')) > 0);
        f.close();
        const UndoReport r = undoLast(j);
        QCOMPARE(int(r.end), int(UndoEnd::Unreadable));
        QVERIFY2(r.error.contains(u"无法识别"_s), qPrintable(r.error));
        QCOMPARE(readFile(src + u"b"_s), QByteArray("a"));
        QVERIFY(!QFileInfo::exists(src + u"a"_s));
    }

    // Names with the journal's own separators survive the round trip.
    void escaping() {
        const QByteArray odd("a\tb\\c\nd\re");
        QByteArray line;
        appendEscaped(line, odd);
        QVERIFY(!line.contains('\t') && !line.contains('\n') && !line.contains('\r'));
        QCOMPARE(unescape(line), odd);
    }
};

QTEST_GUILESS_MAIN(TestRunUndo)
#include "test_run_undo.moc"
