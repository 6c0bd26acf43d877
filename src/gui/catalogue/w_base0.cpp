#include "gui/catalogue/w_base0.h"

#include "core/app/globals.h"
#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/select_builder.h"
#include "core/db/transaction.h"
#include "core/grid/header_click.h"
#include "core/platform/platform.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/catalogue/w_ed.h"
#include "gui/grid/f_resize.h"
#include "gui/grid/grid_view.h"
#include "gui/sqllib/sql_edits.h"
#include "gui/sqllib/sql_highlighter.h"
#include "gui/sqllib/w_ssql.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::GridView;
using zorv::gui::named;

namespace {

template <typename T> T *place(T *w, QWidget *parent, const QRect &geometry) {
    w->setParent(parent);
    w->setGeometry(geometry);
    return w;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &g) {
    return place(named<QLabel>(name, text), parent, g);
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &g) {
    return place(named<QPushButton>(name, text), parent, g);
}

} // namespace

w_base0::w_base0(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_base0"_s);
    setWindowTitle(u"oracle表查询（可生成SQL语句）"_s);
    resize(kDesignSize);
    m_tables = zorv::catalogue::makeTableGrid();
    m_columns = zorv::catalogue::makeColumnGrid();
    m_unused = std::make_unique<zorv::Grid>(QList<zorv::Column>{});
    buildControls();
    zorv::gui::f_resize(this, false);
}

w_base0::~w_base0() = default;

void w_base0::buildControls() {
    label(this, u"st_5"_s, u"表名左匹配："_s, QRect(10, 12, 90, 24));
    sle_1 = place(named<QLineEdit>(u"sle_1"_s), this, QRect(100, 10, 150, 26));
    label(this, u"st_1"_s, u"表名全匹配："_s, QRect(262, 12, 90, 24));
    sle_2 = place(named<QLineEdit>(u"sle_2"_s), this, QRect(352, 10, 150, 26));
    label(this, u"st_2"_s, u"表中字段名："_s, QRect(514, 12, 90, 24));
    sle_3 = place(named<QLineEdit>(u"sle_3"_s), this, QRect(604, 10, 150, 26));
    label(this, u"st_3"_s, u"表用途："_s, QRect(766, 12, 66, 24));
    sle_4 = place(named<QLineEdit>(u"sle_4"_s), this, QRect(832, 10, 160, 26));
    auto *cb_1 = button(this, u"cb_1"_s, u"查询"_s, QRect(1004, 8, 90, 30));
    place(named<zorv::gui::uo_close>(u"cb_11"_s), this, QRect(1104, 8, 90, 30));

    label(this, u"st_4"_s, u"选择表"_s, QRect(10, 48, 200, 22));
    dw_2 = place(named<GridView>(u"dw_2"_s), this, QRect(10, 72, 400, 520));
    st_8 = label(this, u"st_8"_s, u"表的用途"_s, QRect(10, 598, 400, 34));
    st_8->setWordWrap(true);
    label(this, u"st_6"_s, u"选择字段"_s, QRect(420, 48, 200, 22));
    dw_3 = place(named<GridView>(u"dw_3"_s), this, QRect(420, 72, 380, 560));
    dw_1 = place(named<GridView>(u"dw_1"_s), this, QRect(1260, 630, 10, 10));
    dw_1->hide();

    label(this, u"st_7"_s, u"输入条件"_s, QRect(810, 48, 200, 22));
    mle_2 = place(named<QPlainTextEdit>(u"mle_2"_s), this, QRect(810, 72, 454, 118));
    const struct {
        const char16_t *name, *caption;
        QString appended;
    } operators[] = {
        {u"cb_3", u"like", zorv::catalogue::op::like()},
        {u"cb_4", u"=", zorv::catalogue::op::equals()},
        {u"cb_5", u">=", zorv::catalogue::op::atLeast()},
        {u"cb_6", u"<=", zorv::catalogue::op::atMost()},
        {u"cb_7", u"and", zorv::catalogue::op::andOp()},
        {u"cb_8", u"or", zorv::catalogue::op::orOp()},
    };
    int x = 810;
    for (const auto &o : operators) {
        auto *b = button(this, QString::fromUtf16(o.name), QString::fromUtf16(o.caption),
                         QRect(x, 198, 70, 30));
        connect(b, &QPushButton::clicked, this, [this, t = o.appended] { appendCondition(t); });
        x += 77;
    }
    auto *cb_2 = button(this, u"cb_2"_s, u"生成SQL"_s, QRect(810, 238, 120, 30));
    mle_1 = place(named<QPlainTextEdit>(u"mle_1"_s), this, QRect(810, 276, 454, 304));
    new zorv::gui::SqlHighlighter(mle_1->document());
    auto *cb_10 = button(this, u"cb_10"_s, u"保存SQL"_s, QRect(810, 590, 120, 30));
    place(named<zorv::gui::uo_close>(u"cb_9"_s), this, QRect(1144, 590, 120, 30));

    dw_2->setGrid(m_tables.get());
    dw_2->setEditable(false);
    dw_3->setGrid(m_columns.get());
    dw_3->setEditable(false);
    dw_1->setGrid(m_unused.get());
    dw_3->viewport()->installEventFilter(this);

    connect(cb_1, &QPushButton::clicked, this, &w_base0::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_base0::cb_2_clicked);
    connect(cb_10, &QPushButton::clicked, this, &w_base0::cb_10_clicked);
    connect(m_tables.get(), &zorv::Grid::currentRowChanged, this, &w_base0::dw_2_rowFocusChanged);
    connect(dw_2, &GridView::doubleClicked, this, &w_base0::dw_2_doubleClicked);
    connect(dw_3, &GridView::clicked, this, &w_base0::dw_3_clicked);
}

bool w_base0::eventFilter(QObject *watched, QEvent *event) {
    if (watched == dw_3->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::RightButton) {
            dw_3_rightButtonDown(
                dw_3->rowAtPoint(dw_3->viewport()->mapTo(dw_3, e->position().toPoint())));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void w_base0::cb_1_clicked() {
    const zorv::catalogue::Filters filters{sle_1->text(), sle_2->text(), sle_3->text(),
                                           sle_4->text()};
    QString error;
    if (zorv::catalogue::queryTables(*m_tables, zorv::db::sqlca(), filters, &error) < 0) {
        zorv::platform().messageBox(u"提示"_s, u"查询失败。\n出错信息:"_s + error);
        return;
    }
    // A new list puts the focus on its first table, whose columns then show.
    dw_2_rowFocusChanged();
}

QString w_base0::currentTable() const {
    const qint64 row = m_tables->getRow();
    return row > 0 ? m_tables->getItemString(row, 1) : QString();
}

void w_base0::dw_2_rowFocusChanged() {
    const qint64 row = m_tables->getRow();
    m_tables->selectRow(0, false);
    i_lng_lastrow = 0;
    if (row < 1) {
        m_columns->reset();
        st_8->setText(u"表的用途"_s);
        return;
    }
    m_tables->selectRow(row, true);
    const QString purpose = m_tables->getItemString(row, 2);
    zorv::app::globals().lTablen = purpose;
    QString error;
    if (zorv::catalogue::queryColumns(*m_columns, zorv::db::sqlca(), currentTable(), &error) < 0)
        zorv::platform().messageBox(u"提示"_s, u"查询失败。\n出错信息:"_s + error);
    st_8->setText(u"该表的用途："_s + purpose);
}

void w_base0::dw_2_doubleClicked() {
    const QString lname = currentTable();
    if (lname.isEmpty())
        return;
    auto *dialog = new w_ed(lname, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void w_base0::dw_3_clicked(qint64 row, const QString &object) {
    zorv::handleGridClick(*m_columns, row, object, zorv::GridClickVariant::SelectOnly, ib_flag,
                          i_lng_lastrow);
}

void w_base0::dw_3_rightButtonDown(qint64 row) {
    if (row < 1)
        return;
    appendCondition(zorv::catalogue::op::column(m_columns->getItemString(row, 1)));
}

void w_base0::appendCondition(const QString &text) {
    mle_2->setPlainText(mle_2->toPlainText() + text);
    mle_2->moveCursor(QTextCursor::End);
}

void w_base0::cb_2_clicked() {
    // Without a table in focus there is nothing to select from.
    if (currentTable().isEmpty()) {
        zorv::platform().messageBox(u"提示"_s, u"请先查询并选择一个表，再生成SQL语句。"_s);
        return;
    }
    const QString text =
        zorv::catalogue::selectFromColumnGrid(*m_columns, currentTable(), mle_2->toPlainText())
            .text();
    mle_1->setPlainText(text);
    zorv::platform().setClipboardText(text);
}

void w_base0::cb_10_clicked() {
    const QString lsql = mle_1->toPlainText();
    zorv::gui::showOwnWindow(new zorv::gui::w_ssql(lsql, this));
}
