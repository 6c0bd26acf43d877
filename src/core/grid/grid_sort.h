#pragma once
// Sort strings ("al A", "md   A", "xh", "a A, b D", "#2 D") and the
// stable multi-key sort of row buffers. Text compares by character code,
// numbers and date-times by value; empty cells come first when ascending.

#include "core/grid/grid_expr.h"

#include <vector>

namespace zorv::gridimpl {

struct SortKey {
    int column = 0; // 0-based
    bool descending = false;
};

// Parses a sort string; false with a message when a column is unknown or a
// direction is neither "A" nor "D". An empty sort string gives no keys.
bool parseSortSpec(const QString &spec, const ColumnNames &names, int columnCount,
                   std::vector<SortKey> &keys, QString *error = nullptr);

// Sorts rows stably by the keys.
void sortRows(const Storage &store, const std::vector<SortKey> &keys, std::vector<RowId> &rows);

// Compares two rows by the keys: negative, zero or positive.
int compareRows(const Storage &store, const std::vector<SortKey> &keys, RowId a, RowId b);

} // namespace zorv::gridimpl
