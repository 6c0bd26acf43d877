// The library query and the single-entry operations of the browser, the
// maintenance window and the two entry windows.
#include "core/sqllib/library_fixture.h"
#include "core/sqllib/sql_entry.h"
#include "core/sqllib/sql_query.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace zorv;
using namespace zorv::sqllib;
using namespace Qt::StringLiterals;
using zorv::test::LibraryDb;
using zorv::test::ScriptedPlatform;

namespace {

QStringList shown(const Grid &g) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        out << g.getItemString(r, 1) + u'|' + g.getItemString(r, 2);
    return out;
}

} // namespace

class TestSqlEntry : public QObject {
    Q_OBJECT
private slots:
    void query_data() {
        QTest::addColumn<QString>("sqlEdit");
        QTest::addColumn<QString>("purposeEdit");
        QTest::addColumn<QStringList>("rows");
        const QStringList all{u"select 2|a"_s, u"select 100%|b"_s, u"sel_ct 1|c"_s,
                              u"select 1|甲"_s};
        QTest::newRow("both empty: every non-null entry, by purpose")
            << QString() << QString() << all;
        QTest::newRow("blanks only act as empty") << u"   "_s << u" \t"_s << all;
        QTest::newRow("edits are trimmed")
            << u"  2 "_s << QString() << QStringList{u"select 2|a"_s};
        QTest::newRow("anywhere in the purpose")
            << QString() << u"甲"_s << QStringList{u"select 1|甲"_s};
        QTest::newRow("% typed is a wildcard")
            << u"select%1"_s << QString() << QStringList{u"select 100%|b"_s, u"select 1|甲"_s};
        QTest::newRow("_ typed is a wildcard")
            << u"sel_ct 1"_s << QString()
            << QStringList{u"select 100%|b"_s, u"sel_ct 1|c"_s, u"select 1|甲"_s};
        QTest::newRow("quote and injection text are plain values")
            << u"' OR 1=1 --"_s << QString() << QStringList{};
    }
    void query() {
        QFETCH(QString, sqlEdit);
        QFETCH(QString, purposeEdit);
        QFETCH(QStringList, rows);
        LibraryDb lib;
        QVERIFY(lib.ok());
        QVERIFY(lib.add(u"select 1"_s, u"甲"_s, 1));
        QVERIFY(lib.add(u"select 2"_s, u"a"_s, 2));
        QVERIFY(lib.add(u"select 100%"_s, u"b"_s, 3));
        QVERIFY(lib.add(u"sel_ct 1"_s, u"c"_s, 4));
        QVERIFY(lib.add(QVariant(), u"null text"_s, 5));
        QVERIFY(lib.add(u"select 9"_s, QVariant(), 6));
        const auto grid = makeSsqlGrid();
        QString error;
        QCOMPARE(queryLibrary(db::sqlca(), *grid, sqlEdit, purposeEdit, &error),
                 qint64(rows.size()));
        QCOMPARE(shown(*grid), rows);
        QCOMPARE(lib.entries().size(), qsizetype(6)); // the text reached no SQL
    }

    void numberOfTheCurrentRow() {
        LibraryDb lib;
        QVERIFY(lib.add(u"x"_s, u"p"_s, 5000000000LL));
        const auto grid = makeSsqlGrid();
        QString error;
        QCOMPARE(queryLibrary(db::sqlca(), *grid, {}, {}, &error), qint64(1));
        QCOMPARE(numberAt(*grid, 1), qint64(5000000000LL));
        QCOMPARE(numberAt(*grid, 0), qint64(0));
        QCOMPARE(numberAt(*grid, 2), qint64(0));
    }

    void readEntry_data() {
        QTest::addColumn<qint64>("bh");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("sql");
        QTest::newRow("found") << qint64(7) << int(EntryStatus::Done) << u"select 1"_s;
        QTest::newRow("gone: empty, no message")
            << qint64(8) << int(EntryStatus::Missing) << QString();
    }
    void readEntry() {
        QFETCH(qint64, bh);
        QFETCH(int, status);
        QFETCH(QString, sql);
        LibraryDb lib;
        QVERIFY(lib.add(u"select 1"_s, u"p"_s, 7));
        ScriptedPlatform platform;
        const EntryResult r = sqllib::readEntry(db::sqlca(), bh);
        reportRead(r);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.entry.sql, sql);
        QVERIFY(platform.messages.isEmpty());
    }

    // "修改" stores trimmed texts; on a vanished entry or a refusing database
    // it says so instead of "保存成功!".
    void update_data() {
        QTest::addColumn<qint64>("bh");
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("stored") << qint64(1) << QString() << u"提示 / 保存成功!"_s
                                << QStringList{u"1:select 2:新用途"_s};
        QTest::newRow("vanished entry")
            << qint64(9) << QString()
            << u"提示 / 这条SQL语句已不存在（可能已被删除），没有保存任何内容"_s
            << QStringList{u"1:select 1:p"_s};
        QTest::newRow("database refuses")
            << qint64(1) << u"UPDATE"_s << u"保存失败 / 出错信息:refused by test"_s
            << QStringList{u"1:select 1:p"_s};
    }
    void update() {
        QFETCH(qint64, bh);
        QFETCH(QString, refuse);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        LibraryDb lib;
        QVERIFY(lib.add(u"select 1"_s, u"p"_s, 1));
        if (!refuse.isEmpty())
            QVERIFY(lib.refuse(refuse));
        ScriptedPlatform platform;
        reportSave(updateEntry(db::sqlca(), bh, u"  select 2\n"_s, u" 新用途 "_s));
        QCOMPARE(platform.messageLines(), QStringList{message});
        QCOMPARE(lib.entries(), after);
    }

    void remove_data() {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("left");
        QTest::newRow("deleted") << false << u"提示 / 删除数据成功!"_s << 0;
        QTest::newRow("database refuses") << true << u"删除失败 / 出错信息:refused by test"_s << 1;
    }
    void remove() {
        QFETCH(bool, refused);
        QFETCH(QString, message);
        QFETCH(int, left);
        LibraryDb lib;
        QVERIFY(lib.add(u"select 1"_s, u"p"_s, 1));
        if (refused)
            QVERIFY(lib.refuse(u"DELETE"_s));
        ScriptedPlatform platform;
        reportDelete(deleteEntry(db::sqlca(), 1));
        QCOMPARE(platform.messageLines(), QStringList{message});
        QCOMPARE(lib.entries().size(), qsizetype(left));
    }

    // The entry windows number max + 1, and 1 for an empty library, also one
    // whose entries were all deleted (the database's own numbering would go on).
    void addNumbers_data() {
        QTest::addColumn<QList<qint64>>("stored");
        QTest::addColumn<bool>("deleteAll");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("empty library") << QList<qint64>{} << false << qint64(1);
        QTest::newRow("emptied library") << QList<qint64>{1, 2, 3} << true << qint64(1);
        QTest::newRow("58 after 57, whatever the count")
            << QList<qint64>{3, 57} << false << qint64(58);
        QTest::newRow("beyond 32 bits")
            << QList<qint64>{4294967296LL} << false << qint64(4294967297LL);
    }
    void addNumbers() {
        QFETCH(QList<qint64>, stored);
        QFETCH(bool, deleteAll);
        QFETCH(qint64, expected);
        LibraryDb lib;
        for (qint64 bh : stored)
            QVERIFY(lib.add(u"s"_s, u"p"_s, bh));
        if (deleteAll)
            QVERIFY(lib.exec(u"DELETE FROM sqlt"_s));
        for (bool requireContent : {true, false}) {
            const EntryResult r = addEntry(db::sqlca(), u" select 1 "_s, u" p "_s, requireContent);
            QVERIFY(r.ok());
            QCOMPARE(r.entry.bh, expected + (requireContent ? 0 : 1));
            QCOMPARE(r.entry.sql, u"select 1"_s);
        }
    }

    void addRefusals_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<bool>("requireContent");
        QTest::addColumn<bool>("dbRefuses");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("stored");
        QTest::newRow("empty text refused")
            << u"  "_s << u"p"_s << true << false << u"提示 / 内容不能为空"_s << 0;
        QTest::newRow("empty purpose refused")
            << u"s"_s << u" "_s << true << false << u"提示 / 内容不能为空"_s << 0;
        QTest::newRow("save window takes empty purpose")
            << u"s"_s << QString() << false << false << u"提示 / 保存成功!"_s << 1;
        QTest::newRow("database refuses")
            << u"s"_s << u"p"_s << false << true << u"保存失败 / 出错信息:refused by test"_s << 0;
    }
    void addRefusals() {
        QFETCH(QString, sql);
        QFETCH(QString, purpose);
        QFETCH(bool, requireContent);
        QFETCH(bool, dbRefuses);
        QFETCH(QString, message);
        QFETCH(int, stored);
        LibraryDb lib;
        if (dbRefuses)
            QVERIFY(lib.refuse(u"INSERT"_s));
        ScriptedPlatform platform;
        reportSave(addEntry(db::sqlca(), sql, purpose, requireContent));
        QCOMPARE(platform.messageLines(), QStringList{message});
        QCOMPARE(lib.entries().size(), qsizetype(stored));
    }
};

QTEST_GUILESS_MAIN(TestSqlEntry)
#include "test_sql_entry.moc"
