// The import save: numbering, the duplicate sweep and the one transaction.
#include "core/db/statements.h"
#include "core/platform/progress.h"
#include "core/sqllib/library_fixture.h"
#include "core/sqllib/sql_import.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace zorv;
using namespace zorv::sqllib;
using namespace Qt::StringLiterals;
using zorv::test::LibraryDb;
using zorv::test::ScriptedPlatform;

namespace {

// Grid rows from "sql|purpose" lines; "~" leaves a cell empty.
std::unique_ptr<Grid> gridOf(const QStringList &rows) {
    auto grid = makeLoadsqlGrid();
    for (const QString &line : rows) {
        const QStringList f = line.split(u'|');
        const qint64 r = grid->insertRow();
        for (int c = 0; c < 2; ++c)
            if (f.value(c) != u"~")
                grid->setItem(r, c + 1, f.value(c));
    }
    return grid;
}

// Stores "bh:sql:purpose" entries ("~" = null).
bool seed(LibraryDb &lib, const QStringList &entries) {
    for (const QString &e : entries) {
        const QStringList f = e.split(u':');
        auto v = [](const QString &s) { return s == u"~" ? QVariant() : QVariant(s); };
        if (!lib.add(v(f[1]), v(f[2]), f[0].toLongLong()))
            return false;
    }
    return true;
}

class StopAfter : public ProgressSink {
public:
    explicit StopAfter(int polls) : m_left(polls) {}
    bool stopRequested() override { return m_left-- <= 0; }

private:
    int m_left;
};

} // namespace

class TestSqlImport : public QObject {
    Q_OBJECT
private slots:
    void save_data() {
        QTest::addColumn<QStringList>("library");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("empty library numbers 1, 2, 3")
            << QStringList{} << QStringList{u"a|p"_s, u"b|p"_s, u"c|q"_s}
            << QStringList{u"1:a:p"_s, u"2:b:p"_s, u"3:c:q"_s};
        QTest::newRow("58 after 57 whatever the count")
            << QStringList{u"4:x:p"_s, u"57:y:p"_s} << QStringList{u"z|p"_s}
            << QStringList{u"4:x:p"_s, u"57:y:p"_s, u"58:z:p"_s};
        QTest::newRow("imported duplicate leaves the first copy")
            << QStringList{u"9:select 1:p"_s} << QStringList{u"select 1|p"_s, u"select 1|p"_s}
            << QStringList{u"9:select 1:p"_s};
        QTest::newRow("equal text with another purpose stays")
            << QStringList{u"1:s:p"_s} << QStringList{u"s|q"_s}
            << QStringList{u"1:s:p"_s, u"2:s:q"_s};
        QTest::newRow("case and blanks make other texts")
            << QStringList{u"1:s:p"_s} << QStringList{u"S|p"_s, u"s |p"_s}
            << QStringList{u"1:s:p"_s, u"2:S:p"_s, u"3:s :p"_s};
        QTest::newRow("empty grid still sweeps the library")
            << QStringList{u"1:s:p"_s, u"2:t:p"_s, u"3:s:p"_s} << QStringList{}
            << QStringList{u"1:s:p"_s, u"2:t:p"_s};
        // Copies apart from each other in the purpose run go too.
        QTest::newRow("copies separated by another text")
            << QStringList{u"1:a:p"_s, u"2:b:p"_s, u"3:a:p"_s, u"4:b:p"_s} << QStringList{}
            << QStringList{u"1:a:p"_s, u"2:b:p"_s};
        QTest::newRow("null purposes and null texts never match")
            << QStringList{u"1:s:~"_s, u"2:~:p"_s} << QStringList{u"s|~"_s, u"~|p"_s}
            << QStringList{u"1:s:~"_s, u"2:~:p"_s, u"3:s:~"_s, u"4:~:p"_s};
        QTest::newRow("cells kept as they are, untrimmed")
            << QStringList{} << QStringList{u" a |  p"_s} << QStringList{u"1: a :  p"_s};
    }
    void save() {
        QFETCH(QStringList, library);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, after);
        LibraryDb lib;
        QVERIFY(lib.ok());
        QVERIFY(seed(lib, library));
        const auto grid = gridOf(rows);
        ScriptedPlatform platform;
        const ImportSave r = saveImport(db::sqlca(), *grid);
        reportImportSave(r);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(lib.entries(), after);
        QVERIFY(platform.messages.isEmpty()); // a finished save shows no message box
    }

    // A failed insert, a failed sweep or a stop: nothing of the save stays,
    // and the message names the grid row and the database's text.
    void allOrNothing_data() {
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("third row refused")
            << u"INSERT"_s << u"NEW.sql = 'bad'"_s << -1 << int(ImportSave::InsertFailed)
            << u"保存失败 / 第 3 行保存失败。\n出错信息:refused by test\n本次没有保存任何行。"_s;
        QTest::newRow("sweep's delete refused")
            << u"DELETE"_s << QString() << -1 << int(ImportSave::SweepFailed)
            << u"数据库错!cur_product / 出错信息:refused by test\n本次没有保存任何行。"_s;
        QTest::newRow("stopped") << QString() << QString() << 0 << int(ImportSave::Stopped)
                                 << u"提示 / 保存已中止，没有保存任何行。"_s;
    }
    void allOrNothing() {
        QFETCH(QString, refuse);
        QFETCH(QString, when);
        QFETCH(int, stopAfter);
        QFETCH(int, status);
        QFETCH(QString, message);
        LibraryDb lib;
        QVERIFY(lib.ok());
        QVERIFY(seed(lib, {u"1:dup:p"_s, u"2:dup:p"_s}));
        if (!refuse.isEmpty())
            QVERIFY(lib.refuse(refuse, when));
        const auto grid = gridOf({u"a|p"_s, u"b|p"_s, u"bad|p"_s, u"c|p"_s});
        ScriptedPlatform platform;
        StopAfter stop(stopAfter < 0 ? 1 << 30 : stopAfter);
        const ImportSave r = saveImport(db::sqlca(), *grid, &stop);
        reportImportSave(r);
        QCOMPARE(int(r.status), status);
        QCOMPARE(platform.messageLines(), QStringList{message});
        QCOMPARE(lib.entries(), (QStringList{u"1:dup:p"_s, u"2:dup:p"_s}));
        QCOMPARE(grid->rowCount(), qint64(4));
    }

    // More entries than a 16-bit counter reaches: copies past position 32767
    // of the purpose order are swept too.
    void sweepsPast32767() {
        LibraryDb lib;
        QVERIFY(lib.ok());
        QList<QVariantList> rows;
        for (qint64 i = 1; i <= 40000; ++i)
            rows.append({u"select %1"_s.arg(i), u"p%1"_s.arg(i, 5, 10, QChar(u'0')), i});
        QVERIFY2(db::sqlca().insertRows(u"sqlt"_s, {u"sql"_s, u"purpose"_s, u"bh"_s}, rows) == 0,
                 qPrintable(db::sqlca().sqlerrtext()));
        const auto grid = gridOf({u"select 39999|p39999"_s, u"select 40000|p40000"_s});
        const ImportSave r = saveImport(db::sqlca(), *grid);
        QVERIFY(r.ok());
        QCOMPARE(r.firstNumber, qint64(40001));
        QCOMPARE(r.removed, qint64(2));
        QCOMPARE(lib.entries().size(), qsizetype(40000));
        QCOMPARE(lib.entries().last(), u"40000:select 40000:p40000"_s);
    }

    // After an import the database's own numbering goes on above the
    // imported numbers: a statement stored without a number never meets one
    // in use (the server numbers bh with a sequence of its own).
    void databaseNumberingGoesOnAfterAnImport() {
        LibraryDb lib;
        QVERIFY(lib.ok());
        QVERIFY(seed(lib, {u"40:old:p"_s}));
        QVERIFY(saveImport(db::sqlca(), *gridOf({u"a|p"_s, u"b|p"_s})).ok());
        QVERIFY2(db::insertSql(db::sqlca(), u"c"_s, u"p"_s) == 0,
                 qPrintable(db::sqlca().sqlerrtext()));
        const QStringList after = lib.entries();
        QCOMPARE(after.size(), qsizetype(4));
        QCOMPARE(after.mid(0, 3), (QStringList{u"40:old:p"_s, u"41:a:p"_s, u"42:b:p"_s}));
        QVERIFY2(after[3].section(u':', 0, 0).toLongLong() > 42, qPrintable(after[3]));
    }

    // Values reach the database bound, never pasted into the statement.
    void textIsNeverSql() {
        LibraryDb lib;
        QVERIFY(lib.ok());
        const QString evil = u"x'); DELETE FROM sqlt; --"_s;
        QVERIFY(seed(lib, {u"1:keep:p"_s}));
        const auto grid = gridOf({evil + u"|'p'"_s});
        QVERIFY(saveImport(db::sqlca(), *grid).ok());
        QCOMPARE(lib.entries(), (QStringList{u"1:keep:p"_s, u"2:"_s + evil + u":'p'"_s}));
    }
};

QTEST_GUILESS_MAIN(TestSqlImport)
#include "test_sql_import.moc"
