#include "gui/grid/grid_table_model.h"

#include "core/grid/grid.h"

#include <limits>

namespace zorv::gui {

GridTableModel::GridTableModel(Grid *grid, QObject *parent)
    : QAbstractTableModel(parent), m_grid(grid) {
    if (grid) {
        connect(grid, &Grid::modelReset, this, &GridTableModel::resync);
        connect(grid, &Grid::rowsInserted, this, &GridTableModel::onRowsInserted);
        connect(grid, &Grid::rowsRemoved, this, &GridTableModel::onRowsRemoved);
        connect(grid, &Grid::cellChanged, this, &GridTableModel::onCellChanged);
        connect(grid, &Grid::selectionChanged, this, &GridTableModel::onSelectionChanged);
        connect(grid, &Grid::currentRowChanged, this, &GridTableModel::currentRowChanged);
        connect(grid, &QObject::destroyed, this, &GridTableModel::resync);
        m_rows = gridRowCount();
        m_columns = grid->columnCount();
    }
}

int GridTableModel::gridRowCount() const {
    if (!m_grid)
        return 0;
    return int(qMin<qint64>(m_grid->rowCount(), std::numeric_limits<int>::max()));
}

qint64 GridTableModel::gridRow(int row) const {
    if (row < 0 || row >= m_rows)
        return 0;
    switch (m_pending) {
    case Pending::None:
        return row + 1;
    case Pending::Inserting:
        return row < m_pendingFirst ? row + 1 : qint64(row) + m_pendingCount + 1;
    case Pending::Removing:
        if (row < m_pendingFirst)
            return row + 1;
        if (row < m_pendingFirst + m_pendingCount)
            return 0; // already gone from the grid
        return qint64(row) - m_pendingCount + 1;
    }
    return 0;
}

bool GridTableModel::isCell(const QModelIndex &index) const {
    return index.isValid() && index.model() == this && index.row() < m_rows &&
           index.column() < m_columns;
}

int GridTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant GridTableModel::data(const QModelIndex &index, int role) const {
    if (!m_grid || !isCell(index))
        return {};
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::ToolTipRole: {
        const qint64 row = gridRow(index.row());
        return row > 0 ? m_grid->getItemString(row, column) : QString();
    }
    case Qt::TextAlignmentRole:
        if (m_grid->columns().at(index.column()).type == ColType::Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case SelectedRole: {
        const qint64 row = gridRow(index.row());
        return row > 0 && m_grid->isSelected(row);
    }
    case ObjectNameRole:
        return m_grid->columns().at(index.column()).name;
    default:
        return {};
    }
}

bool GridTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!m_grid || role != Qt::EditRole || !m_editable || !isCell(index))
        return false;
    const qint64 row = gridRow(index.row());
    if (row <= 0)
        return false;
    const int column = index.column() + 1;
    if (value.toString() == m_grid->getItemString(row, column))
        return true; // an editor closed without a change: keep the cell as it is
    const bool wasRedraw = m_grid->redraw();
    // Typed text is converted as an imported field would be.
    const bool written = value.typeId() == QMetaType::QString
                             ? m_grid->setItem(row, column, value.toString())
                             : m_grid->setItem(row, column, value);
    if (!written) {
        emit editRefused(row, column, value.toString());
        return false;
    }
    if (!wasRedraw) // the grid sent nothing: show the edit anyway
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return true;
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex &index) const {
    if (!isCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < m_rows)
            return section + 1;
        return {};
    }
    if (!m_grid || section < 0 || section >= m_columns)
        return {};
    const Column &c = m_grid->columns().at(section);
    switch (role) {
    case Qt::DisplayRole:
        return c.caption.isEmpty() ? c.name : c.caption;
    case Qt::ToolTipRole:
        return c.caption;
    case ObjectNameRole:
        return QString(c.name + u"_t");
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    default:
        return {};
    }
}

void GridTableModel::onRowsInserted(qint64 first, qint64 count) {
    const qint64 start = first - 1;
    if (count <= 0 || start < 0 || start > m_rows || qint64(m_rows) + count != m_grid->rowCount()) {
        resync(); // out of step with what the views know: start over
        return;
    }
    m_pending = Pending::Inserting;
    m_pendingFirst = int(start);
    m_pendingCount = int(count);
    beginInsertRows({}, int(start), int(start + count - 1));
    m_pending = Pending::None;
    m_rows += int(count);
    endInsertRows();
}

void GridTableModel::onRowsRemoved(qint64 first, qint64 count) {
    const qint64 start = first - 1;
    if (count <= 0 || start < 0 || start + count > m_rows ||
        qint64(m_rows) - count != m_grid->rowCount()) {
        resync();
        return;
    }
    m_pending = Pending::Removing;
    m_pendingFirst = int(start);
    m_pendingCount = int(count);
    beginRemoveRows({}, int(start), int(start + count - 1));
    m_pending = Pending::None;
    m_rows -= int(count);
    endRemoveRows();
}

void GridTableModel::onCellChanged(qint64 row, int column) {
    if (row < 1 || row > m_rows || column < 1 || column > m_columns)
        return;
    const QModelIndex i = index(int(row - 1), column - 1);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
}

void GridTableModel::onSelectionChanged() {
    if (m_rows == 0 || m_columns == 0)
        return;
    // One signal for the whole table: views repaint what they show, no per-row work.
    emit dataChanged(index(0, 0), index(m_rows - 1, m_columns - 1), {SelectedRole});
}

void GridTableModel::resync() {
    beginResetModel();
    m_rows = gridRowCount();
    m_columns = m_grid ? m_grid->columnCount() : 0;
    m_pending = Pending::None;
    endResetModel();
}

} // namespace zorv::gui
