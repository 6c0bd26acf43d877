#pragma once
// The grid model's private state, shared by the files that implement Grid.
//
// Rows live in Storage under fixed ids. The display order is held in two
// buffers of ids, the shown rows and the filtered-out rows. Every row also
// carries an order key placing it among all rows, shown or not; both buffers
// stay in key order, so a new filter brings rows back where they stood. A sort
// renumbers the keys in the new order, an insertion between rows shifts them.

#include "core/grid/grid.h"
#include "core/grid/grid_expr.h"
#include "core/grid/grid_index.h"
#include "core/grid/grid_sort.h"

#include <memory>
#include <vector>

namespace zorv {

struct Grid::Impl {
    using RowId = gridimpl::RowId;

    QList<Column> columns;
    gridimpl::ColumnNames names;
    gridimpl::Storage store;
    std::vector<RowId> shown;
    std::vector<RowId> hidden;
    std::vector<std::uint64_t> order;   // by id
    std::vector<std::uint8_t> selected; // by id
    qint64 selectedCount = 0;
    std::uint64_t nextOrder = 0;
    std::size_t deadRows = 0; // deleted rows still holding an id
    qint64 current = 0;
    bool redraw = true;

    QString filterText;
    std::unique_ptr<gridimpl::Expr> filterExpr;
    QString sortText;
    std::vector<gridimpl::SortKey> sortKeys;

    // Equality-find indexes by column, built on demand.
    std::vector<std::unique_ptr<gridimpl::TextIndex>> indexes;
    // The last general find expression, reused while the text is the same.
    QString findText;
    std::unique_ptr<gridimpl::Expr> findExpr;
    std::string literal; // scratch for equality finds

    bool summaryShown = true;
    QString summaryLabel;

    qint64 count() const { return qint64(shown.size()); }
    bool validRow(qint64 row) const { return row >= 1 && row <= count(); }
    bool validColumn(int column) const { return column >= 1 && column <= columns.size(); }
    RowId id(qint64 row) const { return shown[std::size_t(row - 1)]; }

    RowId newRow();
    void dropIndexes() {
        indexes.clear();
        indexes.resize(std::size_t(columns.size()));
    }
    void dropIndex(int c) { indexes[std::size_t(c)].reset(); }
    // Every row, shown or filtered out, in order-key order.
    std::vector<RowId> allRows() const;
    // Frees the ids of deleted rows once they outnumber the live ones.
    void compactIfSparse();
    void clearRows();
    // Moves every row where the filter fails to the filtered-out buffer and
    // every other row to the shown one; no signal.
    void applyFilter();
};

} // namespace zorv
