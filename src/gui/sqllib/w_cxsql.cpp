#include "gui/sqllib/w_cxsql.h"

#include "core/db/transaction.h"
#include "core/grid/grid_save_dialog.h"
#include "core/grid/header_click.h"
#include "core/platform/platform.h"
#include "core/sqllib/sql_query.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/grid/grid_view.h"
#include "gui/sqllib/w_upsql.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorv::gui {

w_cxsql::w_cxsql(QWidget *parent) : QWidget(parent), m_grid(sqllib::makeSsqlGrid()) {
    setObjectName(u"w_cxsql"_s);
    setWindowTitle(u"查询保存的SQL语句"_s);

    st_1 = named<QLabel>(u"st_1"_s, u"Sql语句:"_s, this);
    sle_1 = named<QLineEdit>(u"sle_1"_s, this);
    st_2 = named<QLabel>(u"st_2"_s, u"用途:"_s, this);
    sle_2 = named<QLineEdit>(u"sle_2"_s, this);
    cb_1 = named<QPushButton>(u"cb_1"_s, u"查询"_s, this);
    cb_3 = named<QPushButton>(u"cb_3"_s, u"另存为"_s, this);
    cb_2 = named<uo_close>(u"cb_2"_s, this);
    dw_1 = named<GridView>(u"dw_1"_s, this);
    dw_1->setGrid(m_grid.get());
    dw_1->setEditable(false);
    dw_1->setColumnHidden(m_grid->columnNumber(u"bh"_s) - 1, true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(st_1, 0, 0);
    layout->addWidget(sle_1, 0, 1);
    layout->addWidget(st_2, 0, 2);
    layout->addWidget(sle_2, 0, 3);
    layout->addWidget(cb_1, 0, 4);
    layout->addWidget(cb_3, 0, 5);
    layout->addWidget(cb_2, 0, 6);
    layout->addWidget(dw_1, 1, 0, 1, 7);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(3, 2);
    resize(900, 560);

    sle_1->installEventFilter(this);
    connect(cb_1, &QPushButton::clicked, this, &w_cxsql::cb_1_clicked);
    connect(cb_3, &QPushButton::clicked, this, &w_cxsql::cb_3_clicked);
    connect(dw_1, &GridView::clicked, this, &w_cxsql::dw_1_clicked);
    connect(dw_1, &GridView::doubleClicked, this, &w_cxsql::dw_1_doubleClicked);
}

w_cxsql::~w_cxsql() = default;

bool w_cxsql::eventFilter(QObject *watched, QEvent *event) {
    if (watched == sle_1 && event->type() == QEvent::FocusIn)
        platform().setStatusText(u"Logon   successful"_s);
    return QWidget::eventFilter(watched, event);
}

void w_cxsql::cb_1_clicked() {
    QString error;
    if (sqllib::queryLibrary(db::sqlca(), *m_grid, sle_1->text(), sle_2->text(), &error) < 0)
        platform().messageBox(u"提示"_s, u"查询失败!\n出错信息:"_s + error, MsgIcon::Error);
}

void w_cxsql::cb_3_clicked() {
    saveGridWithDialog(*m_grid);
}

void w_cxsql::dw_1_clicked(qint64 row, const QString &object) {
    handleGridClick(*m_grid, row, object, GridClickVariant::SortOnly, ib_flag, i_lng_lastrow);
}

// Uses the current row, wherever the double-click landed; an empty grid has
// no current row and opens nothing.
void w_cxsql::dw_1_doubleClicked() {
    const qint64 bh = sqllib::numberAt(*m_grid, m_grid->getRow());
    if (m_grid->rowCount() == 0 || m_grid->getRow() < 1)
        return;
    auto *w = new w_upsql(bh, this);
    w->open();
}

} // namespace zorv::gui
