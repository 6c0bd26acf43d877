#include "gui/lists/w_hbbl.h"

#include "core/lists/merge.h"
#include "core/platform/platform.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/list_buttons.h"
#include "gui/lists/w_hbbl_parts.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;
using namespace zorv::gui::hmal;

w_hbbl::w_hbbl(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_hbbl"_s);
    setWindowTitle(u"合并B列（A列相同时）"_s);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_grid = zorv::lists::makeHmalGrid();
    buildControls();
    setFixedSize(987, 548);
}

w_hbbl::~w_hbbl() = default;

void w_hbbl::buildControls() {
    dw_1 = place<zorv::gui::GridView>(this, u"dw_1"_s, QRect(48, 56, 728, 336));
    dw_1->setGrid(m_grid.get());
    const ListButtons b = buildListButtons(this, {824, 72}, u"2、合    并"_s, u"；"_s, *m_grid,
                                           [this]() -> zorv::Grid & { return *m_grid; });
    sle_1 = b.separator;
    connect(b.run, &QPushButton::clicked, this, &w_hbbl::cb_11_clicked);
}

void w_hbbl::cb_11_clicked() {
    zorv::lists::mergeColumnB(*m_grid, zorv::lists::separatorOf(sle_1->text()));
    zorv::platform().messageBox(QString(), u"合并结束"_s);
}
