#pragma once
// The grid's own save-as: asks for a file through the platform's save dialog,
// picks the format from the chosen file type (or, failing that, the file's
// extension) and writes every shown row. Shared by every window's save-as button.

#include "core/grid/grid.h"

namespace zorv {

// The save dialog's filter: tab-separated text, CSV, Excel and HTML.
QString saveAsFilter();
// The format for a dialog's selected filter, or for the path's extension when
// no filter was reported; tab-separated text when neither says otherwise.
SaveFormat saveFormatFor(const QString &selectedFilter, const QString &path);
// Asks, saves, and shows "提示" with the reason when writing fails. False when
// the user cancelled or the save failed.
bool saveGridWithDialog(const Grid &grid);

} // namespace zorv
