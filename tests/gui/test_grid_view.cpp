// The grid widget: object names under the pointer, click signals with 1-based
// rows, zoom, highlighted selection, in-place editing, suspended painting.
#include "core/grid/grid.h"
#include "gui/grid/grid_table_model.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QtTest>

using zorv::ColType;
using zorv::Column;
using zorv::Grid;
using zorv::gui::GridView;

namespace {

QList<Column> fileColumns() {
    return {{QStringLiteral("xh"), ColType::Number, QStringLiteral("序号"), 0},
            {QStringLiteral("ypath"), ColType::String, QStringLiteral("源文件路径"), 255},
            {QStringLiteral("filey"), ColType::String, QStringLiteral("源文件名"), 255}};
}

class CountingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable int paints = 0;
    void paint(QPainter *p, const QStyleOptionViewItem &o, const QModelIndex &i) const override {
        ++paints;
        QStyledItemDelegate::paint(p, o, i);
    }
};

} // namespace

class TestGridView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void objectNamesUnderThePointer_data();
    void objectNamesUnderThePointer();
    void clicksCarryRowAndObjectName();
    void clickMakesTheRowCurrent();
    void zoomScalesFontRowsAndColumns();
    void selectedRowsAreHighlighted();
    void editingWritesThroughSetItem();
    void paintingWaitsForRedraw();
    void columnWidthsSurviveAReset();
    void summaryLineCountsTheRows();
    void viewFollowsTheGridsCurrentRow();

private:
    QPoint cellCenter(int row0, int column0) const {
        const QRect r = m_view->visualRect(m_model()->index(row0, column0));
        return m_view->viewport()->mapTo(m_view, r.center());
    }
    QPoint headerCenter(int column0) const {
        QHeaderView *h = m_view->horizontalHeader();
        const int x = h->sectionViewportPosition(column0) + h->sectionSize(column0) / 2;
        return h->viewport()->mapTo(m_view, QPoint(x, h->height() / 2));
    }
    QAbstractItemModel *m_model() const { return m_view->model(); }

    Grid *m_grid = nullptr;
    GridView *m_view = nullptr;
};

void TestGridView::init() {
    m_grid = new Grid(fileColumns());
    for (int i = 1; i <= 5; ++i) {
        const qint64 r = m_grid->insertRow(0);
        m_grid->setItem(r, QStringLiteral("xh"), i);
        m_grid->setItem(r, QStringLiteral("ypath"), QStringLiteral("/data/"));
        m_grid->setItem(r, QStringLiteral("filey"), QStringLiteral("文件%1.txt").arg(i));
    }
    m_view = new GridView;
    m_view->setGrid(m_grid);
    m_view->resize(600, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
}

void TestGridView::cleanup() {
    delete m_view;
    delete m_grid;
}

void TestGridView::objectNamesUnderThePointer_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<qint64>("row");
    QTest::addColumn<QString>("name");
    QTest::newRow("header caption") << "header 2" << qint64(0) << "filey_t";
    QTest::newRow("first header") << "header 0" << qint64(0) << "xh_t";
    QTest::newRow("cell") << "cell 3 2" << qint64(4) << "filey";
    QTest::newRow("number cell") << "cell 0 0" << qint64(1) << "xh";
    QTest::newRow("below the rows") << "empty" << qint64(0) << "";
}

void TestGridView::objectNamesUnderThePointer() {
    QFETCH(QString, where);
    QFETCH(qint64, row);
    QFETCH(QString, name);
    const QStringList w = where.split(u' ');
    QPoint pos;
    if (w[0] == u"header")
        pos = headerCenter(w[1].toInt());
    else if (w[0] == u"cell")
        pos = cellCenter(w[1].toInt(), w[2].toInt());
    else
        pos = m_view->viewport()->mapTo(m_view, QPoint(5, m_view->viewport()->height() - 5));
    QCOMPARE(m_view->rowAtPoint(pos), row);
    QCOMPARE(m_view->objectNameAt(pos), name);
}

void TestGridView::clicksCarryRowAndObjectName() {
    QSignalSpy clicked(m_view, &GridView::clicked);
    QSignalSpy doubled(m_view, &GridView::doubleClicked);

    const auto inViewport = [this](QPoint p) { return m_view->viewport()->mapFrom(m_view, p); };
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, inViewport(cellCenter(1, 2)));
    QHeaderView *h = m_view->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      h->viewport()->mapFrom(m_view, headerCenter(1)));
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {},
                      QPoint(5, m_view->viewport()->height() - 5));
    QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, inViewport(cellCenter(0, 0)));

    QCOMPARE(clicked.count(), 3);
    QCOMPARE(clicked.at(0).at(0).toLongLong(), 2);
    QCOMPARE(clicked.at(0).at(1).toString(), QStringLiteral("filey"));
    QCOMPARE(clicked.at(1).at(0).toLongLong(), 0);
    QCOMPARE(clicked.at(1).at(1).toString(), QStringLiteral("ypath_t"));
    QCOMPARE(clicked.at(2).at(0).toLongLong(), 0);
    QCOMPARE(clicked.at(2).at(1).toString(), QString());

    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, inViewport(cellCenter(4, 1)));
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {},
                       QPoint(5, m_view->viewport()->height() - 5));
    QCOMPARE(doubled.count(), 2);
    QCOMPARE(doubled.at(0).at(0).toLongLong(), 5);
    QCOMPARE(doubled.at(0).at(1).toString(), QStringLiteral("ypath"));
    QCOMPARE(doubled.at(1).at(0).toLongLong(), 0);
    QCOMPARE(m_grid->getItemString(5, QStringLiteral("ypath")), QStringLiteral("/data/"));
}

void TestGridView::clickMakesTheRowCurrent() {
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {},
                      m_view->viewport()->mapFrom(m_view, cellCenter(2, 1)));
    QCOMPARE(m_grid->getRow(), 3);
    QCOMPARE(m_grid->selectedCount(), 0); // a click alone selects nothing
}

void TestGridView::zoomScalesFontRowsAndColumns() {
    QCOMPARE(m_view->zoom(), 100);
    const qreal points = m_view->font().pointSizeF();
    const int rowHeight = m_view->rowHeight(0);
    const int width = m_view->columnWidth(2);

    m_view->setZoom(80);
    QCOMPARE(m_view->zoom(), 80);
    QVERIFY(qAbs(m_view->font().pointSizeF() - points * 0.8) < 0.01);
    QVERIFY(m_view->rowHeight(0) < rowHeight);
    QCOMPARE(m_view->columnWidth(2), qRound(width * 0.8));
    QCOMPARE(m_view->rowHeight(4), m_view->rowHeight(0)); // one height for all rows

    m_view->setZoom(141);
    QVERIFY(m_view->rowHeight(0) > rowHeight);
    QCOMPARE(m_view->columnWidth(2), qRound(width * 1.41));

    m_view->setZoom(100);
    QCOMPARE(m_view->font().pointSizeF(), points);
    QCOMPARE(m_view->rowHeight(0), rowHeight);
    QCOMPARE(m_view->columnWidth(2), width);

    m_view->setZoom(-5);
    QCOMPARE(m_view->zoom(), 10);
}

void TestGridView::selectedRowsAreHighlighted() {
    m_grid->selectRow(2, true);
    const QImage shot = m_view->viewport()->grab().toImage();
    const QColor highlight = m_view->palette().color(QPalette::Active, QPalette::Highlight);
    const auto colourAt = [&](int row0) {
        const QRect r = m_view->visualRect(m_model()->index(row0, 1));
        return QColor(shot.pixel(r.right() - 3, r.center().y()));
    };
    QCOMPARE(colourAt(1), highlight);
    QVERIFY(colourAt(0) != highlight);
    QVERIFY(colourAt(2) != highlight);
}

void TestGridView::editingWritesThroughSetItem() {
    const QModelIndex idx = m_model()->index(1, 2);
    m_view->setCurrentIndex(idx);
    m_view->edit(idx);
    auto *editor = qobject_cast<QLineEdit *>(m_view->indexWidget(idx));
    QVERIFY(editor);
    editor->setText(QStringLiteral("新名 2.txt"));
    m_view->acceptText();
    QCOMPARE(m_grid->getItemString(2, QStringLiteral("filey")), QStringLiteral("新名 2.txt"));

    // A number column refuses text: the cell keeps its value and the user is told.
    zorv::test::ScriptedPlatform platform;
    const QModelIndex num = m_model()->index(1, 0);
    m_view->setCurrentIndex(num);
    m_view->edit(num);
    editor = qobject_cast<QLineEdit *>(m_view->indexWidget(num));
    QVERIFY(editor);
    editor->setText(QStringLiteral("abc"));
    m_view->acceptText();
    QCOMPARE(m_grid->getItemNumber(2, QStringLiteral("xh")), 2.0);
    QCOMPARE(platform.statusText(), QStringLiteral("该列只能输入数字，单元格未修改"));
}

void TestGridView::paintingWaitsForRedraw() {
    auto *counter = new CountingDelegate(m_view);
    m_view->setItemDelegateForColumn(2, counter);
    m_grid->setRedraw(false);
    m_grid->insertRow(0);
    m_view->viewport()->repaint();
    QCOMPARE(counter->paints, 0);
    m_grid->setRedraw(true);
    m_view->viewport()->repaint();
    QCOMPARE(counter->paints, 6);
}

void TestGridView::columnWidthsSurviveAReset() {
    m_view->setColumnWidth(1, 333);
    m_view->setZoom(50);
    m_grid->setRedraw(false);
    m_grid->setRedraw(true); // the grid announces a reset
    QCOMPARE(m_view->columnWidth(1), qRound(333 * 0.5));
    m_view->setZoom(100);
    QCOMPARE(m_view->columnWidth(1), 333);

    // A column widened at another zoom keeps its width at natural size.
    m_view->setZoom(141);
    m_view->setColumnWidth(2, 282);
    m_view->setZoom(100);
    QCOMPARE(m_view->columnWidth(2), 200);
}

void TestGridView::summaryLineCountsTheRows() {
    auto *summary = m_view->findChild<QLabel *>(QStringLiteral("summary"));
    QVERIFY(summary);
    QVERIFY(summary->isVisible());
    QCOMPARE(summary->text(), QStringLiteral("总数:5"));
    m_grid->deleteRow(1);
    QCOMPARE(summary->text(), QStringLiteral("总数:4"));
    m_grid->setRedraw(false);
    m_grid->insertRow(0);
    m_grid->insertRow(0);
    m_grid->setRedraw(true);
    QCOMPARE(summary->text(), QStringLiteral("总数:6"));

    Grid plain(fileColumns());
    plain.setSummary(false);
    m_view->setGrid(&plain);
    QVERIFY(!summary->isVisible());
    m_view->setGrid(nullptr);
}

void TestGridView::viewFollowsTheGridsCurrentRow() {
    m_grid->setRow(4);
    QCOMPARE(m_view->currentIndex().row(), 3);
    m_view->setCurrentIndex(m_model()->index(1, 2));
    QCOMPARE(m_grid->getRow(), 2);
}

QTEST_MAIN(TestGridView)
#include "test_grid_view.moc"
