// Saving a list to the register: every row under the identification number
// and the day, in one transaction, so a failure half-way keeps nothing.
#include "core/db/transaction.h"
#include "core/lists/compare_grids.h"
#include "core/lists/register_save.h"
#include "core/platform/progress.h"
#include "lists_fixture.h"
#include "register_fixture.h"
#include "support/scripted_platform.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using zorv::db::Transaction;

namespace {

// The register's rows as "xh|bs|md|jg", in insertion order.
QStringList registerRows(Transaction &tx) {
    QStringList out;
    for (const QVariantList &r : tx.selectRows(u"SELECT xh, bs, md, jg FROM htt1 ORDER BY bh"_s)) {
        QStringList cells;
        for (const QVariant &v : r)
            cells << v.toString();
        out << cells.join(u'|');
    }
    return out;
}

} // namespace

class TestRegisterSave : public QObject {
    Q_OBJECT
private slots:
    void savesAndEmpties() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        Transaction &tx = data.tx;
        auto list = lists::makeListGrid(2);
        test::fillList(*list, {u"O'Neil"_s, u"张三"_s});
        list->setItem(2, lists::kJg, u"相同"_s);
        const lists::SaveOutcome out = lists::saveListToRegister(*list, 2, tx);
        QCOMPARE(out.end, lists::SaveEnd::Saved);
        QCOMPARE(out.rows, qint64(2));
        QCOMPARE(list->rowCount(), qint64(0));
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(registerRows(tx), (QStringList{u"1|2|O'Neil|不同"_s, u"2|2|张三|相同"_s}));
        const auto day = tx.selectRow(u"SELECT min(rq), max(rq) FROM htt1"_s);
        QVERIFY(day);
        QCOMPARE(day->at(0).toDateTime().date(), QDate::currentDate());
        QCOMPARE(day->at(1).toDateTime().date(), QDate::currentDate());
    }

    // The third insert fails: nothing of the list stays stored, the grid
    // keeps its rows, and saving again after the cause is gone stores each
    // row once.
    void failureKeepsNothing() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        Transaction &tx = data.tx;
        QVERIFY(data.refuse(u"INSERT"_s, u"no c here"_s, u"NEW.md = 'c'"_s));
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"a"_s, u"b"_s, u"c"_s, u"d"_s});
        const lists::SaveOutcome out = lists::saveListToRegister(*list, 1, tx);
        QCOMPARE(out.end, lists::SaveEnd::Failed);
        QCOMPARE(out.failedRow, qint64(3));
        QCOMPARE(registerRows(tx), QStringList{});
        QCOMPARE(list->rowCount(), qint64(4));
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].title, u"插入htt1表失败"_s);
        QVERIFY2(p.messages[0].text.startsWith(u"出错信息:"_s), qPrintable(p.messages[0].text));
        QVERIFY(p.messages[0].text.contains(u"no c here"_s));
        QVERIFY(p.messages[0].text.contains(u"没有保存任何行"_s));

        QVERIFY2(data.allow(u"INSERT"_s), qPrintable(tx.sqlerrtext()));
        QCOMPARE(lists::saveListToRegister(*list, 1, tx).end, lists::SaveEnd::Saved);
        QCOMPARE(registerRows(tx).size(), 4);
    }

    // A stop keeps nothing either, and the grid stays.
    void stopKeepsNothing() {
        test::ScriptedPlatform p;
        test::RegisterDb data;
        QVERIFY(data.connect());
        Transaction &tx = data.tx;
        auto list = lists::makeListGrid(1);
        test::fillList(*list, {u"a"_s, u"b"_s});
        struct Stop final : ProgressSink {
            bool stopRequested() override { return true; }
        } stop;
        QCOMPARE(lists::saveListToRegister(*list, 1, tx, &stop).end, lists::SaveEnd::Stopped);
        QCOMPARE(registerRows(tx), QStringList{});
        QCOMPARE(list->rowCount(), qint64(2));
        QCOMPARE(p.messageLines(), QStringList{u"提示 / 保存已中止，没有保存任何行。"_s});
    }
};

QTEST_GUILESS_MAIN(TestRegisterSave)
#include "test_register_save.moc"
