// The built zorv killed while it copies a large file: no final name ever
// holds part of a file, and the next run into that folder clears what the
// killed one left.
#include "cli_harness.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;
using namespace zorv::test;

namespace {

const QByteArray kHeader = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";
constexpr qint64 kSize = qint64(200) << 20;

QByteArray row(int xh, const QString &ypath, const QString &filey, const QString &npath) {
    return (QString::number(xh) + u'\t' + ypath + u'\t' + filey + u'\t' + filey + u'\t' + npath +
            u"\t\t\n"_s)
        .toUtf8();
}

QStringList entries(const QString &dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The large file as the source holds it: its size and both ends.
bool complete(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() != kSize)
        return false;
    const QByteArray head = f.read(4);
    f.seek(kSize - 4);
    return head == "HEAD" && f.read(4) == "TAIL";
}

} // namespace

class TestCliKill : public QObject {
    Q_OBJECT
private slots:
    void killedDuringCopy_data() {
        QTest::addColumn<bool>("targetExisted");
        QTest::newRow("new target") << false;
        QTest::newRow("replacing an older file") << true;
    }
    void killedDuringCopy() {
        QFETCH(bool, targetExisted);
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(out));
        QVERIFY(makeLargeFile(src + u"big.bin"_s, kSize, "HEAD", "TAIL"));
        QVERIFY(writeFile(src + u"small.txt"_s, "small"));
        if (targetExisted)
            QVERIFY(writeFile(out + u"big.bin"_s, "older"));

        QProcess p;
        p.start(zorvPath(), {u"files"_s, u"run"_s, u"--overwrite"_s, u"yes"_s});
        QVERIFY(p.waitForStarted());
        p.write(kHeader + row(1, src, u"big.bin"_s, out));
        p.waitForBytesWritten();
        p.closeWriteChannel();
        const qint64 pid = p.processId();
        const bool caught = waitForOpenFileBelow(pid, out, 60000);
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(p.waitForFinished(10000));
        if (!caught)
            QSKIP("the copy ended before it could be interrupted");
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);

        // The final name holds the older file or the whole copy; besides it
        // at most temporary files named after the killed process.
        const QString target = out + u"big.bin"_s;
        if (QFileInfo::exists(target))
            QVERIFY2(complete(target) || (targetExisted && readFile(target) == "older"),
                     "a part of the copy under the final name");
        else
            QVERIFY(!targetExisted);
        const QString stale = u".zorv-tmp-"_s + QString::number(pid) + u'-';
        QStringList left = entries(out);
        left.removeAll(u"big.bin"_s);
        for (const QString &name : left)
            QVERIFY2(name.startsWith(stale), qPrintable(name));
        // One more, certainly left behind, and a file that only looks alike.
        QVERIFY(writeFile(out + stale + u"424242"_s, "part"));
        QVERIFY(writeFile(out + u".zorv-tmp-notes"_s, "mine"));

        const CliResult next =
            runZorv({u"files"_s, u"run"_s}, kHeader + row(1, src, u"small.txt"_s, out), out);
        QCOMPARE(next.exitCode, 0);
        QStringList expected{u".zorv-tmp-notes"_s, u"small.txt"_s};
        if (QFileInfo::exists(target))
            expected << u"big.bin"_s;
        expected.sort();
        QStringList now = entries(out);
        now.sort();
        QCOMPARE(now, expected);
    }
};

QTEST_GUILESS_MAIN(TestCliKill)
#include "test_cli_kill.moc"
