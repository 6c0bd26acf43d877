// The streamed fresh list against the scanned grid written as a stream: the
// same bytes for every listing mode on a tree with the names that need care.
#include "cli/grid_stream.h"
#include "cli/list_stream.h"
#include "core/files/frn_grid.h"
#include "core/files/native_path.h"
#include "core/files/source_scan.h"
#include "core/grid/grid.h"
#include "core/platform/progress.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace zorv;
using namespace zorv::test;

namespace {

void touch(const QByteArray &path, mode_t mode = 0644) {
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    ::close(fd);
    QVERIFY(::chmod(path.constData(), mode) == 0);
}

// What ends up in a temporary FILE * written by write.
template <typename Write> QByteArray captured(Write write) {
    std::FILE *f = std::tmpfile();
    if (!f)
        return {};
    write(f);
    std::fflush(f);
    QByteArray bytes;
    std::rewind(f);
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, qsizetype(n));
    std::fclose(f);
    return bytes;
}

} // namespace

class TestListStream : public QObject {
    Q_OBJECT
    TestHome m_home;
    QByteArray m_root;

    // A tree with hidden, read-only, Chinese, non-UTF-8, bracketed, escaped
    // and linked names, and one folder large enough to share its stats.
    void build() {
        m_root = QFile::encodeName(m_home.path()) + "/src";
        const auto r = [this](const QByteArray &rel) {
            QByteArray p = m_root;
            p += rel;
            return p;
        };
        for (const char *d :
             {"", "/sub", "/sub/deep", "/[b]", "/.hid", "/中文目录", "/big", "/bad\xff", "/Z"})
            QVERIFY(::mkdir(r(d).constData(), 0755) == 0);
        for (const char *f :
             {"/a.txt", "/Z.txt", "/b.txt", "/[x].txt", "/.hidden.txt", "/照片.jpg",
              "/name\xfe\xff.bin", "/tab\there", "/back\\slash", "/sub/one", "/sub/deep/two",
              "/[b]/three", "/.hid/four", "/中文目录/文件.txt", "/bad\xff/inside", "/Z/z"})
            touch(r(f));
        touch(r("/readonly.txt"), 0444);
        touch(r("/sub/ro"), 0400);
        for (int i = 0; i < 90; ++i)
            touch(r("/big/f" + QByteArray::number(i)), i % 7 == 3 ? 0444 : 0644);
        for (int i = 0; i < 20; ++i)
            QVERIFY(::symlink(i % 2 ? "f0" : "f3",
                              r("/big/l" + QByteArray::number(i)).constData()) == 0);
        // Enough stats over enough folders for the helper thread to take part.
        QVERIFY(::mkdir(r("/many").constData(), 0755) == 0);
        for (int d = 0; d < 40; ++d) {
            const QByteArray dir = "/many/d" + QByteArray::number(d);
            QVERIFY(::mkdir(r(dir).constData(), 0755) == 0);
            for (int i = 0; i < 12; ++i)
                touch(r(dir + "/g" + QByteArray::number(i)), (i + d) % 5 == 0 ? 0444 : 0644);
            QVERIFY(::symlink("g1", r(dir + "/l1").constData()) == 0);
            QVERIFY(::symlink("..", r(dir + "/up").constData()) == 0);
        }
        QVERIFY(::symlink("a.txt", r("/link-to-file").constData()) == 0);
        QVERIFY(::symlink("readonly.txt", r("/link-to-ro").constData()) == 0);
        QVERIFY(::symlink("sub", r("/link-to-dir").constData()) == 0);
        QVERIFY(::symlink("missing", r("/dangling").constData()) == 0);
        QVERIFY(::mkfifo(r("/fifo").constData(), 0644) == 0);
    }

    // The grid of the window's scan written as a stream, and the stream of
    // the fresh list, for the same folder and options.
    static std::pair<QByteArray, QByteArray> scannedAndStreamed(const QByteArray &root,
                                                                bool recursive, bool hidden) {
        ScriptedPlatform platform;
        ProgressSink progress;
        const QString path1 = files::normaliseSourceFolder(QFile::decodeName(root));
        std::unique_ptr<Grid> grid = files::makeFrn1Grid();
        files::ScanOptions options;
        options.recursive = recursive;
        options.hidden = hidden;
        files::scanIntoGrid(*grid, path1, options, progress);
        const QByteArray expected = captured([&](std::FILE *f) { cli::writeGridStream(*grid, f); });
        const QByteArray streamed = captured(
            [&](std::FILE *f) { cli::streamFreshList(path1, recursive, hidden, f, progress); });
        return {expected, streamed};
    }

private slots:
    void initTestCase() { build(); }
    // The non-UTF-8 names are beyond what QTemporaryDir can remove.
    void cleanupTestCase() {
        nftw(
            m_root.constData(),
            [](const char *path, const struct stat *, int, struct FTW *) { return ::remove(path); },
            16, FTW_DEPTH | FTW_PHYS);
    }

    void sameBytesAsTheScannedGrid_data() {
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("flat") << false << false;
        QTest::newRow("flat hidden") << false << true;
        QTest::newRow("recursive") << true << false;
        QTest::newRow("recursive hidden") << true << true;
    }
    void sameBytesAsTheScannedGrid() {
        QFETCH(bool, recursive);
        QFETCH(bool, hidden);
        const auto [expected, streamed] = scannedAndStreamed(m_root, recursive, hidden);
        QVERIFY(expected.count('\n') > 4);
        QCOMPARE(streamed, expected);
        // The names that need care are there at all.
        QVERIFY(expected.contains("tab\\there"));
        QVERIFY(expected.contains("back\\\\slash"));
        QVERIFY(expected.contains("\xEF\xBF\xBD"));
        QCOMPARE(expected.contains("readonly.txt"), hidden);
        QCOMPARE(expected.contains(".hidden.txt"), hidden);
        QCOMPARE(expected.contains("big/"), recursive);
        QVERIFY(!expected.contains("link-to-dir") && !expected.contains("dangling") &&
                !expected.contains("fifo"));
    }

    // Four levels of four folders, each folder with files that sort before,
    // between and after its sub-folders: the two reading threads finish
    // folders out of order, and the rows must still come depth-first.
    void deepTreeInWalkOrder() {
        const QByteArray root = QFile::encodeName(m_home.path()) + "/deep";
        QVERIFY(::mkdir(root.constData(), 0755) == 0);
        std::vector<QByteArray> level{root};
        for (int depth = 0; depth < 4; ++depth) {
            std::vector<QByteArray> next;
            for (const QByteArray &dir : level) {
                for (const char *f : {"/0-first", "/b-middle", "/z-last"})
                    touch(dir + f, depth == 2 && f[1] == 'b' ? 0444 : 0644);
                for (const char *d : {"/a", "/c", "/[d]", "/y"}) {
                    next.push_back(dir + d);
                    QVERIFY(::mkdir(next.back().constData(), 0755) == 0);
                }
            }
            level = std::move(next);
        }
        for (const QByteArray &dir : level)
            touch(dir + "/leaf");
        for (int round = 0; round < 5; ++round) {
            const auto [expected, streamed] = scannedAndStreamed(root, true, false);
            QCOMPARE(streamed, expected);
            QCOMPARE(expected.count('\n'), qsizetype(1 + 85 * 3 - 16 + 256));
        }
        const auto [expected, streamed] = scannedAndStreamed(root, true, true);
        QCOMPARE(streamed, expected);
    }

    void emptyAndMissingFolders() {
        ScriptedPlatform platform;
        ProgressSink progress;
        const QString empty = m_home.path() + u"/empty"_s;
        QVERIFY(QDir().mkpath(empty));
        const QByteArray header = "xh\typath\tfiley\tfilen\tnpath\tjg\tzml\n";
        for (const QString &dir : QStringList{empty, m_home.path() + u"/missing"_s})
            QCOMPARE(captured([&](std::FILE *f) {
                         cli::streamFreshList(dir, true, false, f, progress);
                     }),
                     header);
    }
};

QTEST_GUILESS_MAIN(TestListStream)
#include "test_list_stream.moc"
