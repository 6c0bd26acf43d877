#include "gui/catalogue/w_drbase.h"

#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/catalogue_import.h"
#include "core/catalogue/structure_reader.h"
#include "core/db/transaction.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
#include "core/platform/platform.h"
#include "gui/app/named.h"
#include "gui/app/uo_button.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/grid_view.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <climits>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::named;

namespace {

const QString kPasteTag = u"粘贴的内容与顺序与数据窗口列名要一致"_s;
const QString kSqliteFilter =
    u"SQLite数据库(*.db;*.sqlite;*.sqlite3;*.mdb),*.db;*.sqlite;*.sqlite3;*.mdb,所有文件(*.*),*"_s;

} // namespace

w_drbase::w_drbase(QWidget *parent) : QWidget(parent) {
    setObjectName(u"w_drbase"_s);
    setWindowTitle(u"从excel文件中导入oracle表信息"_s);
    resize(900, 600);
    m_grid = zorv::catalogue::makeImportGrid();

    auto *cb_17 = named<zorv::gui::uo_button>(u"cb_17"_s, u"粘贴导入"_s, this);
    cb_17->setGeometry(10, 10, 100, 30);
    cb_17->setTag(kPasteTag);
    cb_1 = named<QPushButton>(u"cb_1"_s, u"文件导入"_s, this);
    cb_1->setGeometry(118, 10, 100, 30);
    cb_2 = named<QPushButton>(u"cb_2"_s, u"保存"_s, this);
    cb_2->setGeometry(226, 10, 100, 30);
    cb_2->setEnabled(false);
    auto *cb_3 = named<zorv::gui::uo_close>(u"cb_3"_s, this);
    cb_3->setGeometry(334, 10, 100, 30);
    st_1 = named<QLabel>(u"st_1"_s, u"正在导入......"_s, this);
    st_1->setGeometry(450, 14, 140, 24);
    st_1->hide();
    hpb_1 = named<QProgressBar>(u"hpb_1"_s, this);
    hpb_1->setGeometry(600, 14, 290, 22);
    hpb_1->hide();

    auto *cb_4 = named<QPushButton>(u"cb_4"_s, u"从数据库读取表结构"_s, this);
    cb_4->setGeometry(10, 48, 160, 30);
    cb_4->setToolTip(u"ODBC数据源为空时选择一个SQLite数据库文件；否则读取该ODBC数据源"_s);
    named<QLabel>(u"st_2"_s, u"ODBC数据源:"_s, this)->setGeometry(182, 52, 90, 24);
    sle_1 = named<QLineEdit>(u"sle_1"_s, this);
    sle_1->setGeometry(272, 50, 220, 26);
    sle_1->setPlaceholderText(u"空：读取SQLite文件"_s);

    named<QLabel>(u"st_3"_s, u"导入业务表信息"_s, this)->setGeometry(10, 84, 300, 22);
    dw_1 = named<zorv::gui::GridView>(u"dw_1"_s, this);
    dw_1->setGeometry(10, 108, 880, 482);
    dw_1->setGrid(m_grid.get());

    connect(cb_17, &QPushButton::clicked, this, &w_drbase::cb_17_clicked);
    connect(cb_1, &QPushButton::clicked, this, &w_drbase::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &w_drbase::cb_2_clicked);
    connect(cb_4, &QPushButton::clicked, this, &w_drbase::cb_4_clicked);
}

w_drbase::~w_drbase() = default;

void w_drbase::closeEvent(QCloseEvent *event) {
    // A running save still works on the grid and the open transaction.
    if (m_busy) {
        event->ignore();
        return;
    }
    event->accept();
}

void w_drbase::loaded(bool fromFile) {
    if (fromFile)
        cb_1->setEnabled(false);
    cb_2->setEnabled(true);
}

void w_drbase::cb_17_clicked() {
    dw_1->acceptText();
    if (zorv::imports::pasteImport(*m_grid).imported())
        loaded(false);
}

void w_drbase::cb_1_clicked() {
    dw_1->acceptText();
    zorv::imports::ConnectFirstOptions options;
    options.reading = [this](bool on) {
        st_1->setVisible(on);
        st_1->repaint();
    };
    if (zorv::imports::importSheetConnectFirst(*m_grid, options).imported())
        loaded(true);
}

void w_drbase::cb_2_clicked() {
    if (m_busy)
        return;
    dw_1->acceptText();
    hpb_1->show();
    hpb_1->setMaximum(int(qMin<qint64>(m_grid->rowCount(), INT_MAX)));
    m_busy = true;
    zorv::catalogue::SaveReport report;
    {
        zorv::gui::BusyGuard guard(hpb_1);
        report = zorv::catalogue::saveImportGrid(zorv::db::sqlca(), *m_grid, &guard);
    }
    m_busy = false;
    if (report.stored()) {
        cb_2->setEnabled(false);
        cb_1->setEnabled(true);
    }
}

void w_drbase::cb_4_clicked() {
    dw_1->acceptText();
    const QString source = sle_1->text().trimmed();
    QString error;
    qint64 added = -1;
    if (source.isEmpty()) {
        const auto choice =
            zorv::platform().openFile(u"选择SQLite数据库文件"_s, u"db"_s, kSqliteFilter);
        if (!choice || choice->path.isEmpty())
            return;
        added = zorv::catalogue::readSqliteStructure(choice->path, *m_grid, &error);
    } else {
        added = zorv::catalogue::readOdbcStructure(source, *m_grid, &error);
    }
    if (added < 0) {
        zorv::platform().messageBox(u"提示"_s, u"读取表结构失败。\n出错信息:"_s + error);
        return;
    }
    zorv::platform().messageBox(u"信息提示"_s, u"共读取字段数："_s + QString::number(added));
    if (added > 0)
        loaded(false);
}
