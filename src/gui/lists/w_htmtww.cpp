#include "gui/lists/w_htmtww.h"

#include "core/db/transaction.h"
#include "core/grid/grid_save_dialog.h"
#include "core/grid/header_click.h"
#include "core/lists/register_query.h"
#include "core/platform/open_file.h"
#include "core/platform/platform.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/f_resize.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/w_hbbl_parts.h"
#include "gui/lists/w_jbz.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

using namespace Qt::Literals::StringLiterals;
using namespace zorv::gui::hmal;

namespace {

// The "#####" number field with its spin buttons: it starts empty, and empty
// reads as 0.
class NumberField final : public QSpinBox {
public:
    explicit NumberField(QWidget *parent = nullptr) : QSpinBox(parent) {
        setRange(-1, 99999);
        setValue(-1);
        setAlignment(Qt::AlignRight);
    }

protected:
    QString textFromValue(int value) const override {
        return value < 0 ? QString() : QString::number(value);
    }
    int valueFromText(const QString &text) const override {
        const QString t = text.trimmed();
        return t.isEmpty() ? -1 : t.toInt();
    }
    QValidator::State validate(QString &input, int &) const override {
        const QString t = input.trimmed();
        if (t.isEmpty())
            return QValidator::Acceptable;
        bool ok = false;
        const int v = t.toInt(&ok);
        return ok && v >= 0 && v <= 99999 && t.size() <= 5 ? QValidator::Acceptable
                                                           : QValidator::Invalid;
    }
};

QLineEdit *dateField(QWidget *parent, const QString &name, const QRect &geometry) {
    auto *e = place<QLineEdit>(parent, name, geometry);
    e->setInputMask(u"9999-99-99;_"_s);
    return e;
}

} // namespace

w_htmtww::w_htmtww(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_htmtww"_s);
    setWindowTitle(u"名单查询、修改、删除"_s);
    resize(kDesignSize);
    m_grid = zorv::lists::makeHtmdcxGrid();
    buildControls();
    // The open event: scale to the screen; nothing is retrieved until "查询".
    zorv::gui::f_resize(this, true);
}

w_htmtww::~w_htmtww() = default;

QString w_htmtww::patternHint() {
    return u"查询出的名单可另存为文本文件，作为背单词程序的生词本导入使用"_s;
}

void w_htmtww::buildControls() {
    gb_1 = place<QGroupBox>(this, u"gb_1"_s, QRect(12, 8, 907, 120));
    gb_1->setTitle(u"查询条件"_s);
    gb_1->setStyleSheet(u"QGroupBox { color: blue; }"_s);
    st_2 = placeText<QLabel>(gb_1, u"st_2"_s, u"结果"_s, QRect(21, 32, 80, 24));
    sle_1 = place<QLineEdit>(gb_1, u"sle_1"_s, QRect(120, 30, 140, 26));
    st_5 = placeText<QLabel>(gb_1, u"st_5"_s, u"名单"_s, QRect(21, 76, 80, 24));
    sle_3 = place<QLineEdit>(gb_1, u"sle_3"_s, QRect(120, 74, 140, 26));
    st_14 = placeText<QLabel>(gb_1, u"st_14"_s, u"日期起"_s, QRect(268, 32, 90, 24));
    em_srsq1 = dateField(gb_1, u"em_srsq1"_s, QRect(366, 30, 120, 26));
    st_3 = placeText<QLabel>(gb_1, u"st_3"_s, u"标识号起"_s, QRect(268, 76, 90, 24));
    em_2 = zorv::gui::named<NumberField>(u"em_2"_s, gb_1);
    em_2->setGeometry(366, 74, 120, 26);
    st_10 = placeText<QLabel>(gb_1, u"st_10"_s, u"日期止"_s, QRect(583, 32, 90, 24));
    em_srsq2 = dateField(gb_1, u"em_srsq2"_s, QRect(699, 30, 120, 26));
    st_4 = placeText<QLabel>(gb_1, u"st_4"_s, u"标识号止"_s, QRect(583, 76, 90, 24));
    em_3 = zorv::gui::named<NumberField>(u"em_3"_s, gb_1);
    em_3->setGeometry(699, 74, 120, 26);

    dw_1 = place<zorv::gui::GridView>(this, u"dw_1"_s, QRect(23, 139, 893, 426));
    dw_1->setGrid(m_grid.get());
    dw_1->setEditable(false);

    const QSize button(100, 30);
    cb_1 = placeText<QPushButton>(this, u"cb_1"_s, u"查询"_s, {{949, 62}, button});
    cb_4 = placeText<QPushButton>(this, u"cb_4"_s, u"删除选中"_s, {{950, 147}, button});
    cb_3 = placeText<QPushButton>(this, u"cb_3"_s, u"删除全部"_s, {{952, 197}, button});
    cb_2 = placeText<QPushButton>(this, u"cb_2"_s, u"另存为"_s, {{949, 248}, button});
    cb_5 = place<zorv::gui::uo_close>(this, u"cb_5"_s, {{949, 304}, button});

    gb_2 = place<QGroupBox>(this, u"gb_2"_s, QRect(941, 347, 126, 93));
    gb_2->setTitle(u"双击"_s);
    gb_2->setStyleSheet(u"QGroupBox { color: blue; }"_s);
    rb_1 = placeText<QRadioButton>(gb_2, u"rb_1"_s, u"打开文件"_s, QRect(15, 26, 105, 24));
    rb_2 = placeText<QRadioButton>(gb_2, u"rb_2"_s, u"添加备注"_s, QRect(15, 56, 105, 24));
    auto *group = new QButtonGroup(gb_2);
    group->addButton(rb_1);
    group->addButton(rb_2);
    rb_1->setChecked(true);

    for (QWidget *w : {static_cast<QWidget *>(sle_1), static_cast<QWidget *>(sle_3)})
        w->installEventFilter(this);

    connect(cb_1, &QPushButton::clicked, this, &w_htmtww::cb_1_clicked);
    connect(cb_4, &QPushButton::clicked, this, &w_htmtww::cb_4_clicked);
    connect(cb_3, &QPushButton::clicked, this, &w_htmtww::cb_3_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_htmtww::cb_2_clicked);
    connect(dw_1, &zorv::gui::GridView::clicked, this, &w_htmtww::dw_1_clicked);
    connect(dw_1, &zorv::gui::GridView::doubleClicked, this, &w_htmtww::dw_1_doubleClicked);
}

bool w_htmtww::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn && (watched == sle_1 || watched == sle_3))
        zorv::platform().setStatusText(patternHint());
    return QWidget::eventFilter(watched, event);
}

void w_htmtww::cb_1_clicked() {
    zorv::lists::RegisterQueryFields fields;
    fields.result = sle_1->text();
    fields.name = sle_3->text();
    fields.dateFrom = em_srsq1->text();
    fields.dateTo = em_srsq2->text();
    fields.bsFrom = em_2->cleanText();
    fields.bsTo = em_3->cleanText();
    if (zorv::lists::queryRegister(*m_grid, zorv::db::sqlca(), fields) >= 0)
        i_lng_lastrow = 0;
}

void w_htmtww::deleteRows(bool selectedOnly) {
    zorv::gui::BusyGuard busy;
    zorv::lists::deleteRegisterRows(*m_grid, zorv::db::sqlca(), selectedOnly, &busy);
}

void w_htmtww::cb_4_clicked() {
    deleteRows(true);
}

void w_htmtww::cb_3_clicked() {
    deleteRows(false);
}

void w_htmtww::cb_2_clicked() {
    zorv::saveGridWithDialog(*m_grid);
}

// Headers sort; rows are selected with Ctrl or Shift held only.
void w_htmtww::dw_1_clicked(qint64 row, const QString &object) {
    zorv::handleGridClick(*m_grid, row, object, zorv::GridClickVariant::SortAndSelect, ib_flag,
                          i_lng_lastrow);
}

void w_htmtww::dw_1_doubleClicked(qint64 row, const QString &) {
    if (!rb_2->isChecked()) {
        const QString path = row >= 1 ? m_grid->getItemString(row, u"md"_s) : QString();
        zorv::openRowFile(m_grid->rowCount() > 0 ? row : 0, path);
        return;
    }
    if (row < 1)
        return;
    w_jbz dialog(qint64(m_grid->getItemNumber(row, u"bh"_s)), this);
    dialog.exec();
}
