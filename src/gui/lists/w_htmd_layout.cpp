// Builds the controls of w_htmd at their design places, given in the
// window's layout units (about 4.57 a pixel across and 4 down on a 1280 x
// 768 screen); f_resize scales them to other screens.

#include "core/lists/compare_grids.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/w_htmd.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace Qt::Literals::StringLiterals;

namespace {

QRect units(int x, int y, int w, int h) {
    return QRect(qRound(x / 4.57), qRound(y / 4.0), qRound(w / 4.57), qRound(h / 4.0));
}

template <typename T> T *make(QWidget *parent, const QString &name, const QRect &geometry) {
    auto *w = zorv::gui::named<T>(name, parent);
    w->setGeometry(geometry);
    return w;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int x, int y,
                  bool blue = false) {
    auto *l = make<QLabel>(parent, name, units(x, y, 366, 80));
    l->setText(text);
    if (blue)
        l->setStyleSheet(u"color: blue;"_s);
    return l;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, int x, int y,
                        int w = 599) {
    auto *b = make<QPushButton>(parent, name, units(x, y, w, 128));
    b->setText(text);
    QFont f(u"Arial"_s);
    f.setPointSize(12);
    f.setWeight(QFont::Normal);
    b->setFont(f);
    return b;
}

QSpinBox *makeSpin(QWidget *parent, const QString &name, const QRect &geometry, int lo, int hi,
                   int value) {
    auto *s = make<QSpinBox>(parent, name, geometry);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setAlignment(Qt::AlignRight);
    return s;
}

zorv::gui::GridView *makeGrid(QWidget *parent, const QString &name, zorv::Grid *grid,
                              const QRect &geometry) {
    auto *v = make<zorv::gui::GridView>(parent, name, geometry);
    v->setGrid(grid);
    return v;
}

} // namespace

void w_htmd::buildControls() {
    st_3 = makeLabel(this, u"st_3"_s, u"数据窗口1"_s, 741, 112, true);
    st_4 = makeLabel(this, u"st_4"_s, u"数据窗口2"_s, 3575, 112, true);
    st_1 = makeLabel(this, u"st_1"_s, u"标识号"_s, 1499, 52);
    em_1 = makeSpin(this, u"em_1"_s, units(1865, 36, 279, 120), 0, 9, 1);
    st_2 = makeLabel(this, u"st_2"_s, u"显示"_s, 2217, 52);
    ddlb_1 = make<QComboBox>(this, u"ddlb_1"_s, units(2478, 44, 352, 120));
    ddlb_1->addItems({u"全部"_s, u"相同"_s, u"不同"_s});
    ddlb_1->setCurrentIndex(-1);

    dw_1 = makeGrid(this, u"dw_1"_s, m_list1.get(), units(151, 192, 2021, 1392));
    lb_1 = make<QListWidget>(this, u"lb_1"_s, units(2245, 192, 480, 400));
    dw_2 = makeGrid(this, u"dw_2"_s, m_list2.get(), units(2889, 192, 2021, 1392));
    dw_3 = makeGrid(this, u"dw_3"_s, m_dups1.get(), units(2912, 1608, 901, 484));
    dw_4 = makeGrid(this, u"dw_4"_s, m_dups2.get(), units(3886, 1608, 901, 496));

    gb_1 = make<QGroupBox>(this, u"gb_1"_s, units(174, 1620, 791, 292));
    gb_1->setTitle(u"选择"_s);
    gb_1->setStyleSheet(u"QGroupBox { color: blue; }"_s);
    rb_1 = make<QRadioButton>(this, u"rb_1"_s, units(389, 1664, 480, 96));
    rb_1->setText(u"数据窗口1"_s);
    rb_1->setChecked(true);
    rb_2 = make<QRadioButton>(this, u"rb_2"_s, units(389, 1788, 480, 96));
    rb_2->setText(u"数据窗口2"_s);
    auto *group = new QButtonGroup(this);
    group->addButton(rb_1);
    group->addButton(rb_2);

    gb_2 = make<QGroupBox>(this, u"gb_2"_s, units(1056, 1632, 1193, 292));
    gb_2->setTitle(u"导入EXCEL文件"_s);
    gb_2->setStyleSheet(u"QGroupBox { color: blue; }"_s);
    st_5 = makeLabel(this, u"st_5"_s, u"行"_s, 1093, 1760);
    st_5->resize(st_5->width() / 2, st_5->height());
    em_2 = makeSpin(this, u"em_2"_s, units(1353, 1736, 260, 112), 1, 26, 2);
    st_6 = makeLabel(this, u"st_6"_s, u"列"_s, 1655, 1768);
    st_6->resize(st_6->width() / 2, st_6->height());
    em_3 = makeSpin(this, u"em_3"_s, units(1893, 1732, 260, 112), 1, 26, 1);

    cb_1 = makeButton(this, u"cb_1"_s, u"导入文件"_s, 146, 1964);
    cb_2 = makeButton(this, u"cb_2"_s, u"清空"_s, 814, 1964);
    cb_6 = makeButton(this, u"cb_6"_s, u"保存"_s, 1472, 1964);
    cb_4 = makeButton(this, u"cb_4"_s, u"核对名单"_s, 2181, 1964);
    cb_10 = makeButton(this, u"cb_10"_s, u"粘贴导入"_s, 805, 2132);
    cb_3 = makeButton(this, u"cb_3"_s, u"选择文件夹"_s, 137, 2132);
    cb_5 = makeButton(this, u"cb_5"_s, u"另存为"_s, 1472, 2132);
    cb_7 = makeButton(this, u"cb_7"_s, u"另存为"_s, 3109, 2140, 457);
    cb_8 = makeButton(this, u"cb_8"_s, u"另存为"_s, 4160, 2140, 457);
    cb_9 = zorv::gui::named<zorv::gui::uo_close>(u"cb_9"_s, this);
    cb_9->setGeometry(units(4937, 64, 400, 128));

    // The folding option and the progress of long work, below the buttons.
    cbx_1 = make<QCheckBox>(this, u"cbx_1"_s, units(146, 2300, 2000, 96));
    cbx_1->setText(u"比较时忽略空格、全角/半角和繁简差异"_s);
    hpb_1 = make<QProgressBar>(this, u"hpb_1"_s, units(2181, 2310, 2606, 72));
    hpb_1->setTextVisible(false);
    hpb_1->setValue(0);
}
