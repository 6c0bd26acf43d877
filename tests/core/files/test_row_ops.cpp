#include "core/files/row_ops.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;

class TestRowOps : public QObject {
    Q_OBJECT
private slots:
    void deleteRows() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        QCOMPARE(deleteSelectedRows(*g), 0);
        for (int i = 1; i <= 5; ++i)
            addRow(*g, {u"/p/"_s, QString::number(i)});
        g->selectRow(2, true);
        g->selectRow(4, true);
        QCOMPARE(deleteSelectedRows(*g), 2);
        QCOMPARE(column(*g, u"filey"_s), (QStringList{u"1"_s, u"3"_s, u"5"_s}));
        QCOMPARE(platform.statusText(), u"删除结束"_s);
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 还没有导入"_s});
    }

    // Rows are visited from the bottom; each existing file is confirmed, a
    // missing one reported, a failure keeps its row.
    void deleteFiles() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString p = dir.path() + u'/';
        QVERIFY(zorv::test::writeFile(p + u"one"_s, "1"));
        QVERIFY(zorv::test::writeFile(p + u"three"_s, "3"));
        QVERIFY(QDir().mkdir(p + u"folder"_s));
        QVERIFY(zorv::test::writeFile(p + u"five"_s, "5"));
        auto g = makeFrn1Grid();
        for (const QString &n : {u"one"_s, u"two"_s, u"three"_s, u"folder"_s, u"five"_s, u"six"_s})
            addRow(*g, {p, n});
        for (qint64 r : {1, 2, 3, 4})
            g->selectRow(r, true);
        // Every message box takes an answer, the notices included.
        platform.nextAnswer(MsgAnswer::Ok);     // folder: refused by the disk
        platform.nextAnswer(MsgAnswer::Ok);     // "删除失败"
        platform.nextAnswer(MsgAnswer::Cancel); // three: kept
        platform.nextAnswer(MsgAnswer::Ok);     // "不存在文件"
        platform.nextAnswer(MsgAnswer::Ok);     // one: deleted
        QCOMPARE(deleteSelectedFiles(*g), 1);
        const auto ask = [&](const QString &n) -> QString {
            return u"提示 / 按确定将删除文件，而且不能从回收站还原文件（"_s + p + n + u"。）"_s;
        };
        QCOMPARE(platform.messageLines(),
                 (QStringList{ask(u"folder"_s), u"提示 / 删除失败"_s, ask(u"three"_s),
                              u"提示 / 不存在文件"_s + p + u"two"_s, ask(u"one"_s)}));
        QCOMPARE(platform.messages.first().buttons, MsgButtons::OkCancel);
        QCOMPARE(column(*g, u"filey"_s).size(), 5);
        QVERIFY(!QFileInfo::exists(p + u"one"_s));
        QVERIFY(QFileInfo::exists(p + u"three"_s));
        QVERIFY(QFileInfo(p + u"folder"_s).isDir());
        QVERIFY(QFileInfo::exists(p + u"five"_s));

        platform.clearRecord();
        g->selectRow(0, false);
        QCOMPARE(deleteSelectedFiles(*g), 0);
        QCOMPARE(platform.messageLines(),
                 QStringList{u"没有选择要删除的文件 / 请按住Ctrl键或Shift键后，用鼠标左键选择"_s});
    }

    // The file a row names is its name as listed: deleting " lead.txt" or
    // "lead.txt " never deletes "lead.txt".
    void deleteAddressesExactName_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("leading blank") << u" lead.txt"_s;
        QTest::newRow("trailing blank") << u"lead.txt "_s;
        QTest::newRow("leading U+FEFF") << QChar(0xFEFF) + u"lead.txt"_s;
    }
    void deleteAddressesExactName() {
        QFETCH(QString, name);
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        const QString p = dir.path() + u'/';
        QVERIFY(zorv::test::writeFile(p + u"lead.txt"_s, "plain"));
        QVERIFY(zorv::test::writeFile(p + name, "odd"));
        auto g = makeFrn1Grid();
        addRow(*g, {p, name});
        g->selectRow(1, true);
        platform.nextAnswer(MsgAnswer::Ok);
        QCOMPARE(deleteSelectedFiles(*g), 1);
        QVERIFY(!QFileInfo::exists(p + name));
        QCOMPARE(zorv::test::readFile(p + u"lead.txt"_s), QByteArray("plain"));
        QCOMPARE(platform.messageLines(),
                 QStringList{u"提示 / 按确定将删除文件，而且不能从回收站还原文件（"_s + p + name +
                             u"。）"_s});
    }

    void folders() {
        zorv::test::ScriptedPlatform platform;
        QTemporaryDir dir;
        FrnState state;
        platform.nextFolderCancel();
        QVERIFY(!chooseParentFolder(state));
        platform.nextFolder(dir.path());
        QCOMPARE(*chooseParentFolder(state), dir.path());
        QCOMPARE(state.ls_path2, dir.path());
        QCOMPARE(createFolder(dir.path(), u" 新文件夹 "_s), FolderCreation::Created);
        QVERIFY(QFileInfo(dir.path() + u"/新文件夹"_s).isDir());
        QCOMPARE(createFolder(dir.path(), u"新文件夹"_s), FolderCreation::Exists);
        QCOMPARE(createFolder(dir.path(), QString()), FolderCreation::Exists);
        QCOMPARE(createFolder(dir.path(), u"新文件夹/sub"_s), FolderCreation::Failed);
        QCOMPARE(createFolder(dir.path() + u"/missing"_s, u"x"_s), FolderCreation::Failed);
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 目标文件夹选择被取消"_s, u"提示 / 创建成功"_s,
                              u"提示 / 文件夹已存在"_s, u"提示 / 文件夹已存在"_s,
                              u"提示 / 创建失败"_s, u"提示 / 创建失败"_s}));
        QCOMPARE(platform.dialogTitles.first(), u"选择文件夹（新文件夹在该文件夹下创建）"_s);
        QCOMPARE(folderToShow(FrnState{u"/a"_s, QString()}), u"/a"_s);
        QCOMPARE(folderToShow(FrnState{u"/a"_s, u"/b"_s}), u"/a"_s); // not an earlier target
        QCOMPARE(folderToShow(FrnState{}), QString());
        QCOMPARE(folderToShow(FrnState{QString(), QString(), true}), u"/"_s); // the root
    }

    // "打开资源管理器": the current row's folder, else the listed source folder.
    void showFolder_data() {
        QTest::addColumn<qint64>("currentRow");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("shell");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("current row")
            << qint64(2) << true << true << u"/src/sub/"_s << QStringList();
        QTest::newRow("no current row") << qint64(0) << true << true << u"/src"_s << QStringList();
        QTest::newRow("opener fails")
            << qint64(1) << false << true << u"/src/"_s
            << QStringList{
                   u"操作提示 / 不能打开文件夹 /src/\n文件夹不存在，或没有可以打开文件夹的程序。"_s};
        QTest::newRow("no opener") << qint64(1) << false << false << u"/src/"_s
                                   << QStringList{u"操作提示 / 不能打开文件夹 /src/\n"
                                                  u"没有找到打开文件夹的程序(xdg-open)"_s};
    }
    void showFolder() {
        QFETCH(qint64, currentRow);
        QFETCH(bool, opens);
        QFETCH(bool, shell);
        QFETCH(QString, opened);
        QFETCH(QStringList, messages);
        zorv::test::ScriptedPlatform platform;
        platform.opensSucceed = opens;
        platform.shellPresent = shell;
        const auto grid = makeFrn1Grid();
        addRow(*grid, {u"/src/"_s, u"a.txt"_s});
        addRow(*grid, {u" /src/sub/ "_s, u"b.txt"_s});
        grid->setRow(currentRow);
        const FrnState state{u"/src"_s, u"/target"_s, true};
        QCOMPARE(files::showFolder(*grid, state), opens);
        QCOMPARE(platform.foldersOpened, QStringList{opened});
        QCOMPARE(platform.messageLines(), messages);
    }

    void showFolderWithNothingListed() {
        zorv::test::ScriptedPlatform platform;
        const auto grid = makeFrn1Grid();
        QVERIFY(!files::showFolder(*grid, FrnState{}));
        QVERIFY(platform.foldersOpened.isEmpty());
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 还没有源文件"_s});
    }
};

QTEST_GUILESS_MAIN(TestRowOps)
#include "test_row_ops.moc"
