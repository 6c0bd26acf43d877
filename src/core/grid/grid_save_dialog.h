#pragma once
// The grid's own save-as: asks for a file through the platform's save dialog,
// picks the format from the chosen file type and the typed name, and writes
// every shown row. Shared by every window's save-as button.

#include "core/grid/grid.h"

namespace zorv {

// The save dialog's filter: tab-separated text, CSV, Excel and HTML.
QString saveAsFilter();
struct SaveTarget {
    QString path;
    SaveFormat format;
};
// What a save-as writes for the dialog's selected filter and the typed path.
// A typed extension of a known type (.txt, .csv, .xlsx, .htm/.html) selects
// that type whatever the filter says; otherwise the filter's type is written
// (tab-separated text when none was reported) and a name without an
// extension gets that type's extension.
SaveTarget saveTargetFor(const QString &selectedFilter, const QString &path);
// Asks, saves, and shows "提示" with the reason when writing fails. False when
// the user cancelled or the save failed.
bool saveGridWithDialog(const Grid &grid);

} // namespace zorv
