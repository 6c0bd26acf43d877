// Steps 3 and 4 of w_frn (target folder, execution, folder creation) and the
// narrowing of the list by a name list or a name fragment.

#include "gui/files/w_frn.h"

#include "core/app/data_home.h"
#include "core/app/globals.h"
#include "core/files/batch_plan.h"
#include "core/files/batch_run.h"
#include "core/files/list_file.h"
#include "core/files/name_match.h"
#include "core/files/row_ops.h"
#include "core/files/run_journal.h"
#include "core/files/run_undo.h"
#include "core/platform/platform.h"
#include "gui/files/w_cjwjj.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;
namespace files = zorv::files;

namespace {

// The window's journals: "journal" beside the zorv.ini in use.
QString journalFolder() {
    const QString profile = zorv::app::globals().profile;
    const QString home =
        profile.isEmpty() ? zorv::app::dataHomePath() : QFileInfo(profile).absolutePath();
    return home + u"/journal"_s;
}

} // namespace

zorv::files::RunOptions w_frn::runOptions() const {
    files::RunOptions o;
    o.move = rb_5->isChecked();
    o.overwrite = rb_7->isChecked();
    return o;
}

void w_frn::pb_1_clicked() {
    vpb_1->setValue(0);
    if (files::chooseTarget(*m_grid, m_state, cbx_3->isChecked()))
        cb_3->setEnabled(true);
}

void w_frn::cb_3_clicked() {
    if (m_grid->rowCount() > 0)
        cb_3->setEnabled(false);
    files::RunSummary summary;
    {
        BusyScope busy(this);
        files::JournalPlace journal;
        journal.folder = journalFolder();
        summary = files::executeRun(*m_grid, m_state, runOptions(), busy, &journal);
    }
    // The loop's last "正在执行：N" is no status once the run has ended.
    if (zorv::platform().statusText().startsWith(u"正在执行："_s))
        setStatus(QString());
    // Only a run that went to its end (or was declined before it touched
    // anything) makes the button usable again; the finished run has shown
    // every row, so the list is no longer filtered.
    if (summary.end == files::RunEnd::Completed || summary.end == files::RunEnd::EmptyGrid ||
        summary.end == files::RunEnd::Cancelled || summary.end == files::RunEnd::NoJournal)
        cb_3->setEnabled(true);
    if (summary.end == files::RunEnd::Completed)
        rb_3->setChecked(true);
}

void w_frn::cb_undo_clicked() {
    {
        BusyScope busy(this);
        files::undoLastRun(*m_grid, journalFolder(), busy);
    }
    if (zorv::platform().statusText().startsWith(u"正在撤销："_s))
        setStatus(QString());
}

void w_frn::cb_9_clicked() {
    const auto parent = files::chooseParentFolder(m_state);
    if (!parent)
        return;
    w_cjwjj dialog(*parent, this);
    dialog.exec();
}

void w_frn::cb_10_clicked() {
    files::MatchEnd end;
    {
        BusyScope busy(this);
        end = files::matchNameListChosen(*m_grid, sle_1->text(), files::openListFile, busy);
    }
    if (end == files::MatchEnd::Filtered)
        rb_4->setChecked(true);
}

void w_frn::rb_4_clicked() {
    files::filterByFragment(*m_grid, sle_1->text());
}

void w_frn::rb_3_clicked() {
    files::clearFilter(*m_grid);
}
