#include "gui/lists/w_hbbl.h"

#include "core/grid/grid_save_dialog.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
#include "core/lists/merge.h"
#include "core/platform/platform.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/grid_view.h"
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

    const QSize button(120, 30);
    cb_1 = tagButton(this, u"cb_1"_s, u"1、导入文件"_s, fileImportTag(), {{824, 72}, button});
    cb_17 = tagButton(this, u"cb_17"_s, u"1、粘贴导入"_s, pasteTag(), {{824, 160}, button});
    cb_11 = placeText<QPushButton>(this, u"cb_11"_s, u"2、合    并"_s, {{824, 248}, button});
    st_7 = placeText<QLabel>(this, u"st_7"_s, u"分隔符："_s, QRect(832, 304, 64, 24));
    sle_1 = placeText<QLineEdit>(this, u"sle_1"_s, u"；"_s, QRect(896, 300, 40, 28));

    const QSize low(110, 30);
    cb_8 = placeText<QPushButton>(this, u"cb_8"_s, u"清空"_s, {{48, 424}, low});
    cb_3 = placeText<QPushButton>(this, u"cb_3"_s, u"重复过滤"_s, {{176, 424}, low});
    cb_4 = placeText<QPushButton>(this, u"cb_4"_s, u"取消过滤"_s, {{303, 424}, low});
    cb_2 = placeText<QPushButton>(this, u"cb_2"_s, u"另存为"_s, {{430, 424}, low});
    cb_6 = placeText<QPushButton>(this, u"cb_6"_s, u"复制"_s, {{567, 424}, low});
    cb_7 = place<zorv::gui::uo_close>(this, u"cb_7"_s, {{695, 424}, low});

    connect(cb_1, &QPushButton::clicked, this, &w_hbbl::cb_1_clicked);
    connect(cb_17, &QPushButton::clicked, this, &w_hbbl::cb_17_clicked);
    connect(cb_11, &QPushButton::clicked, this, &w_hbbl::cb_11_clicked);
    connect(cb_3, &QPushButton::clicked, this, &w_hbbl::cb_3_clicked);
    connect(cb_4, &QPushButton::clicked, this, &w_hbbl::cb_4_clicked);
    connect(cb_8, &QPushButton::clicked, this, &w_hbbl::cb_8_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_hbbl::cb_2_clicked);
    connect(cb_6, &QPushButton::clicked, this, &w_hbbl::cb_6_clicked);
}

void w_hbbl::cb_1_clicked() {
    zorv::gui::BusyGuard busy;
    zorv::imports::importSheetFileFirst(*m_grid, {}, &busy);
}

void w_hbbl::cb_17_clicked() {
    zorv::gui::BusyGuard busy;
    zorv::imports::pasteImport(*m_grid, false, &busy);
}

void w_hbbl::cb_11_clicked() {
    zorv::lists::mergeColumnB(*m_grid, zorv::lists::separatorOf(sle_1->text()));
    zorv::platform().messageBox(QString(), u"合并结束"_s);
}

void w_hbbl::cb_3_clicked() {
    zorv::lists::applyDuplicateFilter(*m_grid);
}

void w_hbbl::cb_4_clicked() {
    zorv::lists::cancelFilter(*m_grid);
}

void w_hbbl::cb_8_clicked() {
    m_grid->reset();
}

void w_hbbl::cb_2_clicked() {
    zorv::saveGridWithDialog(*m_grid);
}

void w_hbbl::cb_6_clicked() {
    zorv::platform().setClipboardText(m_grid->toTsv(false));
}
