// The built zorv as a user runs it: usage and exit statuses, bad input that
// touches nothing, the pipeline of the README, Ctrl-C, installation.
#include "cli_harness.h"
#include "support/tempdir.h"

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

QByteArray row(int xh, const QString &ypath, const QString &filey, const QString &filen,
               const QString &npath, const QString &jg = {}, const QString &zml = {}) {
    return (QString::number(xh) + u'\t' + ypath + u'\t' + filey + u'\t' + filen + u'\t' + npath +
            u'\t' + jg + u'\t' + zml + u'\n')
        .toUtf8();
}

// The cells of one column of a grid stream, in row order.
QStringList column(const QByteArray &stream, int index) {
    QStringList cells;
    const QList<QByteArray> lines = stream.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty() && !lines[i].startsWith('#'))
            cells << QString::fromUtf8(lines[i].split('\t').value(index));
    return cells;
}

} // namespace

class TestCliProcess : public QObject {
    Q_OBJECT
private slots:
    void usageAndBadInput_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        const QByteArray grid = kHeader + row(1, u"/nowhere/"_s, u"a.txt"_s, {}, {});
        auto args = [](const char *s) { return QString::fromUtf8(s).split(u' '); };
        QTest::newRow("no command") << QStringList{} << QByteArray() << 2 << u"用法"_s;
        QTest::newRow("unknown command") << args("copy") << QByteArray() << 2 << u"未知的命令"_s;
        QTest::newRow("unknown sub-command")
            << args("files rename") << QByteArray() << 2 << u"未知的子命令 \"rename\""_s;
        QTest::newRow("unknown option")
            << args("files names --op 4 --fast") << grid << 2 << u"未知选项 --fast"_s;
        QTest::newRow("unknown operation")
            << args("files names --op 10") << grid << 2 << u"未知的操作方式：\"10\""_s;
        QTest::newRow("operation not a number")
            << args("files names --op x") << grid << 2 << u"未知的操作方式"_s;
        QTest::newRow("option the operation does not use")
            << args("files names --op 9 --start 2") << grid << 2 << u"操作 9 不用选项 --start"_s;
        QTest::newRow("count out of range")
            << args("files names --op 1 --count 51") << grid << 2 << u"1 至 50"_s;
        QTest::newRow("text too long")
            << args("files names --op 7 --text abcd") << grid << 2 << u"至多 3 个字符"_s;
        QTest::newRow("bad --on") << args("files names --op 4 --on both") << grid << 2
                                  << u"source|target"_s;
        QTest::newRow("bad mode") << args("files run --mode link") << grid << 2 << u"copy|move"_s;
        QTest::newRow("bad overwrite")
            << args("files run --overwrite maybe") << grid << 2 << u"yes|no"_s;
        QTest::newRow("columns out of range")
            << args("files import-names x.txt --columns 4") << grid << 2 << u"1 至 3"_s;
        QTest::newRow("missing folder") << args("files list") << QByteArray() << 2 << u"缺少参数"_s;
        QTest::newRow("extra argument")
            << args("files target a b") << grid << 2 << u"多余的参数 \"b\""_s;
        QTest::newRow("folder does not exist")
            << args("files list /nowhere/at/all") << QByteArray() << 2 << u"不是可读的文件夹"_s;
        QTest::newRow("list file does not exist")
            << args("files filter /nowhere/list.txt") << grid << 2 << u"无法读取名单文件"_s;
        QTest::newRow("--in does not exist")
            << args("files names --op 4 --in /nowhere/grid.tsv") << QByteArray() << 2
            << u"无法读取 /nowhere/grid.tsv"_s;
        QTest::newRow("empty input")
            << args("files target /tmp") << QByteArray() << 2 << u"标准输入 第 1 行：没有表头行"_s;
        QTest::newRow("missing column")
            << args("files run") << QByteArray("xh\typath\tfiley\tfilen\tnpath\tzml\n") << 2
            << u"第 1 行：表头缺少列 jg"_s;
        QTest::newRow("malformed line")
            << args("files names --op 4") << grid + "2\t/nowhere/\tb.txt\n"
            << 2 << u"第 3 行：应有 7 列，实有 3 列"_s;
        QTest::newRow("xh not a number")
            << args("files target /tmp")
            << kHeader + row(1, u"/a/"_s, u"b"_s, {}, {}).replace("1\t", "one\t") << 2
            << u"第 2 行：序号 xh 不是数字"_s;
        // The window's own messages: the step stops, the grid still flows on.
        QTest::newRow("empty grid")
            << args("files names --op 4") << kHeader << 1 << u"提示: 还没有源文件"_s;
        QTest::newRow("no operation")
            << args("files names") << grid << 1 << u"提示: 请在1至9中选择字符串操作方式"_s;
        QTest::newRow("run on empty grid")
            << args("files run") << kHeader << 1 << u"提示: 还没有源文件"_s;
        QTest::newRow("run without new name")
            << args("files run") << grid << 1 << u"提示: 文件名不能为空"_s;
    }
    void usageAndBadInput() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        if (args.size() == 1 && args[0].isEmpty())
            args.clear();
        QTemporaryDir dir;
        const CliResult r = runZorv(args, input, dir.path());
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        if (exitCode == 2) {
            QVERIFY(r.out.isEmpty()); // bad usage: nothing flows on
            QVERIFY(!r.err.trimmed().contains(u'\n') || r.err.contains(u"用法"));
        } else {
            QVERIFY(r.out.startsWith(kHeader)); // the window's state flows on
        }
    }

    void helpOfEverySubCommand_data() {
        QTest::addColumn<QString>("sub");
        for (const char *s : {"list", "names", "import-names", "filter", "target", "run"})
            QTest::newRow(s) << QString::fromUtf8(s);
    }
    void helpOfEverySubCommand() {
        QFETCH(QString, sub);
        QTemporaryDir dir;
        for (const QString &flag : {u"--help"_s, u"-h"_s}) {
            const CliResult r = runZorv({u"files"_s, sub, flag}, {}, dir.path());
            QCOMPARE(r.exitCode, 0);
            QVERIFY(QString::fromUtf8(r.out).startsWith(u"用法: zorv files "_s + sub));
            QVERIFY(r.err.isEmpty());
        }
        const CliResult top = runZorv({u"files"_s, u"--help"_s}, {}, dir.path());
        QCOMPARE(top.exitCode, 0);
        QVERIFY(QString::fromUtf8(top.out).contains(u"  "_s + sub + u' '));
    }

    // A malformed line anywhere refuses the whole input before any file is touched.
    void badInputTouchesNothing() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s, u"src/b.txt"_s, u"out/"_s});
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        const QByteArray good = kHeader + row(1, src, u"a.txt"_s, u"x.txt"_s, out) +
                                row(2, src, u"b.txt"_s, u"y.txt"_s, out);
        const QStringList before = treeOf(dir.path());
        for (const QByteArray &tail : {QByteArray("3\tc\n"), QByteArray("3\t/a/\tc:\\d\t\t\t\t\n"),
                                       QByteArray("#sort\txh\n")}) {
            for (const char *mode : {"copy", "move"}) {
                const CliResult r =
                    runZorv({u"files"_s, u"run"_s, u"--mode"_s, QString::fromUtf8(mode)},
                            good + tail, dir.path());
                QCOMPARE(r.exitCode, 2);
                QVERIFY(r.err.contains(u"第 4 行"_s));
                QVERIFY(r.out.isEmpty());
                QCOMPARE(treeOf(dir.path()), before);
            }
        }
        const CliResult ok =
            runZorv({u"files"_s, u"run"_s, u"--mode"_s, u"move"_s}, good, dir.path());
        QCOMPARE(ok.exitCode, 0);
        QCOMPARE(column(ok.out, 5), (QStringList{u"成功"_s, u"成功"_s}));
        QCOMPARE(treeOf(dir.path()), (QStringList{u"out/"_s, u"out/x.txt=src/a.txt"_s,
                                                  u"out/y.txt=src/b.txt"_s, u"src/"_s}));
    }

    // The pipeline of the README, over nested folders, hidden files and Chinese names.
    void readmePipeline() {
        QTemporaryDir dir;
        makeTree(dir.path(),
                 {u"photos/123abc.jpg"_s, u"photos/.hidden.jpg"_s, u"photos/旅行/照片0007.jpg"_s,
                  u"photos/旅行/夏/海.jpg"_s, u"photos/empty/"_s});
        const CliResult r = runShell(
            u"\"$ZORV\" files list --recursive photos | \"$ZORV\" files names --op 9 --step 1"
            " | \"$ZORV\" files target out --keep-tree | \"$ZORV\" files run --mode copy"_s,
            dir.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.messages(),
                 (QStringList{u"提示: 源文件夹的相关信息已导入"_s,
                              u"另有1个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s,
                              u"提示: 操作完成"_s, u"成功 3"_s}));
        // Depth-first in listing order: "[旅行]" after "123abc.jpg", "[夏]" before "照片".
        QCOMPARE(column(r.out, 2), (QStringList{u"123abc.jpg"_s, u"海.jpg"_s, u"照片0007.jpg"_s}));
        QCOMPARE(column(r.out, 3), (QStringList{u"1abc.jpg"_s, u"2海.jpg"_s, u"3照片0007.jpg"_s}));
        QCOMPARE(column(r.out, 6), (QStringList{u""_s, u"旅行/夏/"_s, u"旅行/"_s}));
        QCOMPARE(column(r.out, 5), QStringList(3, u"成功"_s));
        const QStringList out = treeOf(dir.path() + u"/out"_s);
        QCOMPARE(out, (QStringList{u"1abc.jpg=photos/123abc.jpg"_s, u"旅行/"_s,
                                   u"旅行/3照片0007.jpg=photos/旅行/照片0007.jpg"_s, u"旅行/夏/"_s,
                                   u"旅行/夏/2海.jpg=photos/旅行/夏/海.jpg"_s}));
        // Copies leave the sources alone; a second run finds every target there.
        QCOMPARE(treeOf(dir.path() + u"/photos"_s).size(), 7);
        const CliResult again = runShell(
            u"\"$ZORV\" files list --recursive photos | \"$ZORV\" files names --op 9 --step 1"
            " | \"$ZORV\" files target out --keep-tree | \"$ZORV\" files run --overwrite no"_s,
            dir.path());
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(column(again.out, 5), QStringList(3, u"取消"_s));
    }

    void foldersAsArguments() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s});
        const CliResult slash = runZorv({u"files"_s, u"list"_s, u"src//"_s}, {}, dir.path());
        QCOMPARE(column(slash.out, 1), QStringList{dir.path() + u"/src/"_s});
        const QByteArray grid = kHeader + row(1, u"/a/"_s, u"b"_s, u"c"_s, {});
        const CliResult root = runZorv({u"files"_s, u"target"_s, u"/"_s}, grid, dir.path());
        QCOMPARE(column(root.out, 4), QStringList{u"/"_s}); // the root is never doubled
        const CliResult rel = runZorv({u"files"_s, u"target"_s, u"out/../x"_s}, grid, dir.path());
        QCOMPARE(column(rel.out, 4), QStringList{dir.path() + u"/x/"_s});
    }

    // A name on disk that is not UTF-8 is listed with U+FFFD and never renamed to it.
    void undecodableNameFailsWithoutDamage() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/good.txt"_s});
        const QByteArray bad = QFile::encodeName(dir.path()) + "/src/bad\xff.txt";
        QFile f(QString::fromUtf8(bad)); // not used: create through the raw bytes below
        FILE *raw = fopen(bad.constData(), "w");
        QVERIFY(raw);
        fclose(raw);
        const CliResult r =
            runShell(u"\"$ZORV\" files list src | \"$ZORV\" files names --op 5"
                     " | \"$ZORV\" files target src | \"$ZORV\" files run --mode move"_s,
                     dir.path());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(column(r.out, 5), (QStringList{u"失败"_s, u"成功"_s}));
        struct stat st;
        QCOMPARE(::stat(bad.constData(), &st), 0); // still there under its own bytes
        QVERIFY(QFile::exists(dir.path() + u"/src/GOOD.TXT"_s));
    }

    // Ctrl-C stops between rows: the row under way (here a large copy)
    // finishes, rows done keep "成功", later rows stay untouched.
    void interruptStopsBetweenRows() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s, u"src/c.txt"_s, u"out/"_s});
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        const qint64 size = qint64(200) << 20;
        QVERIFY(makeLargeFile(src + u"b.bin"_s, size, "HEAD", "TAIL"));
        const QByteArray grid = kHeader + row(1, src, u"a.txt"_s, u"a.txt"_s, out) +
                                row(2, src, u"b.bin"_s, u"b.bin"_s, out) +
                                row(3, src, u"c.txt"_s, u"c.txt"_s, out);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(zorvPath(), {u"files"_s, u"run"_s});
        QVERIFY(p.waitForStarted());
        p.write(grid);
        p.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out + u"a.txt"_s), 10000);
        const bool caught = waitForOpenFileBelow(p.processId(), out, 60000);
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(60000));
        if (!caught)
            QSKIP("the large copy ended before it could be interrupted");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QByteArray result = p.readAllStandardOutput();
        QCOMPARE(column(result, 5), (QStringList{u"成功"_s, u"成功"_s, QString()}));
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(u"已中止：第 3 行起未执行"_s));
        QCOMPARE(QFileInfo(out + u"b.bin"_s).size(), size);
        QVERIFY(!QFile::exists(out + u"c.txt"_s));
    }

    // A FIFO among the sources fails at once: the run never waits for a writer.
    void fifoSourceDoesNotBlock() {
        QTemporaryDir dir;
        makeTree(dir.path(), {u"src/a.txt"_s, u"out/"_s});
        const QString src = dir.path() + u"/src/"_s, out = dir.path() + u"/out/"_s;
        QCOMPARE(mkfifo(QFile::encodeName(src + u"b.pipe"_s).constData(), 0600), 0);
        QProcess p;
        p.start(zorvPath(), {u"files"_s, u"run"_s});
        QVERIFY(p.waitForStarted());
        p.write(kHeader + row(1, src, u"b.pipe"_s, u"b.txt"_s, out) +
                row(2, src, u"a.txt"_s, u"a.txt"_s, out));
        p.closeWriteChannel();
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            QFAIL("the run blocked on the FIFO");
        }
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(column(p.readAllStandardOutput(), 5), (QStringList{u"失败"_s, u"成功"_s}));
        QVERIFY(!QFile::exists(out + u"b.txt"_s));
    }

    // On a terminal a long step shows its progress on standard error, in place;
    // a terminal is never taken for the input grid. (Elsewhere standard error
    // holds the messages only: the other tests compare them line by line.)
    void terminalOnlyBehaviour() {
        QTemporaryDir dir;
        QByteArray grid = kHeader;
        for (int i = 1; i <= 300; ++i) {
            const QString name = u"f"_s + QString::number(i) + u".txt"_s;
            makeTree(dir.path(), {u"src/"_s + name});
            grid += row(i, dir.path() + u"/src/"_s, name, name.toUpper(), dir.path() + u"/src/"_s);
        }
        zorv::test::writeFile(dir.filePath(u"plan.tsv"_s), grid);
        const CliResult progress = runShell(
            u"script -qec '\"$ZORV\" files run --mode move --in plan.tsv >out.tsv' /dev/null"_s,
            dir.path());
        QCOMPARE(progress.exitCode, 0);
        const QByteArray inPlace = QByteArray("\r\x1b[K") + u"正在执行："_s.toUtf8();
        QVERIFY2(progress.out.contains(inPlace), progress.out.left(200).constData());
        QVERIFY(progress.out.contains(u"提示: 操作完成"_s.toUtf8()));
        QVERIFY(QFile::exists(dir.filePath(u"src/F300.TXT"_s)));

        const CliResult tty =
            runShell(u"script -qec '\"$ZORV\" files names --op 4' /dev/null"_s, dir.path());
        QCOMPARE(tty.exitCode, 2);
        QVERIFY(QString::fromUtf8(tty.out).contains(u"标准输入是终端"_s));
    }

    // Installed beside zorvane, the tool runs without a display and without widgets.
    void installedToolRunsWithoutDisplay() {
        QTemporaryDir prefix;
        QProcess install;
        install.start(u"cmake"_s, {u"-DCMAKE_INSTALL_PREFIX="_s + prefix.path(), u"-P"_s,
                                   QStringLiteral(ZORV_CLI_INSTALL_SCRIPT)});
        QVERIFY(install.waitForFinished(60000));
        QCOMPARE(install.exitCode(), 0);
        const QString exe = prefix.path() + u"/bin/zorv"_s;
        QVERIFY(QFile::exists(exe));

        QProcess deps;
        deps.start(u"readelf"_s, {u"-d"_s, exe});
        QVERIFY(deps.waitForFinished());
        const QString needed = QString::fromUtf8(deps.readAllStandardOutput());
        QVERIFY(needed.contains(u"libQt6Core"_s));
        QVERIFY(!needed.contains(u"libQt6Widgets"_s));
        QVERIFY(!needed.contains(u"libQt6Gui"_s));

        QTemporaryDir work;
        makeTree(work.path(), {u"photos/1.jpg"_s, u"photos/sub/2.jpg"_s});
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.insert(u"ZORV"_s, exe);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
        p.start(u"/bin/bash"_s,
                {u"-o"_s, u"pipefail"_s, u"-c"_s,
                 u"\"$ZORV\" files list --recursive photos | \"$ZORV\" files names --op 9 --step 1"
                 " | \"$ZORV\" files target out --keep-tree | \"$ZORV\" files run --mode copy"_s});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(treeOf(work.path() + u"/out"_s), (QStringList{u"1.jpg=photos/1.jpg"_s, u"sub/"_s,
                                                               u"sub/2.jpg=photos/sub/2.jpg"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCliProcess)
#include "test_cli_process.moc"
