#include "core/db/publish_file.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    // and how many rename calls are made. Each row runs on a free final name
    // and on one already taken, which must stay as it is whichever way is taken.
    void publishes_data() {
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
    void publishes() {
        QFETCH(int, linkErrno);
        QFETCH(int, renameErrno);
        QFETCH(int, renameCalls);
        for (const bool taken : {false, true}) {
            QTemporaryDir dir;
            const QString from = dir.filePath(QStringLiteral(".zorv.mdb.tmp"));
            const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
            QVERIFY(writeFile(from, content()));
            if (taken)
                QVERIFY(writeFile(to, "the user's data"));
            play(linkErrno, renameErrno);
            QString error;
            bool exists = !taken;
            QCOMPARE(db::publishNoReplace(from, to, &error, &exists, kPlayed), !taken);
            QCOMPARE(exists, taken);
            QCOMPARE(error.isEmpty(), !taken);
            QCOMPARE(g_linkCalls, 1);
            QCOMPARE(g_renameCalls, renameCalls);
            QCOMPARE(readFile(to), taken ? QByteArray("the user's data") : content());
            QCOMPARE(QFile::exists(from), taken);
        }
    }

    // Any other refusal of link stops without trying another way; a copy that
    // cannot be finished removes what it began. Nothing is left under the final name.
    void failuresLeaveNoFinalFile_data() {
        QTest::addColumn<int>("linkErrno");
        QTest::addColumn<bool>("sourceIsFolder"); // opens for reading, fails at the first read
        QTest::addColumn<int>("renameCalls");
        QTest::newRow("link refused for another reason") << int(EACCES) << false << 0;
        QTest::newRow("copy fails midway") << int(EPERM) << true << 1;
    }
    void failuresLeaveNoFinalFile() {
        QFETCH(int, linkErrno);
        QFETCH(bool, sourceIsFolder);
        QFETCH(int, renameCalls);
        QTemporaryDir dir;
        const QString from = dir.filePath(QStringLiteral("source"));
        const QString to = dir.filePath(QStringLiteral("zorv.mdb"));
        QVERIFY(sourceIsFolder ? QDir().mkdir(from) : writeFile(from, "x"));
        play(linkErrno, EINVAL);
        QString error;
        QVERIFY(!db::publishNoReplace(from, to, &error, nullptr, kPlayed));
        QVERIFY(!error.isEmpty());
        QCOMPARE(g_renameCalls, renameCalls);
        QVERIFY(!QFileInfo::exists(to));
        QVERIFY(QFileInfo::exists(from));
    }
};

QTEST_GUILESS_MAIN(TestPublishFile)
#include "test_publish_file.moc"
