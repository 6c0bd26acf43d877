#include "gui/lists/w_jbz.h"

#include "core/db/transaction.h"
#include "core/lists/register_query.h"
#include "gui/app/uo_close.h"
#include "gui/lists/w_hbbl_parts.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

using namespace Qt::Literals::StringLiterals;
using namespace zorv::gui::hmal;

w_jbz::w_jbz(qint64 number, QWidget *parent) : QDialog(parent), lsbh(number) {
    setObjectName(u"w_jbz"_s);
    setWindowTitle(u"添加备注"_s);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    st_2 = placeText<QLabel>(this, u"st_2"_s, u"编号:"_s, QRect(112, 16, 48, 24));
    st_1 = placeText<QLabel>(this, u"st_1"_s, QString::number(lsbh), QRect(160, 16, 120, 24));
    st_3 = placeText<QLabel>(this, u"st_3"_s, u"备注信息"_s, QRect(16, 95, 76, 24));
    mle_1 = place<QPlainTextEdit>(this, u"mle_1"_s, QRect(96, 48, 176, 120));
    mle_1->setLineWrapMode(QPlainTextEdit::NoWrap);
    mle_1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mle_1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    cb_1 = placeText<QPushButton>(this, u"cb_1"_s, u"保存(&S)"_s, QRect(295, 48, 100, 30));
    cb_2 = place<zorv::gui::uo_close>(this, u"cb_2"_s, QRect(295, 110, 100, 30));
    setFixedSize(409, 215);

    connect(mle_1, &QPlainTextEdit::textChanged, this, &w_jbz::mle_1_changed);
    connect(cb_1, &QPushButton::clicked, this, &w_jbz::cb_1_clicked);
}

w_jbz::~w_jbz() = default;

// The edit takes at most kRemarkMaxLength characters, typed or pasted.
void w_jbz::mle_1_changed() {
    const QString text = mle_1->toPlainText();
    if (text.size() <= zorv::lists::kRemarkMaxLength)
        return;
    QSignalBlocker block(mle_1);
    mle_1->setPlainText(text.left(zorv::lists::kRemarkMaxLength));
    mle_1->moveCursor(QTextCursor::End);
}

void w_jbz::cb_1_clicked() {
    zorv::lists::storeRegisterRemark(zorv::db::sqlca(), lsbh, mle_1->toPlainText());
}
