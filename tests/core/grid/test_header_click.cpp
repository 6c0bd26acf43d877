// Header sorting and Ctrl/Shift row selection shared by the list grids.
#include "core/grid/grid.h"
#include "core/grid/header_click.h"
#include "support/scripted_platform.h"

#include <QtTest>

using zorv::ColType;
using zorv::Grid;
using zorv::GridClickOutcome;
using zorv::GridClickVariant;
using zorv::handleGridClick;

Q_DECLARE_METATYPE(GridClickVariant)

namespace {

// Ten rows: al = 1..10, md = "m10".."m01" (the reverse order).
std::unique_ptr<Grid> makeGrid() {
    auto g = std::make_unique<Grid>(
        QList<zorv::Column>{{QStringLiteral("al"), ColType::Number, QStringLiteral("序号"), 0},
                            {QStringLiteral("md"), ColType::String, QStringLiteral("名单"), 255}});
    for (int i = 1; i <= 10; ++i) {
        const qint64 r = g->insertRow(0);
        g->setItem(r, QStringLiteral("al"), i);
        g->setItem(r, QStringLiteral("md"), QStringLiteral("m%1").arg(11 - i, 2, 10, QChar(u'0')));
    }
    return g;
}

QString column(const Grid &g, const QString &name) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        out << g.getItemString(r, name);
    return out.join(u',');
}

QString selectedRows(const Grid &g) {
    QStringList out;
    for (qint64 r = 1; r <= g.rowCount(); ++r)
        if (g.isSelected(r))
            out << QString::number(r);
    return out.join(u',');
}

} // namespace

class TestHeaderClick : public QObject {
    Q_OBJECT
private slots:
    void headerClicksAlternateWhicheverHeader();
    void headerWithModifierOrUnknownCaptionDoesNotSort_data();
    void headerWithModifierOrUnknownCaptionDoesNotSort();
    void rowClicks_data();
    void rowClicks();
};

void TestHeaderClick::headerClicksAlternateWhicheverHeader() {
    zorv::test::ScriptedPlatform platform;
    auto g = makeGrid();
    bool ib_flag = false;
    qint64 anchor = 0;

    QCOMPARE(
        handleGridClick(*g, 0, QStringLiteral("al_t"), GridClickVariant::SortOnly, ib_flag, anchor),
        GridClickOutcome::Sorted);
    QCOMPARE(column(*g, QStringLiteral("al")), QStringLiteral("10,9,8,7,6,5,4,3,2,1"));
    QVERIFY(ib_flag);

    // The toggle belongs to the window: another header now sorts ascending.
    QCOMPARE(handleGridClick(*g, 0, QStringLiteral("md_t"), GridClickVariant::SortAndSelect,
                             ib_flag, anchor),
             GridClickOutcome::Sorted);
    QCOMPARE(column(*g, QStringLiteral("md")),
             QStringLiteral("m01,m02,m03,m04,m05,m06,m07,m08,m09,m10"));
    QVERIFY(!ib_flag);

    handleGridClick(*g, 0, QStringLiteral("al_t"), GridClickVariant::SortOnly, ib_flag, anchor);
    QCOMPARE(column(*g, QStringLiteral("al")), QStringLiteral("10,9,8,7,6,5,4,3,2,1"));
    handleGridClick(*g, 0, QStringLiteral("al_t"), GridClickVariant::SortOnly, ib_flag, anchor);
    QCOMPARE(column(*g, QStringLiteral("al")), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    QCOMPARE(g->selectedCount(), 0);
}

void TestHeaderClick::headerWithModifierOrUnknownCaptionDoesNotSort_data() {
    QTest::addColumn<GridClickVariant>("variant");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QString>("object");
    QTest::newRow("ctrl on header") << GridClickVariant::SortAndSelect << false << true << "al_t";
    QTest::newRow("shift on header") << GridClickVariant::SortOnly << true << false << "al_t";
    QTest::newRow("selection-only grid")
        << GridClickVariant::SelectOnly << false << false << "al_t";
    QTest::newRow("not a column") << GridClickVariant::SortOnly << false << false << "zz_t";
    QTest::newRow("bare suffix") << GridClickVariant::SortOnly << false << false << "_t";
    QTest::newRow("empty area") << GridClickVariant::SortAndSelect << false << false << "";
}

void TestHeaderClick::headerWithModifierOrUnknownCaptionDoesNotSort() {
    QFETCH(GridClickVariant, variant);
    QFETCH(bool, shift);
    QFETCH(bool, ctrl);
    QFETCH(QString, object);
    zorv::test::ScriptedPlatform platform;
    platform.shift = shift;
    platform.ctrl = ctrl;
    auto g = makeGrid();
    bool ib_flag = false;
    qint64 anchor = 4;
    QCOMPARE(handleGridClick(*g, 0, object, variant, ib_flag, anchor), GridClickOutcome::Nothing);
    QCOMPARE(column(*g, QStringLiteral("al")), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
    QVERIFY(!ib_flag);
    QCOMPARE(anchor, 4);
    QCOMPARE(g->selectedCount(), 0);
}

void TestHeaderClick::rowClicks_data() {
    // clicks: "<modifier><row>" separated by blanks; modifier C = Ctrl,
    // S = Shift, P = plain. Rows 2 and 5 start selected where preselect says so.
    QTest::addColumn<GridClickVariant>("variant");
    QTest::addColumn<bool>("preselect");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<qint64>("anchor");
    const auto both = GridClickVariant::SortAndSelect;
    const auto only = GridClickVariant::SelectOnly;
    QTest::newRow("ctrl 7, shift 3") << both << false << "C7 S3"
                                     << "3,4,5,6,7" << qint64(7);
    QTest::newRow("then shift 9") << both << false << "C7 S3 S9"
                                  << "7,8,9" << qint64(7);
    QTest::newRow("plain click keeps selection") << both << true << "P4"
                                                 << "2,5" << qint64(0);
    QTest::newRow("plain click sets no anchor") << both << false << "P4 S6"
                                                << "6" << qint64(6);
    QTest::newRow("shift without anchor keeps others") << both << true << "S8"
                                                       << "2,5,8" << qint64(8);
    QTest::newRow("shift on the anchor") << both << true << "C4 S4"
                                         << "4" << qint64(4);
    QTest::newRow("ctrl toggles") << both << true << "C5 C3"
                                  << "2,3" << qint64(3);
    QTest::newRow("ctrl twice") << both << false << "C3 C3"
                                << "" << qint64(3);
    QTest::newRow("plain selects one") << only << true << "P4"
                                       << "4" << qint64(4);
    QTest::newRow("plain then shift") << only << false << "P9 S6"
                                      << "6,7,8,9" << qint64(9);
    QTest::newRow("plain, ctrl, shift") << only << false << "P2 C4 S5"
                                        << "4,5" << qint64(4);
    QTest::newRow("sorting grid ignores rows") << GridClickVariant::SortOnly << true << "C4 S8"
                                               << "2,5" << qint64(0);
    QTest::newRow("empty area") << only << true << "P0 C0 S0"
                                << "2,5" << qint64(0);
    QTest::newRow("beyond the last row") << only << true << "P11"
                                         << "2,5" << qint64(0);
}

void TestHeaderClick::rowClicks() {
    QFETCH(GridClickVariant, variant);
    QFETCH(bool, preselect);
    QFETCH(QString, clicks);
    QFETCH(QString, selected);
    QFETCH(qint64, anchor);
    zorv::test::ScriptedPlatform platform;
    auto g = makeGrid();
    if (preselect) {
        g->selectRow(2, true);
        g->selectRow(5, true);
    }
    bool ib_flag = false;
    qint64 lastRow = 0;
    for (const QString &click : clicks.split(u' ')) {
        platform.ctrl = click.startsWith(u'C');
        platform.shift = click.startsWith(u'S');
        handleGridClick(*g, click.mid(1).toLongLong(), QStringLiteral("md"), variant, ib_flag,
                        lastRow);
    }
    QCOMPARE(selectedRows(*g), selected);
    QCOMPARE(lastRow, anchor);
    QVERIFY(!ib_flag);
    QCOMPARE(column(*g, QStringLiteral("al")), QStringLiteral("1,2,3,4,5,6,7,8,9,10"));
}

QTEST_GUILESS_MAIN(TestHeaderClick)
#include "test_header_click.moc"
