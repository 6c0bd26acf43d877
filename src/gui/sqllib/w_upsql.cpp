#include "gui/sqllib/w_upsql.h"

#include "core/db/transaction.h"
#include "core/platform/platform.h"
#include "core/sqllib/sql_entry.h"
#include "core/sqllib/sql_messages.h"
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

w_upsql::w_upsql(qint64 bh, QWidget *parent) : QDialog(parent), ls_bh(bh) {
    setObjectName(u"w_upsql"_s);
    setWindowTitle(u"SQL语句维护与应用"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    st_3 = named<QLabel>(u"st_3"_s, u"SQL语句:"_s, this);
    mle_1 = makeStatementEdit(u"mle_1"_s, this);
    st_1 = named<QLabel>(u"st_1"_s, u"用途:"_s, this);
    mle_2 = named<QPlainTextEdit>(u"mle_2"_s, this);
    mle_2->setMaximumHeight(70);
    cb_4 = named<QPushButton>(u"cb_4"_s, u"复制SQL"_s, this);
    cb_3 = named<QPushButton>(u"cb_3"_s, u"删除"_s, this);
    cb_1 = named<QPushButton>(u"cb_1"_s, u"修改"_s, this);
    cb_2 = named<uo_close>(u"cb_2"_s, this);
    for (QPushButton *b : {cb_4, cb_3, cb_1, static_cast<QPushButton *>(cb_2)})
        b->setAutoDefault(false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(st_3, 0, 0, Qt::AlignTop);
    layout->addWidget(mle_1, 0, 1);
    layout->addWidget(st_1, 1, 0, Qt::AlignTop);
    layout->addWidget(mle_2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {cb_4, cb_3, cb_1, static_cast<QPushButton *>(cb_2)})
        buttons->addWidget(b);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setRowStretch(0, 1);
    resize(720, 460);

    connect(cb_4, &QPushButton::clicked, this, &w_upsql::cb_4_clicked);
    connect(cb_3, &QPushButton::clicked, this, &w_upsql::cb_3_clicked);
    connect(cb_1, &QPushButton::clicked, this, &w_upsql::cb_1_clicked);

    // The open event: an entry that is gone leaves both edits empty, silently.
    const sqllib::EntryResult r = sqllib::readEntry(db::sqlca(), ls_bh);
    sqllib::reportRead(r);
    mle_1->setPlainText(r.entry.sql);
    mle_2->setPlainText(r.entry.purpose);
}

void w_upsql::cb_4_clicked() {
    platform().setClipboardText(mle_1->toPlainText());
}

void w_upsql::cb_3_clicked() {
    if (platform().messageBox(sqllib::msg::hint(), sqllib::msg::confirmDelete(), MsgIcon::Warning,
                              MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    sqllib::reportDelete(sqllib::deleteEntry(db::sqlca(), ls_bh));
}

void w_upsql::cb_1_clicked() {
    sqllib::reportSave(
        sqllib::updateEntry(db::sqlca(), ls_bh, mle_1->toPlainText(), mle_2->toPlainText()));
}

} // namespace zorv::gui
