// Step 1 of w_frn: filling the grid, the row operations and the grid's mouse
// handling.

#include "gui/files/w_frn.h"

#include "core/files/row_ops.h"
#include "core/files/source_scan.h"
#include "core/grid/header_click.h"
#include "core/platform/open_file.h"
#include "core/platform/platform.h"
#include "gui/grid/grid_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
namespace files = zorv::files;

void w_frn::cb_1_clicked() {
    files::ScanOptions options;
    options.accumulate = cbx_1->isChecked();
    options.recursive = cbx_2->isChecked();
    options.hidden = cbx_4->isChecked();
    vpb_1->setValue(0);
    const auto chosen = zorv::platform().chooseFolder(u"选择欲批量更名的源文件所在文件夹"_s);
    {
        BusyScope busy(this);
        files::scanChosenSource(*m_grid, m_state, chosen, options, busy);
    }
    updatePreviewButton();
}

void w_frn::cb_14_clicked() {
    QFont font = cb_14->font();
    font.setItalic(true);
    cb_14->setFont(font);
    files::deleteSelectedRows(*m_grid);
    font.setItalic(false);
    cb_14->setFont(font);
    i_lng_lastrow = 0;
}

void w_frn::cb_13_clicked() {
    files::deleteSelectedFiles(*m_grid);
    i_lng_lastrow = 0;
}

void w_frn::cb_12_clicked() {
    files::showFolder(*m_grid, m_state);
}

void w_frn::cb_6_clicked() {
    zorv::platform().setClipboardText(m_grid->toTsv(true));
}

void w_frn::cb_8_clicked() {
    m_grid->reset();
    vpb_1->setValue(0);
    sle_1->clear();
    i_lng_lastrow = 0;
}

void w_frn::dw_1_doubleClicked(qint64 row, const QString &) {
    const files::FrnColumns c(*m_grid);
    const QString path = row >= 1 ? zorv::joinFolderAndName(m_grid->getItemString(row, c.ypath),
                                                            m_grid->getItemString(row, c.filey))
                                  : QString();
    zorv::openRowFile(row, path);
}

// Headers sort; rows are selected with Ctrl or Shift held only.
void w_frn::dw_1_clicked(qint64 row, const QString &object) {
    zorv::handleGridClick(*m_grid, row, object, zorv::GridClickVariant::SortAndSelect, ib_flag,
                          i_lng_lastrow);
}
