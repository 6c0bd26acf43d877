#pragma once
// Shows a zorv::Grid to Qt's item views: one table row per shown grid row,
// one table column per grid column, header captions from the columns. The
// grid stays the only owner of the data; this adapter keeps nothing but the
// row count the views were last told about.

#include "core/grid/grid.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace zorv::gui {

class GridTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        // bool: the grid row is selected (SelectRow); views highlight it.
        SelectedRole = Qt::UserRole + 1,
        // QString: the name of the object: the column name for a cell, and
        // "<column>_t" for a header section (headerData).
        ObjectNameRole,
    };

    explicit GridTableModel(Grid *grid, QObject *parent = nullptr);

    Grid *grid() const { return m_grid; }
    // Cells can be edited in place (written through Grid::setItem).
    void setEditable(bool on) { m_editable = on; }
    bool editable() const { return m_editable; }

    // The 1-based grid row shown at table row `row` (0 when there is none).
    qint64 gridRow(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // An edit the grid refused: the value does not suit the column's type.
    void editRefused(qint64 row, int column, const QString &text);
    // The grid's current row changed (1-based).
    void currentRowChanged(qint64 row);

private:
    // The grid announces changes after making them; while a view is being
    // told (between begin… and end…) table rows are mapped around the change
    // so that the views still see the rows they knew.
    enum class Pending { None, Inserting, Removing };

    void onRowsInserted(qint64 first, qint64 count);
    void onRowsRemoved(qint64 first, qint64 count);
    void onCellChanged(qint64 row, int column);
    void onSelectionChanged();
    void resync();
    int gridRowCount() const;
    bool isCell(const QModelIndex &index) const;

    QPointer<Grid> m_grid;
    int m_rows = 0;
    int m_columns = 0;
    bool m_editable = true;
    Pending m_pending = Pending::None;
    int m_pendingFirst = 0;
    int m_pendingCount = 0;
};

} // namespace zorv::gui
