#include "gui/lists/w_cfal.h"

#include "core/grid/grid_save_dialog.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
#include "core/lists/merge.h"
#include "core/lists/split.h"
#include "core/platform/platform.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/w_hbbl_parts.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;
using namespace zorv::gui::hmal;

w_cfal::w_cfal(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_cfal"_s);
    setWindowTitle(u"A列复合字段转单一字段"_s);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_source = zorv::lists::makeHmalGrid();
    m_target = zorv::lists::makeHmalGrid();
    buildControls();
    setFixedSize(1058, 566);
}

w_cfal::~w_cfal() = default;

void w_cfal::buildControls() {
    st_1 = placeText<QLabel>(this, u"st_1"_s, u"数据窗口一"_s, QRect(176, 16, 120, 24));
    dw_1 = place<zorv::gui::GridView>(this, u"dw_1"_s, QRect(48, 56, 384, 336));
    dw_1->setGrid(m_source.get());
    st_2 = placeText<QLabel>(this, u"st_2"_s, u"数据窗口二"_s, QRect(645, 19, 120, 24));
    dw_2 = place<zorv::gui::GridView>(this, u"dw_2"_s, QRect(488, 56, 384, 336));
    dw_2->setGrid(m_target.get());

    const QSize button(120, 30);
    cb_1 = tagButton(this, u"cb_1"_s, u"1、导入文件"_s, fileImportTag(), {{904, 96}, button});
    cb_17 = tagButton(this, u"cb_17"_s, u"1、粘贴导入"_s, pasteTag(), {{904, 184}, button});
    cb_11 = placeText<QPushButton>(this, u"cb_11"_s, u"2、转    换"_s, {{904, 272}, button});
    st_7 = placeText<QLabel>(this, u"st_7"_s, u"分隔符："_s, QRect(912, 328, 64, 24));
    sle_1 = placeText<QLineEdit>(this, u"sle_1"_s, u","_s, QRect(976, 324, 40, 28));

    const QSize low(110, 30);
    cb_8 = placeText<QPushButton>(this, u"cb_8"_s, u"清空"_s, {{48, 424}, low});
    cb_3 = placeText<QPushButton>(this, u"cb_3"_s, u"重复过滤"_s, {{176, 424}, low});
    cb_4 = placeText<QPushButton>(this, u"cb_4"_s, u"取消过滤"_s, {{303, 424}, low});
    cb_2 = placeText<QPushButton>(this, u"cb_2"_s, u"另存为"_s, {{430, 424}, low});
    cb_6 = placeText<QPushButton>(this, u"cb_6"_s, u"复制"_s, {{567, 424}, low});
    cb_7 = place<zorv::gui::uo_close>(this, u"cb_7"_s, {{695, 424}, low});

    gb_1 = place<QGroupBox>(this, u"gb_1"_s, QRect(176, 464, 496, 60));
    gb_1->setTitle(u"选择"_s);
    gb_1->setStyleSheet(u"QGroupBox { color: darkblue; }"_s);
    rb_1 = placeText<QRadioButton>(gb_1, u"rb_1"_s, u"数据窗口一"_s, QRect(88, 26, 130, 24));
    rb_2 = placeText<QRadioButton>(gb_1, u"rb_2"_s, u"数据窗口二"_s, QRect(296, 26, 130, 24));
    auto *group = new QButtonGroup(gb_1);
    group->addButton(rb_1);
    group->addButton(rb_2);
    rb_2->setChecked(true);

    connect(cb_1, &QPushButton::clicked, this, &w_cfal::cb_1_clicked);
    connect(cb_17, &QPushButton::clicked, this, &w_cfal::cb_17_clicked);
    connect(cb_11, &QPushButton::clicked, this, &w_cfal::cb_11_clicked);
    connect(cb_3, &QPushButton::clicked, this, &w_cfal::cb_3_clicked);
    connect(cb_4, &QPushButton::clicked, this, &w_cfal::cb_4_clicked);
    connect(cb_8, &QPushButton::clicked, this, &w_cfal::cb_8_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_cfal::cb_2_clicked);
    connect(cb_6, &QPushButton::clicked, this, &w_cfal::cb_6_clicked);
}

zorv::Grid &w_cfal::chosen() const {
    return rb_1->isChecked() ? *m_source : *m_target;
}

void w_cfal::cb_1_clicked() {
    zorv::gui::BusyGuard busy;
    zorv::imports::importSheetFileFirst(*m_source, {}, &busy);
}

void w_cfal::cb_17_clicked() {
    zorv::gui::BusyGuard busy;
    zorv::imports::pasteImport(*m_source, false, &busy);
}

void w_cfal::cb_11_clicked() {
    if (m_source->rowCount() == 0)
        return;
    zorv::lists::splitColumnA(*m_source, *m_target, zorv::lists::separatorOf(sle_1->text()));
}

void w_cfal::cb_3_clicked() {
    zorv::lists::applyDuplicateFilter(chosen());
}

void w_cfal::cb_4_clicked() {
    zorv::lists::cancelFilter(chosen());
}

void w_cfal::cb_8_clicked() {
    m_source->reset();
}

void w_cfal::cb_2_clicked() {
    zorv::saveGridWithDialog(chosen());
}

void w_cfal::cb_6_clicked() {
    zorv::platform().setClipboardText(chosen().toTsv(false));
}
