#pragma once
// The data grid widget: a table view over a zorv::Grid.
//
// Rows are addressed 1-based, as the windows do; row 0 means the header or
// the empty area. Every visible thing under the pointer has an object name:
// a header caption is "<column>_t", a cell is its column name, anything else
// is "". objectNameAt() answers for a point, and the same names are exposed
// by the model (GridTableModel::ObjectNameRole, in headerData for captions).
//
// All rows have one height and no row is measured, so a grid of a million
// rows opens and scrolls at once. The view has no selection of its own: rows
// selected in the grid (Grid::selectRow) are highlighted. While the grid's
// redraw is off the view does not paint, and the screen keeps its last image.
// A grid with a summary line (Grid::hasSummary) shows it beside the
// horizontal scroll bar, which then stays visible.

#include <QTableView>

class QLabel;

namespace zorv {
class Grid;
}

namespace zorv::gui {

class GridTableModel;

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);

    // Shows grid (not owned; may be null). Column widths come from the captions
    // and the columns' declared lengths.
    void setGrid(Grid *grid);
    Grid *grid() const;
    GridTableModel *gridModel() const { return m_model; }

    // Scale of the contents in percent (100 = natural size): fonts, row height
    // and column widths. Values outside 10..1000 are clamped.
    void setZoom(int percent);
    int zoom() const { return m_zoom; }

    // In-place editing of cells (on by default); edits go through Grid::setItem.
    void setEditable(bool on);

    // What lies under pos (in this widget's coordinates): the 1-based row
    // (0 on the header or empty area) and the object name.
    qint64 rowAtPoint(const QPoint &pos) const;
    QString objectNameAt(const QPoint &pos) const;

    // Commits the cell being edited, if any.
    void acceptText();

signals:
    // A left click (on press) and a double-click on the grid; row is 1-based,
    // 0 on the header or the empty area; objectName as objectNameAt().
    void clicked(qint64 row, const QString &objectName);
    void doubleClicked(qint64 row, const QString &objectName);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void applyZoom();
    void updateSummary();
    void followCurrentRow(qint64 row);
    void initColumnWidths();
    void onSectionResized(int logical, int oldSize, int newSize);
    void onHeaderClicked(int logical);
    void onHeaderDoubleClicked(int logical);
    QPoint toViewport(const QPoint &widgetPos) const;

    GridTableModel *m_model = nullptr;
    QLabel *m_summary = nullptr;
    QFont m_baseFont;
    QList<int> m_baseWidths; // column widths at zoom 100
    int m_zoom = 100;
    bool m_applyingZoom = false;
};

} // namespace zorv::gui
