// The register htt1: query bounds, the query, deleting in one transaction and
// storing remarks, against a new test database of each home.
#include "core/db/statements.h"
#include "core/grid/grid.h"
#include "core/lists/register_query.h"
#include "core/platform/progress.h"
#include "register_fixture.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using lists::QueryRefusal;
using lists::RegisterQueryFields;

Q_DECLARE_METATYPE(QueryRefusal)
Q_DECLARE_METATYPE(RegisterQueryFields)

namespace {

void insert(db::Transaction &tx, qint64 xh, int bs, const QDateTime &rq, const QString &md,
            const QString &jg) {
    QCOMPARE(db::insertRegister(tx, xh, bs, rq, md, jg), 0);
    QCOMPARE(tx.commit(), 0);
}

qint64 tableRows(db::Transaction &tx) {
    const auto row = tx.selectRow(u"SELECT count(*) FROM htt1"_s);
    return row ? row->value(0).toLongLong() : -1;
}

QStringList column(const Grid &grid, const QString &name) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r)
        out << grid.getItemString(r, name);
    return out;
}

class StopAfter final : public ProgressSink {
public:
    bool stopRequested() override { return ++m_polls > 1; }

private:
    int m_polls = 0;
};

} // namespace

class TestRegister : public QObject {
    Q_OBJECT
private slots:
    void bounds_data() {
        QTest::addColumn<RegisterQueryFields>("fields");
        QTest::addColumn<QueryRefusal>("refusal");
        QTest::addColumn<qint64>("bs1");
        QTest::addColumn<qint64>("bs2");
        QTest::addColumn<QDateTime>("rq1");
        QTest::addColumn<QDateTime>("rq2");

        const QDateTime low(QDate(1989, 1, 1), QTime(0, 0));
        const QDateTime high(QDate(3000, 1, 1), QTime(23, 59, 59, 999));
        QTest::newRow("all empty")
            << RegisterQueryFields{} << QueryRefusal::None << qint64(0) << qint64(9) << low << high;
        QTest::newRow("empty masked dates")
            << RegisterQueryFields{{}, {}, u"____-__-__"_s, u"--"_s, {}, {}} << QueryRefusal::None
            << qint64(0) << qint64(9) << low << high;
        QTest::newRow("from 2") << RegisterQueryFields{{}, {}, {}, {}, u"2"_s, {}}
                                << QueryRefusal::None << qint64(2) << qint64(9) << low << high;
        // A lower bound above 9 with no upper bound is no empty range.
        QTest::newRow("from 12, no upper bound")
            << RegisterQueryFields{{}, {}, {}, {}, u"12"_s, {}} << QueryRefusal::None << qint64(12)
            << qint64(99999) << low << high;
        QTest::newRow("five digits")
            << RegisterQueryFields{{}, {}, {}, {}, u"100"_s, u"20000"_s} << QueryRefusal::None
            << qint64(100) << qint64(20000) << low << high;
        QTest::newRow("dates typed")
            << RegisterQueryFields{{}, {}, u"2026-1-5"_s, u"2026-12-08"_s, {}, {}}
            << QueryRefusal::None << qint64(0) << qint64(9)
            << QDateTime(QDate(2026, 1, 5), QTime(0, 0))
            << QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59, 999));
        // A date that is no calendar date is refused, never read as the default.
        QTest::newRow("30 February")
            << RegisterQueryFields{{}, {}, u"2026-02-30"_s, {}, {}, {}} << QueryRefusal::DateFrom
            << qint64(0) << qint64(0) << QDateTime() << QDateTime();
        QTest::newRow("half typed")
            << RegisterQueryFields{{}, {}, u"2026-__-__"_s, {}, {}, {}} << QueryRefusal::DateFrom
            << qint64(0) << qint64(0) << QDateTime() << QDateTime();
        QTest::newRow("month 13") << RegisterQueryFields{{}, {}, {}, u"2026-13-01"_s, {}, {}}
                                  << QueryRefusal::DateTo << qint64(0) << qint64(0) << QDateTime()
                                  << QDateTime();
    }
    void bounds() {
        QFETCH(RegisterQueryFields, fields);
        QFETCH(QueryRefusal, refusal);
        QueryRefusal why = QueryRefusal::None;
        const auto args = lists::registerQueryArgs(fields, &why);
        QCOMPARE(why, refusal);
        QCOMPARE(args.has_value(), refusal == QueryRefusal::None);
        if (!args)
            return;
        QTEST(args->bs1, "bs1");
        QTEST(args->bs2, "bs2");
        QTEST(args->rq1, "rq1");
        QTEST(args->rq2, "rq2");
        QCOMPARE(args->md, u"%%"_s);
    }

    void query() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        db::Transaction &tx = data.tx;
        const QDateTime today(QDate(2026, 12, 8), QTime(0, 0));
        insert(tx, 1, 2, today, u"张三"_s, u"相同"_s);
        insert(tx, 2, 2, today, u"李四"_s, u"不同"_s);
        insert(tx, 1, 1, today, u"王五"_s, u"相同"_s);
        insert(tx, 1, 10, today, u"赵六"_s, u"相同"_s);
        insert(tx, 1, 3, QDateTime(QDate(2026, 12, 9), QTime(15, 30)), u"钱七"_s, u"不同"_s);
        auto grid = lists::makeHtmdcxGrid();

        // Saved with 2, found from "标识号起" 2 (up to 9).
        QCOMPARE(lists::queryRegister(*grid, tx, {{}, {}, {}, {}, u"2"_s, {}}), qint64(3));
        QCOMPARE(column(*grid, u"md"_s), (QStringList{u"张三"_s, u"李四"_s, u"钱七"_s}));
        QCOMPARE(column(*grid, u"bs"_s), (QStringList{u"2"_s, u"2"_s, u"3"_s}));
        QCOMPARE(grid->summaryText(), u"总数:3"_s);

        QCOMPARE(lists::queryRegister(*grid, tx, {u"相"_s, {}, {}, {}, {}, {}}), qint64(2));
        QCOMPARE(column(*grid, u"md"_s), (QStringList{u"张三"_s, u"王五"_s}));
        QCOMPARE(lists::queryRegister(*grid, tx, {u"不同"_s, u"四"_s, {}, {}, {}, {}}), qint64(1));
        QCOMPARE(lists::queryRegister(*grid, tx, {{}, {}, {}, {}, u"10"_s, {}}), qint64(1));
        QCOMPARE(column(*grid, u"md"_s), QStringList{u"赵六"_s});

        // The upper date covers its day, whatever time a row carries.
        QCOMPARE(
            lists::queryRegister(*grid, tx, {{}, {}, u"2026-12-09"_s, u"2026-12-09"_s, {}, {}}),
            qint64(1));
        QCOMPARE(column(*grid, u"md"_s), QStringList{u"钱七"_s});
        QVERIFY(p.messages.isEmpty());

        // A refused date leaves the rows shown.
        QCOMPARE(lists::queryRegister(*grid, tx, {{}, {}, {}, u"2026-02-30"_s, {}, {}}),
                 qint64(-1));
        QCOMPARE(p.messageLines(), QStringList{u"提示 / 请正确输入输入日期止"_s});
        QCOMPARE(grid->rowCount(), qint64(1));
    }

    void deleteInOneTransaction_data() {
        QTest::addColumn<bool>("selectedOnly");
        QTest::addColumn<bool>("blocked"); // a trigger refuses to delete the third row
        QTest::addColumn<qint64>("left");
        QTest::addColumn<QString>("message");
        QTest::newRow("selected") << true << false << qint64(3)
                                  << u"提示 / 删除成功，共删除 2 行。"_s;
        QTest::newRow("all") << false << false << qint64(0) << u"提示 / 删除成功，共删除 5 行。"_s;
        // Rows deleted before the failure come back: nothing is half done.
        QTest::newRow("all, third refused")
            << false << true << qint64(5) << u"删除失败 / 出错信息:locked\n没有删除任何行。"_s;
    }
    void deleteInOneTransaction() {
        QFETCH(bool, selectedOnly);
        QFETCH(bool, blocked);
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        db::Transaction &tx = data.tx;
        for (int i = 1; i <= 5; ++i)
            insert(tx, i, 1, QDateTime(QDate(2026, 12, 8), QTime(0, 0)), u"n%1"_s.arg(i),
                   u"相同"_s);
        if (blocked) {
            QVERIFY(data.refuse(u"DELETE"_s, u"locked"_s, u"OLD.bh = 3"_s));
        }
        auto grid = lists::makeHtmdcxGrid();
        QCOMPARE(lists::queryRegister(*grid, tx, {}), qint64(5));
        grid->selectRow(2, true);
        grid->selectRow(4, true);
        lists::deleteRegisterRows(*grid, tx, selectedOnly);
        QFETCH(QString, message);
        QCOMPARE(p.messageLines(), QStringList{message});
        QTEST(tableRows(tx), "left");
        // The rows stay on screen until the next query.
        QCOMPARE(grid->rowCount(), qint64(5));
    }

    // Deleting rows deleted already reports none; a stop undoes everything.
    void deleteCountsAndStops() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        db::Transaction &tx = data.tx;
        for (int i = 1; i <= 2500; ++i)
            QCOMPARE(db::insertRegister(tx, i, 1, QDateTime(QDate(2026, 1, 1), QTime(0, 0)), u"n"_s,
                                        u"相同"_s),
                     0);
        QCOMPARE(tx.commit(), 0);
        auto grid = lists::makeHtmdcxGrid();
        QCOMPARE(lists::queryRegister(*grid, tx, {}), qint64(2500));
        StopAfter stop;
        QCOMPARE(lists::deleteRegisterRows(*grid, tx, false, &stop), qint64(-1));
        QCOMPARE(tableRows(tx), qint64(2500));
        QCOMPARE(p.messageLines(), QStringList{u"删除失败 / 删除已中止。\n没有删除任何行。"_s});
        p.clearRecord();
        QCOMPARE(lists::deleteRegisterRows(*grid, tx, false), qint64(2500));
        QCOMPARE(lists::deleteRegisterRows(*grid, tx, false), qint64(0));
        QCOMPARE(p.messageLines(), (QStringList{u"提示 / 删除成功，共删除 2500 行。"_s,
                                                u"提示 / 删除成功，共删除 0 行。"_s}));
    }

    void remark() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        db::Transaction &tx = data.tx;
        insert(tx, 1, 1, QDateTime(QDate(2026, 12, 8), QTime(0, 0)), u"n"_s, u"相同"_s);
        auto bz = [&] { return tx.selectRow(u"SELECT bz FROM htt1 WHERE bh = 1"_s)->value(0); };
        QVERIFY(lists::storeRegisterRemark(tx, 1, u"  已核实 "_s));
        QCOMPARE(bz().toString(), u"已核实"_s);
        QVERIFY(lists::storeRegisterRemark(tx, 1, u"   "_s));
        QCOMPARE(bz().toString(), QString());
        QVERIFY(!bz().isNull());
        // A row deleted meanwhile takes nothing, and saying "saved" would be false.
        QVERIFY(!lists::storeRegisterRemark(tx, 7, u"x"_s));
        QCOMPARE(p.messageLines(),
                 (QStringList{u"提示 / 保存成功!"_s, u"提示 / 保存成功!"_s,
                              u"保存失败 / 出错信息:编号为 7 的记录已不存在（可能已被删除）"_s}));
    }
};

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
