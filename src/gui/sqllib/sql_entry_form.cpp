#include "gui/sqllib/sql_entry_form.h"

#include "core/db/transaction.h"
#include "core/sqllib/sql_entry.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/sqllib/sql_edits.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace zorv::gui {

SqlEntryForm::SqlEntryForm(const QString &name, const QString &title, bool requireContent,
                           QWidget *parent)
    : QWidget(parent), m_requireContent(requireContent) {
    setObjectName(name);
    setWindowTitle(title);

    st_3 = named<QLabel>(u"st_3"_s, u"SQL语句:"_s, this);
    mle_1 = makeStatementEdit(u"mle_1"_s, this);
    st_1 = named<QLabel>(u"st_1"_s, u"用途:"_s, this);
    mle_2 = makeLimitedEdit(u"mle_2"_s, kPurposeLimit, this);
    mle_2->setMaximumHeight(70);
    cb_1 = named<QPushButton>(u"cb_1"_s, u"保存(&S)"_s, this);
    cb_2 = named<uo_close>(u"cb_2"_s, this);

    auto *layout = new QGridLayout(this);
    layout->addWidget(st_3, 0, 0, Qt::AlignTop);
    layout->addWidget(mle_1, 0, 1);
    layout->addWidget(st_1, 1, 0, Qt::AlignTop);
    layout->addWidget(mle_2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cb_1);
    buttons->addWidget(cb_2);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setRowStretch(0, 1);
    resize(680, 420);

    connect(cb_1, &QPushButton::clicked, this, &SqlEntryForm::cb_1_clicked);
}

// Stored: both edits empty for the next entry; refused or failed: both kept.
void SqlEntryForm::cb_1_clicked() {
    const sqllib::EntryResult r =
        sqllib::addEntry(db::sqlca(), mle_1->toPlainText(), mle_2->toPlainText(), m_requireContent);
    sqllib::reportSave(r);
    if (r.ok()) {
        mle_1->clear();
        mle_2->clear();
    }
}

} // namespace zorv::gui
