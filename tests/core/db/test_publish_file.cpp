#include "core/db/publish_file.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace zorv;
using zorv::test::readFile;
using zorv::test::writeFile;

namespace {

// The file system the test plays: each call fails with its errno, or does
// the real work when it is 0. Calls are counted.
int g_linkErrno = 0;
int g_renameErrno = 0;
int g_linkCalls = 0;
int g_renameCalls = 0;

int playedLink(const char *from, const char *to) {
    ++g_linkCalls;
    if (g_linkErrno != 0) {
        errno = g_linkErrno;
        return -1;
    }
    return ::link(from, to);
}

int playedRename(const char *from, const char *to) {
    ++g_renameCalls;
    if (g_renameErrno != 0) {
        errno = g_renameErrno;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

const db::PublishCalls kPlayed{playedLink, playedRename};

void play(int linkErrno, int renameErrno) {
    g_linkErrno = linkErrno;
    g_renameErrno = renameErrno;
    g_linkCalls = g_renameCalls = 0;
}

// A finished file bigger than one copy buffer, so the copy loops.
QByteArray content() {
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += QByteArray::number(i) + ' ';
    return bytes;
}

} // namespace

class TestPublishFile : public QObject {
    Q_OBJECT
private slots:
    // Columns: what link and the no-replace rename answer (0 = they work),
    // and how many rename calls are made.
    void fileSystems_data() {
        QTest::addColumn<int>("linkErrno");
        QTest::addColumn<int>("renameErrno");
        QTest::addColumn<int>("renameCalls");
        QTest::newRow("hard links") << 0 << 0 << 0;
        QTest::newRow("no hard links (FAT): rename") << int(EPERM) << 0 << 1;
        QTest::newRow("no hard links (FUSE): rename") << int(EOPNOTSUPP) << 0 << 1;
        QTest::newRow("no link call: rename") << int(ENOSYS) << 0 << 1;
        QTest::newRow("no links, no rename flag: copy") << int(EPERM) << int(EINVAL) << 1;
        QTest::newRow("no links, old kernel: copy") << int(EPERM) << int(ENOSYS) << 1;
    }
    void fileSystems() {
        QFETCH(int, linkErrno);
        QFETCH(int, renameErrno);
        QFETCH(int, renameCalls);
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral(".zorv.mdb.tmp"));
        const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
        QVERIFY(writeFile(from, content()));

        play(linkErrno, renameErrno);
        QString error;
        bool exists = true;
        QVERIFY2(db::publishNoReplace(from, to, &error, &exists, kPlayed), qPrintable(error));
        QVERIFY(!exists);
        QCOMPARE(g_linkCalls, 1);
        QCOMPARE(g_renameCalls, renameCalls);
        QCOMPARE(readFile(to), content());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("zorv.mdb")}));
    }

    // Whichever way is taken, a file already under the final name stays as it is.
    void existingFileIsNeverReplaced_data() { fileSystems_data(); }
    void existingFileIsNeverReplaced() {
        QFETCH(int, linkErrno);
        QFETCH(int, renameErrno);
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral(".zorv.mdb.tmp"));
        const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
        QVERIFY(writeFile(from, content()));
        QVERIFY(writeFile(to, "the user's data"));

        play(linkErrno, renameErrno);
        QString error;
        bool exists = false;
        QVERIFY(!db::publishNoReplace(from, to, &error, &exists, kPlayed));
        QVERIFY(exists);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFile(to), QByteArray("the user's data"));
        QCOMPARE(readFile(from), content());
    }

    // Any other refusal is a failure of its own, not a reason to try another way.
    void otherErrorsStop() {
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral(".tmp"));
        const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
        QVERIFY(writeFile(from, "x"));
        play(EACCES, 0);
        QString error;
        bool exists = true;
        QVERIFY(!db::publishNoReplace(from, to, &error, &exists, kPlayed));
        QVERIFY(!exists);
        QCOMPARE(g_renameCalls, 0);
        QVERIFY(!QFile::exists(to));
        QVERIFY(QFile::exists(from));
    }

    // A copy that cannot be finished leaves nothing under the final name.
    void failedCopyLeavesNoFinalFile() {
        QTemporaryDir dir;
        const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
        // A folder opens for reading but fails at the first read.
        const QString unreadable = dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkdir(unreadable));
        play(EPERM, EINVAL);
        QString error;
        QVERIFY(!db::publishNoReplace(unreadable, to, &error, nullptr, kPlayed));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(to));
    }
};

QTEST_GUILESS_MAIN(TestPublishFile)
#include "test_publish_file.moc"
