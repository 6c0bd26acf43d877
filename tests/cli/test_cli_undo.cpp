// zorv files run writes a journal and zorv files undo takes the run back,
// also when the run was killed half way.
#include "cli_harness.h"
#include "support/tempdir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace zorv::test;

namespace {

const QByteArray kHeader = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";
constexpr qint64 kSize = qint64(200) << 20;

QByteArray row(int xh, const QString &ypath, const QString &filey, const QString &filen,
               const QString &npath) {
    return (QString::number(xh) + u'\t' + ypath + u'\t' + filey + u'\t' + filen + u'\t' + npath +
            u"\t\t\n"_s)
        .toUtf8();
}

// Every entry below root with its size and checksum.
QStringList listing(const QString &root) {
    QStringList out;
    const QFileInfoList entries =
        QDir(root).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &e : entries) {
        QFile f(e.filePath());
        QCryptographicHash h(QCryptographicHash::Sha256);
        if (f.open(QIODevice::ReadOnly))
            h.addData(&f);
        out << e.fileName() + u' ' + QString::number(e.size()) + u' ' +
                   QString::fromLatin1(h.result().toHex());
    }
    out.sort();
    return out;
}

bool otherFileSystem(const QString &a, const QString &b) {
    struct stat sa, sb;
    return stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev != sb.st_dev;
}

} // namespace

class TestCliUndo : public QObject {
    Q_OBJECT
private slots:
    // A run and its undo through the default journal folder; a second undo
    // changes nothing and says so.
    void runThenUndo() {
        TestHome home;
        const QString src = home.path() + u"/src/"_s;
        makeTree(src, {u"a=1"_s, u"b=22"_s, u"c=333"_s});
        const QStringList before = treeOf(src);
        QByteArray grid = kHeader;
        grid += row(1, src, u"a"_s, u"x"_s, src);
        grid += row(2, src, u"b"_s, u"a"_s, src); // waits for row 1
        grid += row(3, src, u"c"_s, u"c.txt"_s, src);
        const CliResult run = runZorv({u"files"_s, u"run"_s, u"--mode"_s, u"move"_s}, grid, src);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(home.path() + u"/journal"_s).entryList(QDir::Files).size(), 1);

        const CliResult undo = runZorv({u"files"_s, u"undo"_s}, {}, src);
        QCOMPARE(undo.exitCode, 0);
        QCOMPARE(treeOf(src), before);
        const QList<QByteArray> lines = undo.out.split('\n');
        QCOMPARE(lines.value(0), "行号\t源文件\t目标文件\t结果"_ba);
        QCOMPARE(lines.value(1), QByteArray("1\t" + src.toUtf8() + "a\t" + src.toUtf8() + "x\t") +
                                     u"已撤销"_s.toUtf8());
        QVERIFY(undo.err.contains(u"撤销完成"_s));

        const CliResult again = runZorv({u"files"_s, u"undo"_s}, {}, src);
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.err.contains(u"已撤销，未做任何改动"_s));
        QCOMPARE(treeOf(src), before);
    }

    // The journal cannot be made: the run does not start (exit 1, a reason).
    void journalUnwritable() {
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        makeTree(src, {u"a=1"_s});
        QVERIFY(writeFile(dir.path() + u"/plain"_s, "x"));
        const CliResult r = runZorv({u"files"_s, u"run"_s, u"--mode"_s, u"move"_s, u"--journal"_s,
                                     dir.path() + u"/plain/j"_s},
                                    kHeader + row(1, src, u"a"_s, u"b"_s, src), src);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(u"执行日志无法写入"_s));
        QCOMPARE(treeOf(src), QStringList{u"a=1"_s});
    }

    // zorv killed while a large file of the run is on its way: the journal
    // then lacks the outcomes of the rows done so far. Undo brings every
    // file back and leaves no temporary file.
    void killedRunUndone_data() {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("renames and a move to another file system") << true;
    }
    void killedRunUndone() {
        QFETCH(bool, move);
        QTemporaryDir dir, shm(u"/dev/shm/zorv-test-XXXXXX"_s);
        const QString src = dir.path() + u"/src/"_s;
        const QString journal = dir.path() + u"/run.journal"_s;
        QString out = dir.path() + u"/out/"_s;
        if (move) {
            if (!shm.isValid() || !otherFileSystem(shm.path(), dir.path()))
                QSKIP("no second file system at /dev/shm");
            out = shm.path() + u"/out/"_s;
        }
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(out));
        QByteArray grid = kHeader;
        int xh = 0;
        for (int i = 0; i < 40; ++i) {
            const QString name = u"f"_s + QString::number(i);
            QVERIFY(writeFile(src + name, name.toUtf8()));
            if (i == 20) {
                QVERIFY(makeLargeFile(src + u"big.bin"_s, kSize, "HEAD", "TAIL"));
                grid += row(++xh, src, u"big.bin"_s, u"big.bin"_s, out);
            }
            grid += row(++xh, src, name, u"g"_s + QString::number(i), move ? src : out);
        }
        const QStringList before = listing(src);

        QProcess p;
        p.start(zorvPath(), {u"files"_s, u"run"_s, u"--mode"_s, move ? u"move"_s : u"copy"_s,
                             u"--journal"_s, journal});
        QVERIFY(p.waitForStarted());
        p.write(grid);
        p.waitForBytesWritten();
        p.closeWriteChannel();
        const qint64 pid = p.processId();
        const bool caught = waitForOpenFileBelow(pid, out, 60000);
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(p.waitForFinished(10000));
        if (caught)
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        const CliResult undo = runZorv({u"files"_s, u"undo"_s, journal}, {}, dir.path());
        QCOMPARE(undo.exitCode, 0);
        QCOMPARE(listing(src), before);
        QCOMPARE(listing(out), QStringList());
        QCOMPARE(undo.out.count('\n'), 42); // the head and every row
        QVERIFY(QFile(journal).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestCliUndo)
#include "test_cli_undo.moc"
