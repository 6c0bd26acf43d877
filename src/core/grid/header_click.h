#pragma once
// The clicked handler shared by the list grids: a click on a column header
// sorts by that column, alternating descending and ascending, and Ctrl or
// Shift clicks on rows build a multi-row selection. Shift and Ctrl are read
// through zorv::platform() at the time of the call.
//
// The sort toggle (ib_flag, initially false) and the selection anchor
// (i_lng_lastrow, initially 0) belong to the window and are shared by all
// its grids, so the window passes them in by reference.

#include <QString>
#include <QtGlobal>

namespace zorv {

class Grid;

enum class GridClickVariant {
    SortOnly,      // header sorting only
    SortAndSelect, // header sorting; rows selected only with Ctrl or Shift held
    SelectOnly,    // row selection, plain clicks included; headers do not sort
};

enum class GridClickOutcome { Nothing, Sorted, Selected };

// row: the clicked 1-based row, 0 on the header or the empty area.
// objectName: the object under the pointer ("<column>_t" for a header caption).
GridClickOutcome handleGridClick(Grid &grid, qint64 row, const QString &objectName,
                                 GridClickVariant variant, bool &ib_flag, qint64 &i_lng_lastrow);

// The column a header caption object stands for ("filey_t" → "filey"); empty
// when objectName is not a caption.
QString headerColumn(const QString &objectName);

} // namespace zorv
