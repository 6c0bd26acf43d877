#include "gui/sqllib/w_drsql.h"

#include "core/db/transaction.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
#include "core/platform/platform.h"
#include "core/sqllib/sql_import.h"
#include "gui/app/named.h"
#include "gui/app/uo_button.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/grid_view.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace zorv::gui {

w_drsql::w_drsql(QWidget *parent) : QWidget(parent), m_grid(sqllib::makeLoadsqlGrid()) {
    setObjectName(u"w_drsql"_s);
    setWindowTitle(u"导入SQL语句"_s);

    cb_17 = named<uo_button>(u"cb_17"_s, u"粘贴导入"_s, this);
    cb_17->setTag(u"粘贴的内容与顺序与数据窗口列名要一致"_s);
    cb_1 = named<QPushButton>(u"cb_1"_s, u"文件导入"_s, this);
    cb_2 = named<QPushButton>(u"cb_2"_s, u"保存"_s, this);
    cb_2->setEnabled(false);
    cb_3 = named<uo_close>(u"cb_3"_s, this);
    dw_1 = named<GridView>(u"dw_1"_s, this);
    dw_1->setGrid(m_grid.get());
    hpb_1 = named<QProgressBar>(u"hpb_1"_s, this);
    hpb_1->setRange(0, 100);
    hpb_1->setValue(0);
    hpb_1->setTextVisible(true);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b :
         {static_cast<QPushButton *>(cb_17), cb_1, cb_2, static_cast<QPushButton *>(cb_3)})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(dw_1, 1);
    layout->addWidget(hpb_1);
    resize(860, 540);

    connect(cb_17, &QPushButton::clicked, this, &w_drsql::cb_17_clicked);
    connect(cb_1, &QPushButton::clicked, this, &w_drsql::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_drsql::cb_2_clicked);
}

w_drsql::~w_drsql() = default;

void w_drsql::closeEvent(QCloseEvent *event) {
    // The save still works on the grid and the open transaction.
    if (m_busy) {
        platform().messageBox(u"提示"_s, u"保存未结束，不能关闭窗口（按 Esc 可中止保存）。"_s);
        event->ignore();
        return;
    }
    event->accept();
}

void w_drsql::cb_17_clicked() {
    if (imports::pasteImport(*m_grid).imported())
        cb_2->setEnabled(true);
}

void w_drsql::cb_1_clicked() {
    imports::ConnectFirstOptions options;
    options.noticeBeforeRows = true;
    if (imports::importSheetConnectFirst(*m_grid, options).imported()) {
        cb_1->setEnabled(false);
        cb_2->setEnabled(true);
    }
}

// One transaction for the whole save: on success the window returns to its
// empty state; on a failure or Esc nothing is stored and the rows stay.
void w_drsql::cb_2_clicked() {
    dw_1->acceptText();
    m_busy = true;
    sqllib::ImportSave r;
    {
        BusyGuard guard(hpb_1);
        r = sqllib::saveImport(db::sqlca(), *m_grid, &guard);
    }
    m_busy = false;
    sqllib::reportImportSave(r);
    if (!r.ok())
        return;
    cb_2->setEnabled(false);
    cb_1->setEnabled(true);
    m_grid->reset();
    hpb_1->setValue(0);
}

} // namespace zorv::gui
