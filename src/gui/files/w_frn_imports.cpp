// Step 1 of w_frn, the imports: a saved list or full paths from a
// spreadsheet (cb_15, cb_16) and the clipboard (cb_17); the grid's save-as.

#include "gui/files/w_frn.h"

#include "core/grid/grid.h"
#include "core/grid/grid_save_dialog.h"
#include "core/imports/cell_import.h"
#include "core/imports/paste_import.h"
#include "core/platform/platform.h"

#include <QCheckBox>

using namespace Qt::Literals::StringLiterals;

void w_frn::cb_15_clicked() {
    spreadsheetImport(true);
}

void w_frn::cb_16_clicked() {
    spreadsheetImport(false);
}

// The two spreadsheet imports read cell by cell; xhjs is false meanwhile, so
// the window refuses to close.
void w_frn::spreadsheetImport(bool sevenColumns) {
    namespace imports = zorv::imports;
    imports::CellImportOptions options;
    options.append = cbx_1->isChecked();
    options.busy = [this](bool done) { xhjs = done; };
    BusyScope busy(this);
    if (sevenColumns)
        imports::importCellsByColumn(*m_grid, imports::savedFileListSpec(), options, &busy);
    else
        imports::importPathsByCell(*m_grid, {}, options, &busy);
}

void w_frn::cb_17_clicked() {
    BusyScope busy(this);
    zorv::imports::pasteImport(*m_grid, !cbx_1->isChecked(), &busy);
}

// The grid's save-as: the user picks the file and, by its type, the format.
void w_frn::cb_11_clicked() {
    zorv::saveGridWithDialog(*m_grid);
}
