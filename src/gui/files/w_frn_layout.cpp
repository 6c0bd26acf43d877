// Builds the controls of w_frn at their design positions (pixels for a
// 1280 x 768 screen; f_resize scales them to other screens).

#include "gui/app/named.h"
#include "gui/app/uo_button.h"
#include "gui/app/uo_close.h"
#include "gui/files/frn_texts.h"
#include "gui/files/w_frn.h"
#include "gui/grid/grid_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T> T *make(QWidget *parent, const QString &name, const QRect &geometry) {
    auto *w = zorv::gui::named<T>(name, parent);
    w->setGeometry(geometry);
    return w;
}

template <typename T>
T *makeText(QWidget *parent, const QString &name, const QString &text, const QRect &geometry) {
    auto *w = make<T>(parent, name, geometry);
    w->setText(text);
    return w;
}

QGroupBox *makeFrame(QWidget *parent, const QString &name, const QString &title,
                     const QRect &geometry) {
    auto *g = make<QGroupBox>(parent, name, geometry);
    g->setTitle(title);
    return g;
}

// A radio pair inside its frame: the frame's group makes the two exclusive.
void pairInGroup(QRadioButton *a, QRadioButton *b) {
    auto *group = new QButtonGroup(a->parent());
    group->setExclusive(true);
    group->addButton(a);
    group->addButton(b);
}

// "##" with the range 1 to 50; an empty edit is allowed and reads as 0.
QLineEdit *makeNumberEdit(QWidget *parent, const QString &name, const QRect &geometry) {
    auto *e = make<QLineEdit>(parent, name, geometry);
    e->setMaxLength(2);
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"^([1-9]|[1-4][0-9]|50)?$"_s), e));
    e->setAlignment(Qt::AlignRight);
    return e;
}

// A common button whose tag goes to the status line under the mouse.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text,
                        const QRect &geometry) {
    auto *b = zorv::gui::named<zorv::gui::uo_button>(name, text, parent);
    b->setGeometry(geometry);
    b->setTag(frn::tagFor(name));
    return b;
}

} // namespace

void w_frn::buildControls() {
    buildSourceFrame();
    buildStringFrame();
    buildListFrame();
    buildFilterFrame();
    buildTargetFrame();
    buildGridArea();

    lb_1 = make<QListWidget>(this, u"lb_1"_s, QRect(1160, 560, 100, 60));
    lb_1->hide();
}

void w_frn::buildSourceFrame() {
    auto *f = makeFrame(this, u"fr_source"_s, u"1、源文件"_s, QRect(6, 4, 214, 238));
    cbx_2 = makeText<QCheckBox>(f, u"cbx_2"_s, u"包括子文件夹"_s, QRect(12, 22, 190, 22));
    cbx_4 = makeText<QCheckBox>(f, u"cbx_4"_s, u"包括隐藏文件"_s, QRect(12, 44, 190, 22));
    cbx_1 = makeText<QCheckBox>(f, u"cbx_1"_s, u"累加"_s, QRect(12, 66, 190, 22));
    cb_1 = makeText<QPushButton>(f, u"cb_1"_s, u"1、选择源文件夹"_s, QRect(10, 92, 194, 32));
    cb_15 = makeButton(f, u"cb_15"_s, u"1、导入文件"_s, QRect(10, 134, 194, 28));
    cb_16 = makeButton(f, u"cb_16"_s, u"1、导入文件"_s, QRect(10, 166, 194, 28));
    cb_17 = makeButton(f, u"cb_17"_s, u"1、粘贴导入"_s, QRect(10, 198, 194, 28));
}

void w_frn::buildStringFrame() {
    gb_2 = makeFrame(this, u"gb_2"_s, u"2、字符串操作"_s, QRect(226, 4, 322, 238));
    ddlb_1 = make<QComboBox>(gb_2, u"ddlb_1"_s, QRect(10, 24, 302, 26));
    ddlb_1->addItems(frn::operationEntries());

    st_1 = make<QLabel>(gb_2, u"st_1"_s, QRect(12, 60, 180, 24));
    em_1 = makeNumberEdit(gb_2, u"em_1"_s, QRect(196, 60, 56, 24));
    st_2 = make<QLabel>(gb_2, u"st_2"_s, QRect(12, 90, 180, 24));
    em_2 = makeNumberEdit(gb_2, u"em_2"_s, QRect(196, 90, 56, 24));
    st_3 = make<QLabel>(gb_2, u"st_3"_s, QRect(12, 120, 180, 24));
    em_3 = make<QLineEdit>(gb_2, u"em_3"_s, QRect(196, 120, 56, 24));
    em_3->setMaxLength(3);

    rb_1 = makeText<QRadioButton>(gb_2, u"rb_1"_s, u"按源文件名操作"_s, QRect(12, 154, 140, 24));
    rb_2 = makeText<QRadioButton>(gb_2, u"rb_2"_s, u"按目标文件名操作"_s, QRect(158, 154, 156, 24));
    pairInGroup(rb_1, rb_2);
    rb_1->setChecked(true);

    cb_5 = makeText<QPushButton>(gb_2, u"cb_5"_s, u"预览"_s, QRect(10, 190, 302, 32));
}

void w_frn::buildListFrame() {
    gb_1 = makeFrame(this, u"gb_1"_s, u"2、对应表操作"_s, QRect(554, 4, 204, 238));
    cb_2 = makeText<QPushButton>(gb_1, u"cb_2"_s, u"导出源文件名"_s, QRect(10, 24, 184, 30));
    cb_4 = makeText<QPushButton>(gb_1, u"cb_4"_s, u"导入新文件名"_s, QRect(10, 62, 184, 30));
    st_4 = makeText<QLabel>(gb_1, u"st_4"_s, u"Excel文件导入列1至"_s, QRect(12, 102, 130, 24));
    em_4 = make<QSpinBox>(gb_1, u"em_4"_s, QRect(144, 102, 50, 24));
    em_4->setRange(1, 3);
    em_4->setValue(1);
}

void w_frn::buildFilterFrame() {
    auto *f = makeFrame(this, u"fr_filter"_s, u"名单筛选"_s, QRect(764, 4, 230, 238));
    cb_10 = makeText<QPushButton>(f, u"cb_10"_s, u"导入名单筛选源文件"_s, QRect(10, 24, 210, 30));
    st_5 = makeText<QLabel>(f, u"st_5"_s, u"源文件名包含"_s, QRect(12, 64, 90, 24));
    sle_1 = make<QLineEdit>(f, u"sle_1"_s, QRect(104, 64, 116, 24));
    gb_4 = makeFrame(f, u"gb_4"_s, u"是否过滤"_s, QRect(10, 100, 210, 56));
    rb_4 = makeText<QRadioButton>(gb_4, u"rb_4"_s, u"过滤"_s, QRect(14, 24, 80, 24));
    rb_3 = makeText<QRadioButton>(gb_4, u"rb_3"_s, u"不过滤"_s, QRect(108, 24, 90, 24));
    pairInGroup(rb_4, rb_3);
    rb_3->setChecked(true);
}

void w_frn::buildTargetFrame() {
    auto *f =
        makeFrame(this, u"fr_target"_s, u"3、目标文件夹  4、执行"_s, QRect(1000, 4, 268, 238));
    cbx_3 = makeText<QCheckBox>(f, u"cbx_3"_s, u"保留源文件夹子目录结构"_s, QRect(12, 22, 246, 22));
    pb_1 = makeText<QPushButton>(f, u"pb_1"_s, u"3、选择目标文件夹"_s, QRect(10, 46, 160, 32));
    cb_9 = makeText<QPushButton>(f, u"cb_9"_s, u"创建文件夹"_s, QRect(174, 46, 84, 32));

    gb_3 = makeFrame(f, u"gb_3"_s, u"操作方式"_s, QRect(10, 86, 120, 56));
    rb_6 = makeText<QRadioButton>(gb_3, u"rb_6"_s, u"复制"_s, QRect(10, 24, 52, 24));
    rb_5 = makeText<QRadioButton>(gb_3, u"rb_5"_s, u"移动"_s, QRect(62, 24, 54, 24));
    pairInGroup(rb_6, rb_5);
    rb_6->setChecked(true);

    gb_5 = makeFrame(f, u"gb_5"_s, u"是否覆盖同名文件"_s, QRect(136, 86, 122, 56));
    rb_7 = makeText<QRadioButton>(gb_5, u"rb_7"_s, u"是"_s, QRect(12, 24, 50, 24));
    rb_8 = makeText<QRadioButton>(gb_5, u"rb_8"_s, u"否"_s, QRect(66, 24, 50, 24));
    pairInGroup(rb_7, rb_8);
    rb_7->setChecked(true);

    cb_3 = makeText<QPushButton>(f, u"cb_3"_s, u"4、执行"_s, QRect(10, 154, 248, 40));
    QFont bold = cb_3->font();
    bold.setBold(true);
    cb_3->setFont(bold);
    cb_undo = makeText<QPushButton>(f, u"cb_undo"_s, u"撤销上次执行"_s, QRect(10, 198, 248, 30));
}

void w_frn::buildGridArea() {
    dw_1 = make<zorv::gui::GridView>(this, u"dw_1"_s, QRect(6, 250, 1130, 384));
    dw_1->setGrid(m_grid.get());

    vpb_1 = make<QProgressBar>(this, u"vpb_1"_s, QRect(1142, 250, 16, 384));
    vpb_1->setOrientation(Qt::Vertical);
    vpb_1->setTextVisible(false);
    vpb_1->setRange(0, 100);
    vpb_1->setValue(0);

    const int x = 1164, w = 104, h = 30;
    cb_14 = makeText<QPushButton>(this, u"cb_14"_s, u"删除选中行"_s, QRect(x, 250, w, h));
    cb_13 = makeText<QPushButton>(this, u"cb_13"_s, u"删除选中文件"_s, QRect(x, 286, w, h));
    cb_12 = makeText<QPushButton>(this, u"cb_12"_s, u"打开资源管理器"_s, QRect(x, 322, w, h));
    cb_6 = makeText<QPushButton>(this, u"cb_6"_s, u"复制"_s, QRect(x, 368, w, h));
    cb_11 = makeText<QPushButton>(this, u"cb_11"_s, u"另存为"_s, QRect(x, 404, w, h));
    cb_8 = makeText<QPushButton>(this, u"cb_8"_s, u"清空"_s, QRect(x, 450, w, h));
    cb_7 = make<zorv::gui::uo_close>(this, u"cb_7"_s, QRect(x, 604, w, h));
}
