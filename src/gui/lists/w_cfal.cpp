#include "gui/lists/w_cfal.h"

#include "core/lists/merge.h"
#include "core/lists/split.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/list_buttons.h"
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

    const ListButtons b = buildListButtons(this, {904, 96}, u"2、转    换"_s, u","_s, *m_source,
                                           [this]() -> zorv::Grid & { return chosen(); });
    sle_1 = b.separator;

    gb_1 = place<QGroupBox>(this, u"gb_1"_s, QRect(176, 464, 496, 60));
    gb_1->setTitle(u"选择"_s);
    gb_1->setStyleSheet(u"QGroupBox { color: darkblue; }"_s);
    rb_1 = placeText<QRadioButton>(gb_1, u"rb_1"_s, u"数据窗口一"_s, QRect(88, 26, 130, 24));
    rb_2 = placeText<QRadioButton>(gb_1, u"rb_2"_s, u"数据窗口二"_s, QRect(296, 26, 130, 24));
    auto *group = new QButtonGroup(gb_1);
    group->addButton(rb_1);
    group->addButton(rb_2);
    rb_2->setChecked(true);

    connect(b.run, &QPushButton::clicked, this, &w_cfal::cb_11_clicked);
}

zorv::Grid &w_cfal::chosen() const {
    return rb_1->isChecked() ? *m_source : *m_target;
}

void w_cfal::cb_11_clicked() {
    if (m_source->rowCount() == 0)
        return;
    zorv::lists::splitColumnA(*m_source, *m_target, zorv::lists::separatorOf(sle_1->text()));
}
