#include "core/files/folder_list.h"
#include "core/files/native_path.h"
#include "core/files/source_scan.h"
#include "core/files/text_walk.h"
#include "frn_test_util.h"
#include "support/deep_tree.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::column;
using zorv::files::test::EscSink;

class TestScan : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;

    void file(const QString &rel) { QVERIFY(zorv::test::writeFile(m_root + u'/' + rel, "x")); }

private slots:
    // A tree with every kind of entry the listing has to judge.
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.path() + u"/src"_s;
        file(u"a.txt"_s);
        file(u"B.txt"_s);
        file(u".hidden"_s);
        file(u"ro.txt"_s);
        file(u"[x].txt"_s); // a file whose name looks like a folder entry
        file(u"sub/c.txt"_s);
        file(u"sub/deep/d.txt"_s);
        file(u".hdir/e.txt"_s);
        QVERIFY(QFile::setPermissions(m_root + u"/ro.txt"_s, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(m_root + u"/sub"_s, m_root + u"/link"_s));
        QVERIFY(QFile::link(u"a.txt"_s, m_root + u"/flink"_s));
        QVERIFY(QFile::link(u"."_s, m_root + u"/loop"_s));
        QVERIFY(QFile::link(u".."_s, m_root + u"/sub/up"_s));
        QVERIFY(QFile::link(u"missing"_s, m_root + u"/broken"_s));
        QVERIFY(mkfifo(QFile::encodeName(m_root + u"/fifo"_s).constData(), 0666) == 0);
    }

    void cleanupTestCase() {
        QFile::setPermissions(m_root + u"/ro.txt"_s, QFile::ReadOwner | QFile::WriteOwner);
    }

    void listing_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("0 ordinary files")
            << 0 << QStringList{u"B.txt"_s, u"[x].txt"_s, u"a.txt"_s, u"flink"_s};
        QTest::newRow("16 with folders") << 16 << QStringList{u"B.txt"_s,   u"[..]"_s,  u"[sub]"_s,
                                                              u"[x].txt"_s, u"a.txt"_s, u"flink"_s};
        QTest::newRow("39 hidden and read-only")
            << 39 << QStringList{u".hidden"_s, u"B.txt"_s, u"[x].txt"_s,
                                 u"a.txt"_s,   u"flink"_s, u"ro.txt"_s};
        QTest::newRow("55 everything")
            << 55 << QStringList{u".hidden"_s, u"B.txt"_s, u"[..]"_s,  u"[.hdir]"_s, u"[sub]"_s,
                                 u"[x].txt"_s, u"a.txt"_s, u"flink"_s, u"ro.txt"_s};
        QTest::newRow("1 read-only only")
            << 1 << QStringList{u"B.txt"_s, u"[x].txt"_s, u"a.txt"_s, u"flink"_s, u"ro.txt"_s};
    }
    void listing() {
        QFETCH(int, mask);
        QFETCH(QStringList, entries);
        std::vector<FolderEntry> out;
        QVERIFY(listFolder(m_root, mask, &out));
        QStringList texts;
        for (const auto &e : out)
            texts << e.text();
        QCOMPARE(texts, entries);
    }

    void unreadableFolder() {
        std::vector<FolderEntry> out{FolderEntry{}};
        QVERIFY(!listFolder(m_root + u"/nothing"_s, 0, &out));
        QVERIFY(out.empty());
    }

    void recursive_data() {
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QStringList>("rows"); // zml + filey, in row order
        QTest::newRow("visible") << false
                                 << QStringList{u"B.txt"_s,   u"sub/deep/d.txt"_s, u"sub/c.txt"_s,
                                                u"[x].txt"_s, u"a.txt"_s,          u"flink"_s};
        QTest::newRow("hidden") << true << QStringList{u".hidden"_s,     u"B.txt"_s,
                                                       u".hdir/e.txt"_s, u"sub/deep/d.txt"_s,
                                                       u"sub/c.txt"_s,   u"[x].txt"_s,
                                                       u"a.txt"_s,       u"flink"_s,
                                                       u"ro.txt"_s};
    }
    // Depth-first in listing order; links to folders (including the loops
    // "loop" -> "." and "sub/up" -> "..") are not followed.
    void recursive() {
        QFETCH(bool, hidden);
        QFETCH(QStringList, rows);
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        ScanOptions o;
        o.recursive = true;
        o.hidden = hidden;
        QCOMPARE(scanIntoGrid(*g, m_root, o, sink), qint64(rows.size()));
        QStringList got;
        for (qint64 r = 1; r <= g->rowCount(); ++r) {
            const QString zml = g->getItemString(r, u"zml"_s);
            got << zml + g->getItemString(r, u"filey"_s);
            QCOMPARE(g->getItemString(r, u"ypath"_s), m_root + u'/' + zml);
            QCOMPARE(g->getItemNumber(r, u"xh"_s), double(r));
        }
        QCOMPARE(got, rows);
        QCOMPARE(platform.statusText(), u"正在导入......"_s);
        QVERIFY(sink.statuses.contains(u"正在导入..."_s));
    }

    // Files left out for being read-only (ro.txt) or hidden (.hidden) are
    // counted, in both walks; folders (.hdir and what it holds), links to
    // folders, fifos and broken links are not files and not counted.
    void maskedOut_data() {
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<qint64>("masked");
        QTest::newRow("flat") << false << false << qint64(2);
        QTest::newRow("recursive") << true << false << qint64(2);
        QTest::newRow("flat, hidden listed") << false << true << qint64(0);
        QTest::newRow("recursive, hidden listed") << true << true << qint64(0);
    }
    void maskedOut() {
        QFETCH(bool, recursive);
        QFETCH(bool, hidden);
        QFETCH(qint64, masked);
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        FrnState state;
        ScanOptions o;
        o.recursive = recursive;
        o.hidden = hidden;
        qint64 skipped = -1;
        qint64 got = -1;
        QVERIFY(scanChosenSource(*g, state, m_root, o, sink, &skipped, &got));
        QCOMPARE(got, masked);
        QCOMPARE(skipped, 0);
        QString text = u"提示 / 源文件夹的相关信息已导入"_s;
        if (masked > 0)
            text += u"\n另有2个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s;
        QCOMPARE(platform.messageLines(), QStringList{text});

        qint64 textMasked = -1;
        QVERIFY(walkSourceText(
            m_root, recursive, hidden, [](const TextFileRun &) {}, nullptr, &textMasked));
        QCOMPARE(textMasked, masked);
    }

    void scanDoneTexts() {
        QCOMPARE(scanDoneText(0, 0), u"源文件夹的相关信息已导入"_s);
        QCOMPARE(scanDoneText(3, 12), u"源文件夹的相关信息已导入，跳过3个无法读取的文件夹或路径\n"
                                      u"另有12个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s);
    }

    void flatAccumulates() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        FrnState state;
        ScanOptions o;
        platform.nextFolder(m_root + u"/sub/"_s);
        QVERIFY(chooseAndScanSource(*g, state, o, sink));
        QCOMPARE(state.ls_path1, m_root + u"/sub"_s);
        QCOMPARE(column(*g, u"filey"_s), QStringList{u"c.txt"_s});
        QCOMPARE(column(*g, u"ypath"_s), QStringList{m_root + u"/sub/"_s});
        QCOMPARE(column(*g, u"zml"_s), QStringList{QString()});

        o.accumulate = true;
        platform.nextFolder(m_root);
        QVERIFY(chooseAndScanSource(*g, state, o, sink));
        QCOMPARE(column(*g, u"xh"_s), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
        QCOMPARE(column(*g, u"filey"_s),
                 (QStringList{u"c.txt"_s, u"B.txt"_s, u"[x].txt"_s, u"a.txt"_s, u"flink"_s}));
        QCOMPARE(sink.statuses.last(), u"正在导入...4"_s);
        QCOMPARE(platform.statusText(), QString());

        o.accumulate = false;
        o.hidden = true;
        platform.nextFolder(m_root);
        QVERIFY(chooseAndScanSource(*g, state, o, sink));
        QCOMPARE(column(*g, u"filey"_s), (QStringList{u".hidden"_s, u"B.txt"_s, u"[x].txt"_s,
                                                      u"a.txt"_s, u"flink"_s, u"ro.txt"_s}));

        platform.nextFolderCancel();
        QVERIFY(!chooseAndScanSource(*g, state, o, sink));
        QCOMPARE(g->rowCount(), 6);
        QCOMPARE(platform.dialogTitles.last(), u"选择欲批量更名的源文件所在文件夹"_s);
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 源文件夹的相关信息已导入"_s,
                              u"提示 / 源文件夹的相关信息已导入\n"
                              u"另有2个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s,
                              u"提示 / 源文件夹的相关信息已导入"_s, u"提示 / 文件夹选择被取消"_s}));
    }

    // Names are listed as they are on disk: blanks at either end and a
    // leading U+FEFF are part of them.
    void namesAsOnDisk() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QStringList names{QChar(0xFEFF) + u"lead.txt"_s, u" lead.txt"_s, u"lead.txt"_s,
                                u"lead.txt "_s};
        for (const QString &n : names)
            QVERIFY(zorv::test::writeFile(dir.path() + u"/sub/"_s + n, "x"));
        auto g = makeFrn1Grid();
        EscSink sink;
        ScanOptions o;
        o.recursive = true;
        QCOMPARE(scanIntoGrid(*g, dir.path(), o, sink), qint64(4));
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return a.toUtf8() < b.toUtf8(); });
        QCOMPARE(column(*g, u"filey"_s), sorted);
        QCOMPARE(column(*g, u"ypath"_s), QStringList(4, dir.path() + u"/sub/"_s));
    }

    // Folders that cannot be read and paths too long to reach are left out,
    // counted, and the closing message says how many.
    void pathsTooLong() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        QVERIFY(zorv::test::writeFile(dir.path() + u"/a.txt"_s, "x"));
        zorv::test::DeepTree deep(dir.path(), u"deep"_s, 4000);
        QVERIFY(deep.isValid());
        QVERIFY(deep.addFile("f.txt"));                // reachable: 4005 bytes
        QVERIFY(deep.addFile(QByteArray(200, 'n')));   // 4200 bytes: left out
        QVERIFY(deep.addFolder(QByteArray(200, 's'))); // cannot be opened
        QVERIFY(deep.addFile("g.txt", QByteArray(200, 's')));

        QStringList skipped;
        QStringList files;
        WalkCallbacks cb;
        cb.onFile = [&](const ScannedFile &f) { files << f.ypath + f.filey; };
        cb.onSkipped = [&](const QString &path) { skipped << path; };
        QVERIFY(walkSource(dir.path(), true, false, cb));
        // "[name]" of a folder sorts before the letters.
        QCOMPARE(files, (QStringList{deep.innermost() + u"f.txt"_s, dir.path() + u"/a.txt"_s}));
        QCOMPARE(skipped, (QStringList{deep.innermost() + QString(200, u's') + u'/',
                                       deep.innermost() + QString(200, u'n')}));

        auto g = makeFrn1Grid();
        EscSink sink;
        FrnState state;
        ScanOptions o;
        o.recursive = true;
        qint64 left = -1;
        QVERIFY(scanChosenSource(*g, state, dir.path(), o, sink, &left));
        QCOMPARE(left, qint64(2));
        QCOMPARE(g->rowCount(), 2);
        // A flat listing of the top has nothing to leave out.
        o.recursive = false;
        QVERIFY(scanChosenSource(*g, state, dir.path(), o, sink, &left));
        QCOMPARE(left, qint64(0));
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 源文件夹的相关信息已导入，跳过2个无法读取的文件夹或路径"_s,
                              u"提示 / 源文件夹的相关信息已导入"_s}));
    }

    // A folder without read permission. The superuser reads it anyway, so
    // there the case cannot be made (pathsTooLong covers the count).
    void unreadableSubFolder() {
        if (geteuid() == 0)
            QSKIP("running as root: a folder without permissions is still readable");
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        QVERIFY(zorv::test::writeFile(dir.path() + u"/a.txt"_s, "x"));
        QVERIFY(zorv::test::writeFile(dir.path() + u"/shut/b.txt"_s, "x"));
        QVERIFY(zorv::test::writeFile(dir.path() + u"/shut2/c.txt"_s, "x"));
        const QByteArray shut = QFile::encodeName(dir.path() + u"/shut"_s);
        const QByteArray shut2 = QFile::encodeName(dir.path() + u"/shut2"_s);
        QVERIFY(chmod(shut.constData(), 0) == 0);
        QVERIFY(chmod(shut2.constData(), 0) == 0);
        const auto reopen = qScopeGuard([&] {
            chmod(shut.constData(), 0755);
            chmod(shut2.constData(), 0755);
        });
        auto g = makeFrn1Grid();
        EscSink sink;
        FrnState state;
        ScanOptions o;
        o.recursive = true;
        platform.nextFolder(dir.path());
        QVERIFY(chooseAndScanSource(*g, state, o, sink));
        QCOMPARE(column(*g, u"filey"_s), QStringList{u"a.txt"_s});
        QCOMPARE(platform.messageLines(),
                 QStringList{u"提示 / 源文件夹的相关信息已导入，跳过2个无法读取的文件夹或路径"_s});
    }

    // The root folder is kept as "" so that its rows get "/" and never "//".
    void rootPaths() {
        QCOMPARE(normaliseSourceFolder(u"/"_s), QString());
        QCOMPARE(normaliseSourceFolder(u"/home/u/"_s), u"/home/u"_s);
        QCOMPARE(sourceTop(normaliseSourceFolder(u"/"_s)), u"/"_s);
        QCOMPARE(subFolderOf(QString(), u"/"_s), QString());
        QCOMPARE(subFolderOf(QString(), u"/a/b/"_s), u"a/b/"_s);
        QCOMPARE(subFolderOf(u"/a"_s, u"/a/b/c/"_s), u"b/c/"_s);
        QCOMPARE(normaliseTargetRoot(u"/"_s), u"/"_s);
        QCOMPARE(joinPath(u"/"_s, u"x"_s), u"/x"_s);
        QCOMPARE(joinPath(u"/t"_s, u"x"_s), u"/t/x"_s);
    }

    // A name that is not UTF-8 is listed, but its text is marked as not
    // standing for its bytes, and it cannot be encoded back.
    void undecodableName() {
        QTemporaryDir dir;
        const QByteArray bad = QFile::encodeName(dir.path()).append("/bad\xff\xfe.txt");
        const int fd = open(bad.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        close(fd);
        // QTemporaryDir cannot name this file, so it is removed here.
        const auto cleanup = qScopeGuard([&] { unlink(bad.constData()); });
        std::vector<FolderEntry> out;
        QVERIFY(listFolder(dir.path(), 0, &out));
        QCOMPARE(out.size(), size_t(1));
        QVERIFY(!out[0].intact);
        QCOMPARE(out[0].bytes, QByteArray("bad\xff\xfe.txt"));
        QByteArray encoded;
        QVERIFY(!encodePath(dir.path() + u'/' + out[0].name, &encoded));
        QVERIFY(encodePath(dir.path() + u"/好.txt"_s, &encoded));
        QVERIFY(!encodePath(u"a"_s + QChar(0xD800) + u"b"_s, &encoded));
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "test_scan.moc"
