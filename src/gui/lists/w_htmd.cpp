#include "gui/lists/w_htmd.h"

#include "core/db/transaction.h"
#include "core/grid/grid_save_dialog.h"
#include "core/grid/header_click.h"
#include "core/lists/compare.h"
#include "core/lists/compare_grids.h"
#include "core/lists/list_load.h"
#include "core/lists/register_save.h"
#include "core/platform/platform.h"
#include "gui/grid/busy_guard.h"
#include "gui/grid/f_resize.h"
#include "gui/grid/grid_view.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace Qt::Literals::StringLiterals;
namespace lists = zorv::lists;

namespace {

// A long step of the window: input blocked but Esc, progress on the bar,
// the window marked busy so that it neither closes nor starts another step.
class Busy final : public zorv::ProgressSink {
public:
    Busy(bool &flag, QProgressBar *bar) : m_flag(flag), m_guard(bar) {
        m_flag = true;
        bar->setValue(0);
    }
    ~Busy() override { m_flag = false; }
    void progress(qint64 done, qint64 total, const QString &status) override {
        m_guard.progress(done, total, status);
    }
    bool stopRequested() override { return m_guard.stopRequested(); }

private:
    bool &m_flag;
    zorv::gui::BusyGuard m_guard;
};

} // namespace

w_htmd::w_htmd(QWidget *parent)
    : QWidget(parent), m_list1(lists::makeListGrid(1)), m_list2(lists::makeListGrid(2)),
      m_dups1(lists::makeDuplicateGrid(1)), m_dups2(lists::makeDuplicateGrid(2)) {
    setObjectName(u"w_htmd"_s);
    setWindowTitle(u"名单核对"_s);
    resize(kDesignSize);
    buildControls();
    connectHandlers();
    // The open event: scale to the screen; the folder-listing buffer stays hidden.
    zorv::gui::f_resize(this, true);
    lb_1->hide();
}

w_htmd::~w_htmd() = default;

void w_htmd::closeEvent(QCloseEvent *event) {
    // A running step still works on the grids.
    if (m_busy) {
        event->ignore();
        return;
    }
    event->accept();
}

void w_htmd::connectHandlers() {
    auto onClick = [this](QAbstractButton *b, void (w_htmd::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, handler);
    };
    onClick(rb_1, &w_htmd::rb_1_clicked);
    onClick(rb_2, &w_htmd::rb_2_clicked);
    onClick(cb_10, &w_htmd::cb_10_clicked);
    onClick(cb_1, &w_htmd::cb_1_clicked);
    onClick(cb_3, &w_htmd::cb_3_clicked);
    onClick(cb_4, &w_htmd::cb_4_clicked);
    onClick(cb_6, &w_htmd::cb_6_clicked);
    onClick(cb_5, &w_htmd::cb_5_clicked);
    onClick(cb_7, &w_htmd::cb_7_clicked);
    onClick(cb_8, &w_htmd::cb_8_clicked);
    onClick(cb_2, &w_htmd::cb_2_clicked);
    connect(ddlb_1, &QComboBox::currentIndexChanged, this, &w_htmd::ddlb_1_modified);
    connect(dw_1, &zorv::gui::GridView::clicked, this,
            [this](qint64 row, const QString &object) { dw_clicked(*m_list1, row, object); });
    connect(dw_2, &zorv::gui::GridView::clicked, this,
            [this](qint64 row, const QString &object) { dw_clicked(*m_list2, row, object); });
}

zorv::Grid &w_htmd::selectedList() const {
    return rb_1->isChecked() ? *m_list1 : *m_list2;
}

// The radio buttons keep em_1 at the number of the list they select.
void w_htmd::rb_1_clicked() {
    if (!rb_1->isChecked()) {
        rb_2->setChecked(true);
        em_1->setValue(2);
    } else {
        em_1->setValue(1);
    }
}

void w_htmd::rb_2_clicked() {
    if (!rb_2->isChecked()) {
        rb_1->setChecked(true);
        em_1->setValue(1);
    } else {
        em_1->setValue(2);
    }
}

void w_htmd::cb_10_clicked() {
    if (m_busy)
        return;
    Busy busy(m_busy, hpb_1);
    lists::pasteList(selectedList(), &busy);
}

void w_htmd::cb_1_clicked() {
    if (m_busy)
        return;
    const int firstRow = em_2->value();
    const int column = em_3->value();
    Busy busy(m_busy, hpb_1);
    lists::importChosenList(selectedList(), column, firstRow, &busy);
}

void w_htmd::cb_3_clicked() {
    if (m_busy)
        return;
    auto &p = zorv::platform();
    const auto folder = p.chooseFolder(u"选择欲批量更名的源文件所在文件夹"_s);
    if (!folder) {
        p.messageBox(u"提示"_s, u"文件夹选择被取消"_s);
        return;
    }
    ls_path1 = *folder;
    Busy busy(m_busy, hpb_1);
    const auto r = lists::loadFolderTree(selectedList(), ls_path1, &busy);
    if (r.imported())
        p.messageBox(u"提示"_s, u"完成"_s);
}

void w_htmd::cb_4_clicked() {
    if (m_busy)
        return;
    lists::CompareOptions options;
    options.normalize = cbx_1->isChecked();
    Busy busy(m_busy, hpb_1);
    const auto outcome =
        lists::compareLists(*m_list1, *m_list2, *m_dups1, *m_dups2, options, &busy);
    if (outcome.end == lists::CompareEnd::Stopped)
        zorv::platform().setStatusText(u"核对已中止，两个名单保持原样。"_s);
}

void w_htmd::ddlb_1_modified() {
    const QString xs = ddlb_1->currentText();
    const QString expr = xs == u"全部"_s ? u"xh>0"_s : u"jg = "_s + zorv::Grid::quote(xs);
    for (zorv::Grid *g : {m_list1.get(), m_list2.get()}) {
        g->setFilter(expr);
        g->filter();
    }
}

void w_htmd::cb_6_clicked() {
    if (m_busy)
        return;
    Busy busy(m_busy, hpb_1);
    lists::saveListToRegister(selectedList(), em_1->value(), zorv::db::sqlca(), &busy);
}

void w_htmd::cb_5_clicked() {
    zorv::saveGridWithDialog(selectedList());
}

void w_htmd::cb_7_clicked() {
    zorv::saveGridWithDialog(*m_dups1);
}

void w_htmd::cb_8_clicked() {
    zorv::saveGridWithDialog(*m_dups2);
}

void w_htmd::cb_2_clicked() {
    selectedList().reset();
}

void w_htmd::dw_clicked(zorv::Grid &grid, qint64 row, const QString &object) {
    zorv::handleGridClick(grid, row, object, zorv::GridClickVariant::SortOnly, ib_flag, m_lastRow);
}
