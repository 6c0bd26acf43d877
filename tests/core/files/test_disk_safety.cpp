// The batch run under faults: sources that vanished or are no longer regular
// files, sources replaced while a move across file systems is under way,
// temporary files left by killed runs, replacing copies.
#include "core/files/batch_run.h"
#include "core/files/file_ops.h"
#include "core/files/plan_check.h"
#include "core/files/run_journal.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

QStringList entries(const QString &dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray bytes(const QString &path) {
    return QFile::encodeName(path);
}

// Runs grid with the given mode and overwrite choice.
// With journals, the run keeps its journal in that folder (the journal's
// look at each source then also serves as the run's).
RunSummary run(Grid &g, bool move, bool overwrite, const QString &root = {},
               const QString &journals = {}) {
    RunOptions o;
    o.move = move;
    o.overwrite = overwrite;
    FrnState state;
    state.ls_path2 = root;
    EscSink sink;
    JournalPlace place;
    place.folder = journals;
    return executeRun(g, state, o, sink, journals.isEmpty() ? nullptr : &place);
}

// Opens the FIFO for writing if a reader still waits on it after a long
// while, so that a run blocked on it ends and the test fails instead of
// hanging.
class FifoWatchdog {
public:
    explicit FifoWatchdog(const QByteArray &fifo)
        : m_thread([this, fifo] {
              for (int i = 0; i < 600 && !m_done; ++i)
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              if (m_done)
                  return;
              const int fd = open(fifo.constData(), O_WRONLY | O_NONBLOCK);
              if (fd >= 0) { // only succeeds while someone reads
                  m_fired = true;
                  close(fd);
              }
          }) {}
    ~FifoWatchdog() {
        m_done = true;
        m_thread.join();
    }
    bool fired() const { return m_fired; }

private:
    std::atomic<bool> m_done{false}, m_fired{false};
    std::thread m_thread;
};

// The id of a process that has ended.
pid_t deadProcessId() {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

bool sameFileSystem(const QString &a, const QString &b) {
    struct stat sa, sb;
    return stat(bytes(a).constData(), &sa) == 0 && stat(bytes(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev;
}

} // namespace

class TestDiskSafety : public QObject {
    Q_OBJECT
private slots:
    void badSource_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("sameFolder");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("journaled");
        for (const QString &kind : {u"vanished"_s, u"fifo"_s, u"folder"_s})
            for (bool move : {false, true})
                for (bool same : {true, false})
                    for (bool overwrite : {true, false})
                        for (bool journaled : {false, true}) {
                            if (same && !overwrite)
                                continue; // the choice plays no part in one folder
                            const QString name =
                                u"%1 %2 %3%4%5"_s.arg(kind, move ? u"move"_s : u"copy"_s,
                                                      same ? u"same folder"_s : u"other folder"_s,
                                                      same        ? QString()
                                                      : overwrite ? u" overwrite"_s
                                                                  : u" keep"_s,
                                                      journaled ? u" journaled"_s : QString());
                            QTest::newRow(name.toUtf8().constData())
                                << kind << move << same << overwrite << journaled;
                        }
    }
    // A source that is gone, a FIFO or a folder fails, whether or not the
    // target exists, and nothing is touched; a FIFO never blocks the run.
    void badSource() {
        QFETCH(QString, kind);
        QFETCH(bool, move);
        QFETCH(bool, sameFolder);
        QFETCH(bool, overwrite);
        QFETCH(bool, journaled);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        const QString out = sameFolder ? src : dir.path() + u"/out/"_s;
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(out));
        const QString source = src + u"s"_s;
        if (kind == u"fifo"_s)
            QCOMPARE(mkfifo(bytes(source).constData(), 0600), 0);
        else if (kind == u"folder"_s)
            QVERIFY(QDir().mkdir(source));
        auto g = makeFrn1Grid();
        // The first row's target exists; the second's does not.
        QVERIFY(writeFile(out + u"old"_s, "old"));
        addRow(*g, {src, u"s"_s, u"old"_s, out});
        addRow(*g, {src, u"s"_s, u"new"_s, out});
        const FifoWatchdog watchdog(bytes(source));
        run(*g, move, overwrite, {}, journaled ? dir.path() + u"/journal"_s : QString());
        QVERIFY2(!watchdog.fired(), "the run blocked on the FIFO");
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"失败"_s, u"失败"_s}));
        QCOMPARE(readFile(out + u"old"_s), QByteArray("old"));
        QVERIFY(!QFileInfo::exists(out + u"new"_s));
        QCOMPARE(QFileInfo::exists(source), kind != u"vanished"_s);
        if (kind == u"folder"_s)
            QVERIFY(QFileInfo(source).isDir());
    }

    // A move whose source the journal saw moments ago skips its own look;
    // a source gone since still fails and makes no target folders.
    void lookedSourceGoneMakesNoFolders() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        QVERIFY(QDir().mkpath(src));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"gone"_s, u"gone"_s, dir.path() + u"/new/deeper/"_s});
        RunOptions o;
        o.move = true;
        const Plan plan = buildPlan(*g, QString(), o);
        struct SawIt final : RunObserver {
            bool beforeStep(size_t) override { return true; }
            void held(quint32, const QByteArray &) override {}
            void outcome(qint64, Outcome o) override { outcomes << o; }
            bool sourceLooked(size_t) const override { return true; }
            QList<Outcome> outcomes;
        } observer;
        EscSink sink;
        runPlan(plan, checkPlan(plan), sink, {}, &observer);
        QCOMPARE(observer.outcomes, QList<Outcome>{Outcome::Failed});
        QVERIFY(!QFileInfo::exists(dir.path() + u"/new"_s));
    }

    void sourceChangedDuringCrossMove_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("replaced by another file") << u"replace"_s;
        QTest::newRow("rewritten in place") << u"rewrite"_s;
        QTest::newRow("removed") << u"remove"_s;
        QTest::newRow("left alone") << QString();
    }
    // A move to another file system removes its source only when it is still
    // the file copied; otherwise the row fails, the source stays as it is now
    // and the copy goes.
    void sourceChangedDuringCrossMove() {
        QFETCH(QString, change);
        QTemporaryDir shm(u"/dev/shm/zorv-test-XXXXXX"_s);
        QTemporaryDir dir;
        if (!shm.isValid())
            QSKIP("no /dev/shm to move from");
        if (sameFileSystem(shm.path(), dir.path()))
            QSKIP("/dev/shm and the temporary folder are one file system");
        const QString source = shm.path() + u"/s.txt"_s;
        QVERIFY(writeFile(source, "copied data"));
        QVERIFY(writeFile(shm.path() + u"/other.txt"_s, "other"));
        QStringList seen;
        PendingMoves::setBeforeSourceCheck([&](const QByteArray &path) {
            seen << QFile::decodeName(path);
            if (path != bytes(source))
                return;
            if (change == u"replace"_s) {
                QVERIFY(writeFile(shm.path() + u"/new.txt"_s, "replacing data"));
                QVERIFY(rename(bytes(shm.path() + u"/new.txt"_s).constData(), path) == 0);
            } else if (change == u"rewrite"_s) {
                QFile f(source);
                QVERIFY(f.open(QIODevice::Append));
                f.write(" and more");
            } else if (change == u"remove"_s) {
                QVERIFY(QFile::remove(source));
            }
        });
        const auto unhook = qScopeGuard([] { PendingMoves::setBeforeSourceCheck({}); });
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {shm.path() + u'/', u"s.txt"_s, u"t.txt"_s, dir.path() + u'/'});
        addRow(*g, {shm.path() + u'/', u"other.txt"_s, u"o.txt"_s, dir.path() + u'/'});
        run(*g, true, true);
        QCOMPARE(seen, (QStringList{source, shm.path() + u"/other.txt"_s}));
        const bool moved = change.isEmpty();
        QCOMPARE(column(*g, u"jg"_s), (QStringList{moved ? u"成功"_s : u"失败"_s, u"成功"_s}));
        const QByteArray now = change == u"replace"_s   ? "replacing data"
                               : change == u"rewrite"_s ? "copied data and more"
                                                        : "";
        QCOMPARE(readFile(source), now);
        QCOMPARE(QFileInfo::exists(source), !moved && change != u"remove"_s);
        QCOMPARE(readFile(dir.path() + u"/t.txt"_s), moved ? QByteArray("copied data") : "");
        const QStringList left =
            moved ? QStringList{u"o.txt"_s, u"t.txt"_s} : QStringList{u"o.txt"_s};
        QCOMPARE(entries(dir.path()), left);
    }

    // Rows after a move across file systems that read or replace its source
    // see the source gone, as in row order, although the move's source is
    // removed only when its batch is flushed.
    void laterRowsSeeMovedSource() {
        QTemporaryDir shm(u"/dev/shm/zorv-test-XXXXXX"_s);
        QTemporaryDir dir;
        if (!shm.isValid())
            QSKIP("no /dev/shm to move from");
        if (sameFileSystem(shm.path(), dir.path()))
            QSKIP("/dev/shm and the temporary folder are one file system");
        const QString s = shm.path() + u'/';
        const QString t = dir.path() + u'/';
        QVERIFY(writeFile(s + u"a"_s, "a"));
        QVERIFY(writeFile(s + u"b"_s, "b"));
        QVERIFY(writeFile(s + u"x"_s, "x"));
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {s, u"a"_s, u"a1"_s, t});
        addRow(*g, {s, u"a"_s, u"a2"_s, s}); // copy of the moved file: gone
        addRow(*g, {s, u"a"_s, u"a3"_s, t}); // moved again: gone
        addRow(*g, {s, u"b"_s, u"b1"_s, t});
        addRow(*g, {s, u"x"_s, u"b"_s, s}); // onto the moved file's name: now free
        run(*g, true, true);
        QCOMPARE(column(*g, u"jg"_s),
                 (QStringList{u"成功"_s, u"失败"_s, u"失败"_s, u"成功"_s, u"成功"_s}));
        QCOMPARE(entries(shm.path()), QStringList{u"b"_s});
        QCOMPARE(readFile(s + u"b"_s), QByteArray("x"));
        QCOMPARE(entries(dir.path()), (QStringList{u"a1"_s, u"b1"_s}));
        QCOMPARE(readFile(t + u"b1"_s), QByteArray("b"));
    }

    // A copy over a file that existed before the run replaces it in one
    // rename: a second name of the old file keeps the old data whole.
    void overwriteReplacesWhole() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        QVERIFY(writeFile(src + u"a.txt"_s, "new data"));
        QVERIFY(writeFile(out + u"a.txt"_s, "old data, longer"));
        QCOMPARE(
            link(bytes(out + u"a.txt"_s).constData(), bytes(dir.path() + u"/old"_s).constData()),
            0);
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a.txt"_s, u"a.txt"_s, out});
        run(*g, false, true);
        QCOMPARE(g->getItemString(1, u"jg"_s), u"成功"_s);
        QCOMPARE(readFile(out + u"a.txt"_s), QByteArray("new data"));
        QCOMPARE(readFile(dir.path() + u"/old"_s), QByteArray("old data, longer"));
        QCOMPARE(entries(out), QStringList{u"a.txt"_s});
    }

    // A run removes from the folders it writes into the temporary files of
    // processes that no longer run, and nothing else.
    void staleTemporariesRemoved() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s,
                      other = dir.path() + u"/other/"_s;
        QVERIFY(writeFile(src + u"a.txt"_s, "a"));
        const QString dead = u".zorv-tmp-"_s + QString::number(deadProcessId());
        const QString live = u".zorv-tmp-"_s + QString::number(getppid());
        const QStringList kept{live + u"-7"_s,    dead + u"-x"_s,          dead + u"-"_s,
                               u".zorv-tmp--1"_s, u"a"_s + dead + u"-1"_s, u".zorv-tmp-0-1"_s,
                               dead + u"-1.txt"_s};
        for (const QString &name : kept + QStringList{dead + u"-1"_s, dead + u"-22"_s})
            QVERIFY(writeFile(out + name, "part"));
        QVERIFY(QDir().mkpath(out + dead + u"-3"_s)); // a folder is never removed
        QVERIFY(writeFile(other + dead + u"-1"_s, "part"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a.txt"_s, u"b.txt"_s, out});
        run(*g, false, true);
        QCOMPARE(g->getItemString(1, u"jg"_s), u"成功"_s);
        QStringList expected = kept + QStringList{dead + u"-3"_s, u"b.txt"_s};
        expected.sort();
        QStringList now = entries(out);
        now.sort();
        QCOMPARE(now, expected);
        QCOMPARE(entries(other), QStringList{dead + u"-1"_s}); // not written into
    }
};

QTEST_GUILESS_MAIN(TestDiskSafety)
#include "test_disk_safety.moc"
