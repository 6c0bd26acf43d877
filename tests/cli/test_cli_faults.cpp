// The built zorv under faults: odd names on disk, a listing that cannot reach
// everything, a stream cut off, long input quoted in a message, and an
// outcome grid that cannot be written after files were changed.
#include "cli_harness.h"
#include "support/deep_tree.h"
#include "support/tempdir.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace zorv::test;

namespace {

const QByteArray kHeader = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";

// The cells of one column of a grid stream, in row order.
QStringList column(const QByteArray &stream, int index) {
    QStringList cells;
    const QList<QByteArray> lines = stream.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty() && !lines[i].startsWith('#'))
            cells << QString::fromUtf8(lines[i].split('\t').value(index));
    return cells;
}

// A grid renaming src/a.txt and src/b.txt in place to A.TXT and B.TXT.
QByteArray renamePlan(const QString &src) {
    QByteArray grid = kHeader;
    for (const char *n : {"a", "b"})
        grid += "1\t" + src.toUtf8() + "\t" + n + ".txt\t" + QByteArray(n).toUpper() + ".TXT\t" +
                src.toUtf8() + "\t\t\n";
    return grid;
}

} // namespace

class TestCliFaults : public QObject {
    Q_OBJECT
private slots:
    // Blanks at the ends of a name and a leading U+FEFF are part of it all
    // the way through the pipeline: each file is renamed as itself, and the
    // new names are trimmed. A backslash in a name sends the stream through
    // the escaping reader, the other case through the bulk one.
    void oddNamesPipeline_data() {
        QTest::addColumn<bool>("escaped");
        QTest::newRow("bulk") << false;
        QTest::newRow("escaped") << true;
    }
    void oddNamesPipeline() {
        QFETCH(bool, escaped);
        QTemporaryDir dir;
        const QString bom(QChar(0xFEFF));
        QStringList files{u"src/ lead.txt"_s, u"src/lead.txt"_s, u"src/lead.txt "_s,
                          u"src/"_s + bom + u"lead.txt"_s};
        if (escaped)
            files << u"src/x\\y.txt"_s;
        makeTree(dir.path(), files);
        const CliResult r =
            runShell(u"\"$ZORV\" files list src | \"$ZORV\" files names --op 9 --step 1"
                     " | \"$ZORV\" files target src | \"$ZORV\" files run --mode move"_s,
                     dir.path());
        QCOMPARE(r.exitCode, 0);
        // Listed in byte order: the blank first, U+FEFF (EF BB BF) last.
        QStringList expected{u"src/"_s, u"src/1lead.txt=src/ lead.txt"_s,
                             u"src/2lead.txt=src/lead.txt"_s, u"src/3lead.txt=src/lead.txt "_s};
        if (escaped)
            expected << u"src/4x\\y.txt=src/x\\y.txt"_s;
        expected << u"src/"_s + QString::number(expected.size()) + bom + u"lead.txt=src/"_s + bom +
                        u"lead.txt"_s;
        QCOMPARE(treeOf(dir.path()), expected);
    }

    // Folders that cannot be read and paths too long to reach are left out
    // of the list, counted in the message, and the exit status is 1.
    void listCountsSkipped() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"top/a.txt"_s});
        DeepTree deep(dir.path() + u"/top"_s, u"deep"_s, 4000);
        QVERIFY(deep.isValid());
        QVERIFY(deep.addFile("f.txt"));
        QVERIFY(deep.addFile(QByteArray(200, 'n')));
        QVERIFY(deep.addFolder(QByteArray(200, 's')));
        QVERIFY(deep.addFile("g.txt", QByteArray(200, 's')));
        const QString skipped = u"提示: 源文件夹的相关信息已导入，跳过2个无法读取的文件夹或路径"_s;

        const CliResult fresh =
            runZorv({u"files"_s, u"list"_s, u"--recursive"_s, u"top"_s}, {}, dir.path());
        QCOMPARE(fresh.exitCode, 1);
        QCOMPARE(fresh.messages(), QStringList{skipped});
        QCOMPARE(column(fresh.out, 2), (QStringList{u"f.txt"_s, u"a.txt"_s}));

        const CliResult appended =
            runZorv({u"files"_s, u"list"_s, u"--recursive"_s, u"--append"_s, u"top"_s}, kHeader,
                    dir.path());
        QCOMPARE(appended.exitCode, 1);
        QCOMPARE(appended.messages(), QStringList{skipped});
        QCOMPARE(appended.out, fresh.out);

        const CliResult flat = runZorv({u"files"_s, u"list"_s, u"top"_s}, {}, dir.path());
        QCOMPARE(flat.exitCode, 0);
        QCOMPARE(flat.messages(), QStringList{u"提示: 源文件夹的相关信息已导入"_s});
    }

    // A stream whose last line has no line end was cut off: refused with the
    // line, nothing touched.
    void cutOffStream_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("line");
        QTest::newRow("header only") << QByteArray() << 1;
        QTest::newRow("row without its end") << QByteArray("2\t/x/\tb.txt\tB.TXT\t/x/\t\t") << 3;
        QTest::newRow("cut inside a field") << QByteArray("2\t/x/\tb.t") << 3;
        QTest::newRow("cut after CR") << QByteArray("2\t/x/\tb.txt\tB.TXT\t/x/\t\t\r") << 3;
    }
    void cutOffStream() {
        QFETCH(QByteArray, tail);
        QFETCH(int, line);
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s, u"src/b.txt"_s});
        const QString src = dir.path() + u"/src/"_s;
        const QByteArray whole = renamePlan(src);
        QByteArray input = whole.left(whole.indexOf('\n') + 1);
        if (line > 1)
            input = whole.left(whole.indexOf('\n', input.size()) + 1) + tail;
        else
            input.chop(1);
        const QStringList before = treeOf(dir.path());
        const CliResult r =
            runZorv({u"files"_s, u"run"_s, u"--mode"_s, u"move"_s}, input, dir.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(u"标准输入 第 "_s + QString::number(line) +
                                u" 行：最后一行没有换行符"_s),
                 qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(treeOf(dir.path()), before);
    }

    // Input quoted in a message is cut at 200 characters, and control
    // characters in it are shown as escapes.
    void longInputQuotedShort() {
        QTemporaryDir dir;
        const QString op = QString(300, u'9');
        const CliResult r = runZorv({u"files"_s, u"names"_s, u"--op"_s, op}, kHeader, dir.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(u'"' + QString(200, u'9') + u"…\""_s), qPrintable(r.err));
        QVERIFY(!r.err.contains(QString(201, u'9')));

        const QByteArray header =
            "xh\typath\tfiley\tfilen\tnpath\tjg\t" + QByteArray(5000, 'z') + "\x1b[2J\n";
        const CliResult h =
            runZorv({u"files"_s, u"names"_s, u"--op"_s, u"4"_s}, header, dir.path());
        QCOMPARE(h.exitCode, 2);
        QVERIFY(h.err.contains(u'"' + QString(200, u'z') + u"…\""_s));
        QVERIFY(h.err.size() < 400);

        const CliResult esc =
            runZorv({u"files"_s, u"names"_s, u"--op"_s, u"\x1b[2J"_s}, kHeader, dir.path());
        QCOMPARE(esc.exitCode, 2);
        QVERIFY2(esc.err.contains(u"\"\\x1b[2J\""_s), qPrintable(esc.err));
        QVERIFY(!esc.err.contains(QChar(0x1b)));
    }

    // Once a run has changed files, an outcome grid that cannot be written
    // gives exit 1 and a message, never 2 (which says nothing was touched).
    void unwritableOutcome_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("full disk") << u"full"_s;
        QTest::newRow("pipe without reader") << u"pipe"_s;
        QTest::newRow("closed") << u"closed"_s;
    }
    void unwritableOutcome() {
        QFETCH(QString, output);
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s, u"src/b.txt"_s});
        const QString src = dir.path() + u"/src/"_s;
        QVERIFY(writeFile(dir.filePath(u"plan.tsv"_s), renamePlan(src)));

        int pipeEnds[2] = {-1, -1};
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setStandardInputFile(dir.filePath(u"plan.tsv"_s));
        if (output == u"full") {
            p.setStandardOutputFile(u"/dev/full"_s);
        } else if (output == u"pipe") {
            QCOMPARE(pipe2(pipeEnds, O_CLOEXEC), 0);
            close(pipeEnds[0]); // nobody will ever read
            const int writeEnd = pipeEnds[1];
            p.setChildProcessModifier([writeEnd] { dup2(writeEnd, STDOUT_FILENO); });
        } else {
            p.setChildProcessModifier([] { close(STDOUT_FILENO); });
        }
        p.start(zorvPath(), {u"files"_s, u"run"_s, u"--mode"_s, u"move"_s});
        QVERIFY(p.waitForFinished(60000));
        if (pipeEnds[1] >= 0)
            close(pipeEnds[1]);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains(u"无法写出结果表格到标准输出；文件已经改动"_s), qPrintable(err));
        QCOMPARE(treeOf(src), (QStringList{u"A.TXT=src/a.txt"_s, u"B.TXT=src/b.txt"_s}));
    }

    // Before any file is touched an unwritable output still means exit 2.
    void unwritableOutputBeforeAnyChange() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"plan.tsv"_s), kHeader + "1\t/x/\ta\t\t/y/\t\t\n"));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setStandardInputFile(dir.filePath(u"plan.tsv"_s));
        p.setStandardOutputFile(u"/dev/full"_s);
        p.start(zorvPath(), {u"files"_s, u"names"_s, u"--op"_s, u"4"_s});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"无法写出到标准输出"_s));
    }
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "test_cli_faults.moc"
