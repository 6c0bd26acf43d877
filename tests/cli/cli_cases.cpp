#include "cli_cases.h"

#include "cli_harness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace zorv::test {

void addEquivalenceCases() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("steps"); // sub-commands separated by " | "
    QTest::addColumn<QString>("exits"); // expected exit status of each step

    const QStringList nested{u"src/123abc.txt"_s,
                             u"src/IMG_0001.jpg"_s,
                             u"src/a/photo_2020.jpg"_s,
                             u"src/a/b/中文测试ABC.txt"_s,
                             u"src/.hidden.txt"_s,
                             u"src/c/"_s,
                             u"out/"_s};
    QTest::newRow("nested, op 9, keep tree, copy")
        << nested
        << u"list --recursive src | names --op 9 --step 1 | target out --keep-tree"
           " | run --mode copy"_s
        << u"0 0 0 0"_s;
    QTest::newRow("nested with hidden, op 9 step 5, move, root given")
        << nested
        << u"list --recursive --hidden src | names --op 9 --step 5"
           " | target out --keep-tree | run --mode move --root out"_s
        << u"0 0 0 0"_s;
    QTest::newRow("hidden, lower case, rename in place")
        << QStringList{u"src/Abc.TXT"_s, u"src/.Dot.JPG"_s, u"src/x.txt"_s}
        << u"list --hidden src | names --op 4 | target src | run --mode move"_s
        << u"0 0 0 1"_s; // x.txt is its own lower case: "无效"
    QTest::newRow("rename in place onto taken names")
        << QStringList{u"src/a.txt"_s, u"src/A.TXT"_s, u"src/b.txt"_s}
        << u"list src | names --op 5 | target src | run --mode move"_s << u"0 0 0 1"_s;
    QTest::newRow("chinese names, positions in bytes, chained on target")
        << QStringList{u"src/中文测试ABC.txt"_s, u"src/照片_2020.jpg"_s, u"out/"_s}
        << u"list src | names --op 1 --start 3 --count 4 | names --op 7 --text 文 --on target"
           " | target out | run"_s
        << u"0 0 0 0 0"_s;
    QTest::newRow("marker, replacement and letters")
        << QStringList{u"src/IMG_0001.jpg"_s, u"src/abc123XYZ.txt"_s, u"src/中_文.txt"_s, u"out/"_s}
        << u"list src | names --op 2 --text _ --count 4 | target out | run"
           " | names --op 3 --start 2 --count 3 --text X | names --op 6 --on target"_s
        << u"0 0 0 0 0 0"_s;
    QTest::newRow("target exists, copy, overwrite no")
        << QStringList{u"src/a.txt"_s, u"src/b.txt"_s, u"out/a.txt=old"_s}
        << u"list src | names --op 8 | target out | run --mode copy --overwrite no"_s
        << u"0 0 0 1"_s;
    QTest::newRow("target exists, copy, overwrite yes")
        << QStringList{u"src/a.txt"_s, u"src/b.txt"_s, u"out/a.txt=old"_s}
        << u"list src | names --op 8 | target out | run --mode copy"_s << u"0 0 0 0"_s;
    QTest::newRow("target exists, move")
        << QStringList{u"src/a.txt"_s, u"src/b.txt"_s, u"out/a.txt=old"_s}
        << u"list src | names --op 8 | target out | run --mode move"_s << u"0 0 0 1"_s;
    QTest::newRow("copy in place, same name")
        << QStringList{u"src/a.txt"_s} << u"list src | names --op 8 | target src | run"_s
        << u"0 0 0 1"_s;
    QTest::newRow("list match, filter, run visits the shown rows")
        << QStringList{u"src/0001.jpg"_s,
                       u"src/0002.jpg"_s,
                       u"src/0003.jpg"_s,
                       u"src/it's.jpg"_s,
                       u"list.txt=0003\n0001\tsecond column\nit's\n"_s,
                       u"out/"_s}
        << u"list src | filter list.txt --suffix jpg | names --op 5 | target out | run"_s
        << u"0 0 0 0 0"_s;
    QTest::newRow("list match, drop, list order")
        << QStringList{u"src/0001.jpg"_s, u"src/0002.jpg"_s, u"src/0003.jpg"_s,
                       u"list.txt=0003.jpg\n0001.jpg\n"_s, u"out/"_s}
        << u"list src | filter list.txt --drop | names --op 9 --step 5 | target out | run"_s
        << u"0 0 0 0 0"_s;
    QTest::newRow("list match, nothing found") << QStringList{u"src/a.jpg"_s, u"list.txt=b\n"_s}
                                               << u"list src | filter list.txt"_s << u"0 1"_s;
    QTest::newRow("imported names, list shorter than the grid")
        << QStringList{u"src/a.txt"_s, u"src/b.txt"_s, u"src/c.txt"_s,
                       u"new.txt=x.txt\ty\n 新.txt \n"_s, u"out/"_s}
        << u"list src | import-names new.txt | target out | run"_s << u"0 0 0 1"_s;
    QTest::newRow("empty folder") << QStringList{u"src/"_s, u"out/"_s}
                                  << u"list src | names --op 4 | target out | run"_s
                                  << u"0 1 1 1"_s;
    QTest::newRow("no operation chosen")
        << QStringList{u"src/a.txt"_s} << u"list src | names"_s << u"0 1"_s;
    QTest::newRow("run without a target folder")
        << QStringList{u"src/a.txt"_s} << u"list src | names --op 8 | run"_s << u"0 0 1"_s;
    QTest::newRow("accumulate a flat and a recursive scan")
        << QStringList{u"src/b.txt"_s, u"src/a.txt"_s, u"more/x/1.txt"_s, u"more/2.txt"_s,
                       u"out/"_s}
        << u"list src | list --append --recursive more | list --append src"
           " | names --op 8 | target out | run --overwrite no"_s
        << u"0 0 0 0 0 1"_s;
    QTest::newRow("invalid new names fail")
        << QStringList{u"src/a.txt"_s, u"src/b.txt"_s, u"new.txt=..\nsub/b.txt\n"_s, u"out/"_s}
        << u"list src | import-names new.txt | target out | run --mode move"_s << u"0 0 0 1"_s;
}

void checkEquivalence(WindowDriver &window) {
    QFETCH(QStringList, tree);
    QFETCH(QString, steps);
    QFETCH(QString, exits);
    const QStringList stepList = steps.split(u" | "_s);
    const QStringList exitList = exits.split(u' ');
    QCOMPARE(exitList.size(), stepList.size());

    QTemporaryDir windowDir, cliDir, streams;
    makeTree(windowDir.path(), tree);
    makeTree(cliDir.path(), tree);
    QString previous;
    for (qsizetype i = 0; i < stepList.size(); ++i) {
        const QStringList args = stepList[i].split(u' ');
        window.step(args, windowDir.path());

        QStringList cliArgs{u"files"_s};
        cliArgs << args;
        // A scan starts a new grid unless it accumulates ("累加").
        if (!previous.isEmpty() && (args[0] != u"list" || args.contains(u"--append"_s)))
            cliArgs << u"--in"_s << previous;
        const CliResult r = runZorv(cliArgs, {}, cliDir.path());
        previous = streams.filePath(QString::number(i) + u".tsv"_s);
        QFile f(previous);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.out);
        f.close();

        const QByteArray where = stepList[i].toUtf8();
        QVERIFY2(!r.crashed, where.constData());
        QVERIFY2(r.err.indexOf(u"zorv files"_s) < 0 || r.exitCode != 2,
                 qPrintable(stepList[i] + u": "_s + r.err));
        QCOMPARE(streamSnapshot(r.out, cliDir.path()), snapshot(window.grid(), windowDir.path()));
        QCOMPARE(r.messages(), window.messages());
        if (const std::optional<bool> ok = window.succeeded())
            QCOMPARE(r.exitCode, *ok ? 0 : 1);
        QVERIFY2(QString::number(r.exitCode) == exitList[i],
                 qPrintable(stepList[i] + u" exited "_s + QString::number(r.exitCode)));
    }
    QCOMPARE(treeOf(cliDir.path()), treeOf(windowDir.path()));
}

} // namespace zorv::test
