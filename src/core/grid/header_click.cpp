#include "core/grid/header_click.h"

#include "core/grid/grid.h"
#include "core/platform/platform.h"

namespace zorv {
namespace {

constexpr QStringView kCaptionSuffix = u"_t";

bool sortByHeader(Grid &grid, const QString &objectName, bool &ib_flag) {
    const QString column = headerColumn(objectName);
    // Only a caption of one of the grid's own columns sorts; any other header
    // object leaves the grid and the toggle alone.
    if (column.isEmpty() || grid.columnNumber(column) == 0)
        return false;
    const QString spec = column + (ib_flag ? u" A" : u" D");
    ib_flag = !ib_flag;
    grid.setSort(spec);
    grid.sort();
    return true;
}

void selectRange(Grid &grid, qint64 row, qint64 anchor) {
    grid.selectRow(0, false);
    // Walks from the clicked row towards the anchor, both included.
    const qint64 step = anchor >= row ? 1 : -1;
    for (qint64 r = row;; r += step) {
        grid.selectRow(r, true);
        if (r == anchor)
            break;
    }
}

} // namespace

QString headerColumn(const QString &objectName) {
    if (objectName.size() <= kCaptionSuffix.size() || !objectName.endsWith(kCaptionSuffix))
        return {};
    return objectName.chopped(kCaptionSuffix.size());
}

GridClickOutcome handleGridClick(Grid &grid, qint64 row, const QString &objectName,
                                 GridClickVariant variant, bool &ib_flag, qint64 &i_lng_lastrow) {
    const bool shift = platform().shiftDown();
    const bool ctrl = platform().ctrlDown();

    if (variant != GridClickVariant::SelectOnly && !shift && !ctrl && row == 0)
        return sortByHeader(grid, objectName, ib_flag) ? GridClickOutcome::Sorted
                                                       : GridClickOutcome::Nothing;

    if (row <= 0 || row > grid.rowCount() || variant == GridClickVariant::SortOnly)
        return GridClickOutcome::Nothing;
    if (variant == GridClickVariant::SortAndSelect && !shift && !ctrl)
        return GridClickOutcome::Nothing; // a plain click selects nothing in these grids

    if (!shift) {
        i_lng_lastrow = row;
        if (!ctrl) {
            grid.selectRow(0, false);
            grid.selectRow(row, true);
        } else {
            grid.selectRow(row, !grid.isSelected(row));
        }
    } else if (i_lng_lastrow == 0) {
        grid.selectRow(row, true);
        i_lng_lastrow = row;
    } else {
        // Rows may have been deleted since the anchor was set.
        selectRange(grid, row, qMin(i_lng_lastrow, grid.rowCount()));
    }
    return GridClickOutcome::Selected;
}

} // namespace zorv
