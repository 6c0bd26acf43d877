// Opening a row's file with its associated program: every refusal message and
// the path handed to the shell.
#include "core/platform/open_file.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QtTest>

using zorv::OpenFileResult;
using zorv::test::ScriptedPlatform;

Q_DECLARE_METATYPE(OpenFileResult)

class TestOpenFile : public QObject {
    Q_OBJECT
private slots:
    void messages_data();
    void messages();
    void folderAndNameJoinWithoutSeparator_data();
    void folderAndNameJoinWithoutSeparator();
};

void TestOpenFile::messages_data() {
    // path: "<dir>" stands for the temporary folder holding "a b.txt".
    QTest::addColumn<qint64>("row");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shell");
    QTest::addColumn<int>("code");
    QTest::addColumn<OpenFileResult>("result");
    QTest::addColumn<QString>("message");

    const QString noRow = QStringLiteral("提示 / 数据窗口为空的情况下，不能通过双击打开源文件");
    const QString missing = QStringLiteral("提示 / 你要打开的文件不存在");
    QTest::newRow("header or empty area")
        << qint64(0) << "<dir>/a b.txt" << true << 42 << OpenFileResult::NoRow << noRow;
    QTest::newRow("negative row") << qint64(-1) << "" << true << 42 << OpenFileResult::NoRow
                                  << noRow;
    QTest::newRow("empty name") << qint64(1) << "" << true << 42 << OpenFileResult::EmptyName
                                << QStringLiteral("提示 / 文件名不能为空");
    QTest::newRow("blank name") << qint64(1) << " \t " << true << 42 << OpenFileResult::EmptyName
                                << QStringLiteral("提示 / 文件名不能为空");
    QTest::newRow("missing") << qint64(2) << "<dir>/无此文件.txt" << true << 42
                             << OpenFileResult::Missing << missing;
    QTest::newRow("a folder is no file")
        << qint64(2) << "<dir>" << true << 42 << OpenFileResult::Missing << missing;
    QTest::newRow("no shell")
        << qint64(3) << "<dir>/a b.txt" << false << 42 << OpenFileResult::NoShell
        << QStringLiteral("操作提示 / SHELL32.DLL动态库不存在!\n没有找到打开文件的程序(xdg-open)");
    QTest::newRow("shell fails at 32")
        << qint64(3) << "  <dir>/a b.txt " << true << 32 << OpenFileResult::ShellFailed
        << QStringLiteral("操作提示 / 程序执行非法操作!请对该文件进行正确关联。 \r\n<dir>/a b.txt");
    QTest::newRow("shell fails at 0")
        << qint64(3) << "<dir>/a b.txt" << true << 0 << OpenFileResult::ShellFailed
        << QStringLiteral("操作提示 / 程序执行非法操作!请对该文件进行正确关联。 \r\n<dir>/a b.txt");
    QTest::newRow("opened at 33") << qint64(3) << " <dir>/a b.txt  " << true << 33
                                  << OpenFileResult::Opened << QString();
}

void TestOpenFile::messages() {
    QFETCH(qint64, row);
    QFETCH(QString, path);
    QFETCH(bool, shell);
    QFETCH(int, code);
    QFETCH(OpenFileResult, result);
    QFETCH(QString, message);
    zorv::test::TestHome home;
    QVERIFY(zorv::test::writeFile(home.file(QStringLiteral("a b.txt")), "x"));
    const QString dir = home.path();
    path.replace(QStringLiteral("<dir>"), dir);
    message.replace(QStringLiteral("<dir>"), dir);

    ScriptedPlatform platform;
    platform.shellPresent = shell;
    platform.shellResult = code;
    QCOMPARE(zorv::openRowFile(row, path), result);
    QCOMPARE(platform.messageLines(), message.isEmpty() ? QStringList() : QStringList{message});
    // The shell is asked only for an existing file, with the trimmed path.
    const bool asked =
        shell && (result == OpenFileResult::ShellFailed || result == OpenFileResult::Opened);
    QCOMPARE(platform.shellOpened,
             asked ? QStringList{dir + QStringLiteral("/a b.txt")} : QStringList());
}

void TestOpenFile::folderAndNameJoinWithoutSeparator_data() {
    QTest::addColumn<QString>("ypath");
    QTest::addColumn<QString>("filey");
    QTest::addColumn<QString>("joined");
    QTest::newRow("folder with separator") << "/data/新建/"
                                           << "报告 1.txt"
                                           << "/data/新建/报告 1.txt";
    // Blanks at the ends belong to the names on disk.
    QTest::newRow("blanks kept") << "/data/"
                                 << " a b.txt "
                                 << "/data/ a b.txt ";
    QTest::newRow("no separator added") << "/data"
                                        << "x.txt"
                                        << "/datax.txt";
    QTest::newRow("empty folder") << ""
                                  << "x.txt"
                                  << "x.txt";
    QTest::newRow("both empty") << ""
                                << ""
                                << "";
}

void TestOpenFile::folderAndNameJoinWithoutSeparator() {
    QFETCH(QString, ypath);
    QFETCH(QString, filey);
    QFETCH(QString, joined);
    QCOMPARE(zorv::joinFolderAndName(ypath, filey), joined);
}

QTEST_GUILESS_MAIN(TestOpenFile)
#include "test_open_file.moc"
