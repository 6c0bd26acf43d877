#include "core/files/batch_run.h"
#include "core/files/file_ops.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
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

bool exists(const QString &path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// A path built from bytes, handed to the C calls.
struct P {
    P(const QByteArray &dir, const char *rel) : bytes(dir + rel) {}
    operator const char *() const { return bytes.constData(); }
    QByteArray bytes;
};

QStringList entries(const QString &dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Files "1".."count" of one byte in src, each a row renamed in place to
// "n1".."n<count>". False when a file could not be written.
bool addRenameRows(Grid &g, const QString &src, int count) {
    for (int i = 1; i <= count; ++i) {
        if (!writeFile(src + QString::number(i), "x"))
            return false;
        addRow(g, {src, QString::number(i), u"n"_s + QString::number(i), src});
    }
    return true;
}

} // namespace

class TestBatchRun : public QObject {
    Q_OBJECT
private slots:
    void matrix_data() {
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("sameFolder");
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("outcome");
        for (bool move : {false, true})
            for (bool same : {true, false})
                for (bool exists : {false, true})
                    for (bool overwrite : {true, false}) {
                        QString outcome = u"成功"_s;
                        if (exists && same)
                            outcome = move ? u"无效"_s : u"同名"_s;
                        else if (exists && !overwrite)
                            outcome = u"取消"_s;
                        else if (exists && move)
                            outcome = u"无效"_s;
                        const QString name =
                            QStringLiteral("%1 %2 %3 overwrite %4")
                                .arg(move ? u"move"_s : u"copy"_s, same ? u"same"_s : u"other"_s,
                                     exists ? u"exists"_s : u"free"_s,
                                     overwrite ? u"yes"_s : u"no"_s);
                        QTest::newRow(name.toUtf8().constData())
                            << move << same << exists << overwrite << outcome;
                    }
    }
    // Copy or move, same or other folder, target there or not, overwrite or
    // not: the outcome text and what is on disk afterwards.
    void matrix() {
        QFETCH(bool, move);
        QFETCH(bool, sameFolder);
        QFETCH(bool, targetExists);
        QFETCH(bool, overwrite);
        QFETCH(QString, outcome);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src/"_s;
        const QString out = sameFolder ? src : dir.path() + u"/out/"_s;
        QVERIFY(writeFile(src + u"旧.txt"_s, "new data"));
        QVERIFY(QDir().mkpath(out)); // the chosen target root exists
        if (targetExists)
            QVERIFY(writeFile(out + u"新.txt"_s, "old"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"旧.txt"_s, u"新.txt"_s, out});
        FrnState state;
        state.ls_path2 = dir.path() + (sameFolder ? u"/src"_s : u"/out"_s);
        RunOptions o;
        o.move = move;
        o.overwrite = overwrite;
        EscSink sink;
        const RunSummary s = executeRun(*g, state, o, sink);
        QCOMPARE(s.end, RunEnd::Completed);
        QCOMPARE(g->getItemString(1, u"jg"_s), outcome);
        const QString counts =
            outcome == u"成功"_s ? u"成功 1"_s : u"成功 0，"_s + outcome + u" 1"_s;
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 操作完成\n"_s + counts});
        QCOMPARE(sink.statuses.first(), u"正在执行：1"_s);
        QCOMPARE(platform.statusText(), QString());

        const bool done = outcome == u"成功"_s;
        QCOMPARE(exists(src + u"旧.txt"_s), !(done && move));
        QCOMPARE(readFile(out + u"新.txt"_s), done ? QByteArray("new data") : QByteArray("old"));
        // No temporary or partial file is left anywhere.
        QCOMPARE(entries(out).size(), sameFolder ? 1 + int(!(done && move)) : 1);
    }

    // A new name equal to the old one in the same folder.
    void sameName() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/"_s;
        QVERIFY(writeFile(src + u"a.txt"_s, "a"));
        auto g = makeFrn1Grid();
        addRow(*g, {src, u"a.txt"_s, u"a.txt"_s, src});
        FrnState state;
        EscSink sink;
        RunOptions o;
        executeRun(*g, state, o, sink);
        QCOMPARE(g->getItemString(1, u"jg"_s), u"同名"_s);
        o.move = true;
        executeRun(*g, state, o, sink);
        QCOMPARE(g->getItemString(1, u"jg"_s), u"无效"_s);
        QCOMPARE(readFile(src + u"a.txt"_s), QByteArray("a"));
    }

    // With the sub-folder structure kept, missing folders are made level by
    // level below the target root.
    void keepTree() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/src"_s;
        QVERIFY(writeFile(src + u"/top.txt"_s, "1"));
        QVERIFY(writeFile(src + u"/b/c/x.txt"_s, "2"));
        auto g = makeFrn1Grid();
        addRow(*g, {src + u'/', u"top.txt"_s, u"t.txt"_s, QString(), QString()});
        addRow(*g, {src + u"/b/c/"_s, u"x.txt"_s, u"y.txt"_s, QString(), u"b/c/"_s});
        FrnState state;
        platform.nextFolder(dir.path() + u"/out/"_s);
        QVERIFY(QDir().mkpath(dir.path() + u"/out"_s));
        QVERIFY(chooseTarget(*g, state, true));
        QCOMPARE(state.ls_path2, dir.path() + u"/out"_s);
        QCOMPARE(column(*g, u"npath"_s),
                 (QStringList{dir.path() + u"/out/"_s, dir.path() + u"/out/b/c/"_s}));
        EscSink sink;
        RunOptions o;
        o.move = true;
        executeRun(*g, state, o, sink);
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, u"成功"_s}));
        QCOMPARE(readFile(dir.path() + u"/out/b/c/y.txt"_s), QByteArray("2"));
        QCOMPARE(readFile(dir.path() + u"/out/t.txt"_s), QByteArray("1"));
        QVERIFY(!exists(src + u"/b/c/x.txt"_s));

        // Without it every row goes to the root itself; the root folder "/"
        // is not doubled.
        fillTargetPaths(*g, u"/"_s, false);
        QCOMPARE(column(*g, u"npath"_s), (QStringList{u"/"_s, u"/"_s}));
        fillTargetPaths(*g, u"/"_s, true);
        QCOMPARE(column(*g, u"npath"_s), (QStringList{u"/"_s, u"/b/c/"_s}));
        QCOMPARE(platform.dialogTitles.first(), targetDialogTitle());
    }

    void folderCreation() {
        QTemporaryDir dir;
        const QByteArray root = QFile::encodeName(dir.path()).append("/t");
        QVERIFY(QDir().mkpath(dir.path() + u"/t"_s));
        createMissingFolders(QByteArray(root).append("/a/b/"), root);
        QVERIFY(QFileInfo(dir.path() + u"/t/a/b"_s).isDir());
        // Without a final "/" the last level is left to the copy, which fails.
        createMissingFolders(QByteArray(root).append("/x/y"), root);
        QVERIFY(QFileInfo(dir.path() + u"/t/x"_s).isDir());
        QVERIFY(!exists(dir.path() + u"/t/x/y"_s));
    }

    void targetChoice() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        FrnState state;
        QVERIFY(!chooseTarget(*g, state, false));
        addRow(*g, {u"/a/"_s, u"x"_s, u"y"_s});
        platform.nextFolderCancel();
        QVERIFY(!chooseTarget(*g, state, false));
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 还没有源文件"_s, u"提示 / 目标文件夹选择被取消"_s}));
        QCOMPARE(g->getItemString(1, u"npath"_s), QString());
    }

    // Esc before the third row: two rows done, the rest untouched and
    // without the outcome an earlier run left; the message says how far it got.
    void stopMidRun() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/"_s;
        auto g = makeFrn1Grid();
        QVERIFY(addRenameRows(*g, src, 5));
        for (qint64 r = 1; r <= 5; ++r)
            g->setItem(r, u"jg"_s, u"失败"_s);
        platform.escAfterPolls = 2;
        FrnState state;
        RunOptions o;
        o.move = true;
        EscSink sink;
        const RunSummary s = executeRun(*g, state, o, sink);
        QCOMPARE(s.end, RunEnd::Stopped);
        QCOMPARE(s.endRow, 3);
        QCOMPARE(column(*g, u"jg"_s),
                 (QStringList{u"成功"_s, u"成功"_s, QString(), QString(), QString()}));
        QCOMPARE(entries(src), (QStringList{u"3"_s, u"4"_s, u"5"_s, u"n1"_s, u"n2"_s}));
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 执行已停止\n已执行 2 行：成功 2"_s});
        QCOMPARE(platform.statusText(), QString());
    }

    void runEndsAtEmptyCell_data() {
        QTest::addColumn<bool>("emptyName");
        QTest::addColumn<QString>("message");
        QTest::newRow("name") << true << u"提示 / 文件名不能为空"_s;
        QTest::newRow("path") << false << u"提示 / 目标文件路径不能为空"_s;
    }
    void runEndsAtEmptyCell() {
        QFETCH(bool, emptyName);
        QFETCH(QString, message);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/"_s;
        auto g = makeFrn1Grid();
        QVERIFY(addRenameRows(*g, src, 3));
        g->setItem(2, emptyName ? u"filen"_s : u"npath"_s, QString());
        FrnState state;
        EscSink sink;
        const RunSummary s = executeRun(*g, state, RunOptions{}, sink);
        QCOMPARE(s.end, emptyName ? RunEnd::NoName : RunEnd::NoPath);
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, QString(), QString()}));
        QCOMPARE(platform.messageLines(), QStringList{message});
    }

    void emptyGrid() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        QCOMPARE(executeRun(*g, FrnState{}, RunOptions{}, sink).end, RunEnd::EmptyGrid);
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 还没有源文件"_s});
    }

    // Only the shown rows are run; all rows are shown again at the end.
    void filteredRun() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString src = dir.path() + u"/"_s;
        auto g = makeFrn1Grid();
        QVERIFY(addRenameRows(*g, src, 4));
        g->setItem(2, u"jg"_s, u"找到"_s);
        g->setItem(4, u"jg"_s, u"找到"_s);
        QCOMPARE(g->setFilter(u"jg = '找到'"_s), 1);
        g->filter();
        QCOMPARE(g->rowCount(), 2);
        RunOptions o;
        o.move = true;
        EscSink sink;
        QCOMPARE(executeRun(*g, FrnState{}, o, sink).end, RunEnd::Completed);
        QCOMPARE(g->rowCount(), 4);
        QCOMPARE(g->filterExpression(), QString());
        QCOMPARE(entries(src), (QStringList{u"1"_s, u"3"_s, u"n2"_s, u"n4"_s}));
    }

    // A new name that would leave the target folder or name nothing: "失败"
    // and nothing done anywhere.
    // Source names are addressed as listed: a blank or U+FEFF at either end
    // is part of the name, and the neighbour without it is never touched.
    // The new name keeps its trimming.
    void sourceNamesExact_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("leading blank") << u" lead.txt"_s;
        QTest::newRow("trailing blank") << u"lead.txt "_s;
        QTest::newRow("blanks both ends") << u"  lead.txt\t"_s;
        QTest::newRow("leading U+FEFF") << QChar(0xFEFF) + u"lead.txt"_s;
    }
    void sourceNamesExact() {
        QFETCH(QString, name);
        for (bool move : {false, true}) {
            zorv::test::ScriptedPlatform platform;
            QTemporaryDir dir;
            const QString src = dir.path() + u"/"_s;
            const QString out = dir.path() + u"/out/"_s;
            QVERIFY(writeFile(src + u"lead.txt"_s, "plain"));
            QVERIFY(writeFile(src + name, "odd"));
            QVERIFY(QDir().mkpath(out));
            auto g = makeFrn1Grid();
            addRow(*g, {src, name, u" new.txt  "_s, src});
            addRow(*g, {src, name, u"copy.txt"_s, u" "_s + out});
            RunOptions o;
            o.move = move;
            EscSink sink;
            executeRun(*g, FrnState{dir.path(), dir.path()}, o, sink);
            // A move renames the odd file, so the second row finds no source.
            QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, move ? u"失败"_s : u"成功"_s}));
            QCOMPARE(readFile(src + u"lead.txt"_s), QByteArray("plain"));
            QCOMPARE(readFile(src + u"new.txt"_s), QByteArray("odd"));
            QCOMPARE(exists(src + name), !move);
            QCOMPARE(entries(out), move ? QStringList() : QStringList{u"copy.txt"_s});
        }
    }

    void refusedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << u"../escaped.txt"_s;
        QTest::newRow("sub-path") << u"sub/x.txt"_s;
        QTest::newRow("dot") << u"."_s;
        QTest::newRow("dot dot") << u".."_s;
        QTest::newRow("blank") << u"   "_s;
        QTest::newRow("nul") << u"a"_s + QChar(0) + u"b"_s;
        QTest::newRow("replacement char") << u"a\uFFFDb"_s;
    }
    void refusedNames() {
        QFETCH(QString, name);
        for (bool move : {false, true}) {
            zorv::test::ScriptedPlatform platform;
            QTemporaryDir dir;
            const QString src = dir.path() + u"/src/"_s;
            const QString out = dir.path() + u"/out/"_s;
            QVERIFY(writeFile(src + u"f.txt"_s, "x"));
            QVERIFY(QDir().mkpath(out + u"sub"_s));
            auto g = makeFrn1Grid();
            addRow(*g, {src, u"f.txt"_s, name, out});
            addRow(*g, {src, u"f.txt"_s, name, src});
            RunOptions o;
            o.move = move;
            EscSink sink;
            executeRun(*g, FrnState{dir.path(), out}, o, sink);
            QCOMPARE(column(*g, u"jg"_s), (QStringList{u"失败"_s, u"失败"_s}));
            QCOMPARE(entries(dir.path()), (QStringList{u"out"_s, u"src"_s}));
            QCOMPARE(entries(src), QStringList{u"f.txt"_s});
            QCOMPARE(entries(out), QStringList{u"sub"_s});
            QVERIFY(entries(out + u"sub"_s).isEmpty());
        }
    }

    // A source whose name on disk is not UTF-8 is never touched through its
    // garbled text, even when a file with that text exists.
    void undecodableSource() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QByteArray bad = QFile::encodeName(dir.path()).append("/a\xff.txt");
        const auto cleanup = qScopeGuard([&] { unlink(bad.constData()); });
        const int fd = open(bad.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        close(fd);
        QVERIFY(writeFile(dir.path() + u"/a\uFFFD.txt"_s, "other"));
        auto g = makeFrn1Grid();
        addRow(*g, {dir.path() + u'/', u"a\uFFFD.txt"_s, u"b.txt"_s, dir.path() + u'/'});
        RunOptions o;
        o.move = true;
        EscSink sink;
        executeRun(*g, FrnState{}, o, sink);
        QCOMPARE(g->getItemString(1, u"jg"_s), u"失败"_s);
        QVERIFY(access(bad.constData(), F_OK) == 0);
        QCOMPARE(readFile(dir.path() + u"/a\uFFFD.txt"_s), QByteArray("other"));
        QVERIFY(!exists(dir.path() + u"/b.txt"_s));
    }

    // Exclusive creation: an existing target is never replaced by the
    // no-overwrite operations, and a failed copy leaves nothing behind.
    void exclusiveOperations() {
        QTemporaryDir dir;
        const QByteArray d = QFile::encodeName(dir.path());
        QVERIFY(writeFile(dir.path() + u"/s"_s, "source"));
        QVERIFY(writeFile(dir.path() + u"/t"_s, "target"));
        QCOMPARE(copyNew(P(d, "/s"), P(d, "/t")), EEXIST);
        QCOMPARE(moveNew(P(d, "/s"), P(d, "/t")), EEXIST);
        QCOMPARE(readFile(dir.path() + u"/t"_s), QByteArray("target"));
        QCOMPARE(readFile(dir.path() + u"/s"_s), QByteArray("source"));
        // A source that yields other data than its size promised (a /proc
        // file reports size 0) fails its check and leaves no target.
        QVERIFY(copyNew("/proc/self/status", P(d, "/p")) != 0);
        QVERIFY(!exists(dir.path() + u"/p"_s));
        QCOMPARE(copyNew(P(d, "/missing"), P(d, "/m")), ENOENT);
        QVERIFY(!exists(dir.path() + u"/m"_s));
        // A folder is not copied as a file.
        QVERIFY(QDir().mkdir(dir.path() + u"/folder"_s));
        QVERIFY(copyNew(P(d, "/folder"), P(d, "/f2")) != 0);
        QVERIFY(!exists(dir.path() + u"/f2"_s));
        // Replacing goes through a temporary file: nothing else remains.
        QCOMPARE(copyReplacing(P(d, "/s"), P(d, "/t")), 0);
        QCOMPARE(readFile(dir.path() + u"/t"_s), QByteArray("source"));
        QVERIFY(copyReplacing(P(d, "/s"), P(d, "/folder")) != 0);
        QCOMPARE(entries(dir.path()), (QStringList{u"folder"_s, u"s"_s, u"t"_s}));
    }

    // Copies keep the modification time and the permission bits.
    void copyKeepsAttributes() {
        QTemporaryDir dir;
        const QByteArray d = QFile::encodeName(dir.path());
        QVERIFY(writeFile(dir.path() + u"/s"_s, "data"));
        QVERIFY(chmod(P(d, "/s"), 0750) == 0);
        const struct timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
        QVERIFY(utimensat(AT_FDCWD, P(d, "/s"), times, 0) == 0);
        QCOMPARE(copyNew(P(d, "/s"), P(d, "/c")), 0);
        struct stat st;
        QVERIFY(stat(P(d, "/c"), &st) == 0);
        QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1200000000));
        QCOMPARE(int(st.st_mode & 0777), int(0750 & ~umask(umask(0))));
    }

    // A move to another file system: copy, check, remove the source; the
    // copy keeps mode and time. Onto an existing file: nothing happens.
    void moveAcrossFileSystems() {
        QTemporaryDir shm(u"/dev/shm/zorv-test-XXXXXX"_s);
        QTemporaryDir dir;
        if (!shm.isValid())
            QSKIP("no /dev/shm");
        struct stat a, b;
        stat(P(QFile::encodeName(shm.path()), ""), &a);
        stat(P(QFile::encodeName(dir.path()), ""), &b);
        if (a.st_dev == b.st_dev)
            QSKIP("/dev/shm is on the same file system");
        QByteArray big(3 << 20, 'z');
        QVERIFY(writeFile(shm.path() + u"/s.bin"_s, big));
        const P s(QFile::encodeName(shm.path()), "/s.bin");
        QVERIFY(chmod(s, 0640) == 0);
        const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
        QVERIFY(utimensat(AT_FDCWD, s, times, 0) == 0);
        QVERIFY(QFile::link(u"s.bin"_s, shm.path() + u"/link"_s));

        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {shm.path() + u'/', u"s.bin"_s, u"t.bin"_s, dir.path() + u'/'});
        addRow(*g, {shm.path() + u'/', u"link"_s, u"l"_s, dir.path() + u'/'});
        RunOptions o;
        o.move = true;
        EscSink sink;
        executeRun(*g, FrnState{}, o, sink);
        QCOMPARE(column(*g, u"jg"_s), (QStringList{u"成功"_s, u"成功"_s}));
        QVERIFY(!exists(shm.path() + u"/s.bin"_s));
        QCOMPARE(readFile(dir.path() + u"/t.bin"_s), big);
        struct stat st;
        QVERIFY(stat(P(QFile::encodeName(dir.path()), "/t.bin"), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
        QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1100000000));
        QCOMPARE(QFileInfo(dir.path() + u"/l"_s).symLinkTarget().section(u'/', -1), u"s.bin"_s);

        QVERIFY(writeFile(shm.path() + u"/s2"_s, "keep"));
        QVERIFY(writeFile(dir.path() + u"/t2"_s, "there"));
        QCOMPARE(moveNew(P(QFile::encodeName(shm.path()), "/s2"),
                         P(QFile::encodeName(dir.path()), "/t2")),
                 EEXIST);
        QCOMPARE(readFile(shm.path() + u"/s2"_s), QByteArray("keep"));
        QCOMPARE(readFile(dir.path() + u"/t2"_s), QByteArray("there"));
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "test_batch_run.moc"
