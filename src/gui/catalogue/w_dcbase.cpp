#include "gui/catalogue/w_dcbase.h"

#include "core/catalogue/catalogue_grids.h"
#include "core/db/transaction.h"
#include "core/grid/grid_save_dialog.h"
#include "core/grid/header_click.h"
#include "core/platform/platform.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/grid/grid_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::named;

w_dcbase::w_dcbase(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_dcbase"_s);
    setWindowTitle(u"导出保存的oracle表结构信息"_s);
    resize(1000, 600);
    m_grid = zorv::catalogue::makeExportGrid();

    auto *top = new QWidget(this);
    top->setFixedHeight(46);
    named<QLabel>(u"st_5"_s, u"表名左匹配："_s, top)->setGeometry(10, 12, 90, 24);
    sle_1 = named<QLineEdit>(u"sle_1"_s, top);
    sle_1->setGeometry(100, 10, 120, 26);
    named<QLabel>(u"st_1"_s, u"表名全匹配："_s, top)->setGeometry(230, 12, 90, 24);
    sle_2 = named<QLineEdit>(u"sle_2"_s, top);
    sle_2->setGeometry(320, 10, 120, 26);
    named<QLabel>(u"st_2"_s, u"表中字段名："_s, top)->setGeometry(450, 12, 90, 24);
    sle_3 = named<QLineEdit>(u"sle_3"_s, top);
    sle_3->setGeometry(540, 10, 120, 26);
    named<QLabel>(u"st_3"_s, u"表用途："_s, top)->setGeometry(670, 12, 66, 24);
    sle_4 = named<QLineEdit>(u"sle_4"_s, top);
    sle_4->setGeometry(736, 10, 120, 26);
    auto *cb_1 = named<QPushButton>(u"cb_1"_s, u"查询"_s, top);
    cb_1->setGeometry(866, 8, 80, 30);
    auto *cb_3 = named<QPushButton>(u"cb_3"_s, u"另存为"_s, top);
    cb_3->setGeometry(952, 8, 80, 30);
    named<zorv::gui::uo_close>(u"cb_11"_s, top)->setGeometry(1038, 8, 90, 30);
    top->setMinimumWidth(1140);

    dw_1 = named<zorv::gui::GridView>(u"dw_1"_s, this);
    dw_1->setGrid(m_grid.get());
    dw_1->setEditable(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(top);
    layout->addWidget(dw_1, 1);

    connect(cb_1, &QPushButton::clicked, this, &w_dcbase::cb_1_clicked);
    connect(cb_3, &QPushButton::clicked, this, [this] { zorv::saveGridWithDialog(*m_grid); });
    connect(dw_1, &zorv::gui::GridView::clicked, this, [this](qint64 row, const QString &object) {
        zorv::handleGridClick(*m_grid, row, object, zorv::GridClickVariant::SortOnly, ib_flag,
                              i_lng_lastrow);
    });
}

w_dcbase::~w_dcbase() = default;

// The open event: the window takes the size of the frame's work area.
void w_dcbase::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_sized)
        return;
    m_sized = true;
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        auto *sub = qobject_cast<QMdiSubWindow *>(w);
        if (sub && sub->mdiArea()) {
            sub->resize(sub->mdiArea()->viewport()->size());
            break;
        }
    }
}

void w_dcbase::cb_1_clicked() {
    const zorv::catalogue::Filters filters{sle_1->text(), sle_2->text(), sle_3->text(),
                                           sle_4->text()};
    QString error;
    if (zorv::catalogue::queryExport(*m_grid, zorv::db::sqlca(), filters, &error) < 0)
        zorv::platform().messageBox(u"提示"_s, u"查询失败。\n出错信息:"_s + error);
}
