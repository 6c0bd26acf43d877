#include "gui/catalogue/w_ed.h"

#include "core/app/globals.h"
#include "core/db/statements.h"
#include "core/platform/platform.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::named;

namespace {

constexpr int kPurposeLimit = 50;

// Keeps the edit within limit characters, as the edit's own limit does.
void limitLength(QPlainTextEdit *edit, int limit) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, limit] {
        const QString text = edit->toPlainText();
        if (text.size() <= limit)
            return;
        edit->setPlainText(text.left(limit));
        edit->moveCursor(QTextCursor::End);
    });
}

} // namespace

w_ed::w_ed(const QString &tableName, QWidget *parent) : QDialog(parent) {
    setObjectName(u"w_ed"_s);
    setWindowTitle(u"oracle表用途修改"_s);
    setModal(true);
    setFixedSize(440, 220);

    named<QLabel>(u"st_2"_s, u"表名:"_s, this)->setGeometry(16, 18, 70, 24);
    st_1 = named<QLabel>(u"st_1"_s, tableName, this);
    st_1->setGeometry(90, 18, 330, 24);
    named<QLabel>(u"st_3"_s, u"表用途:"_s, this)->setGeometry(16, 54, 70, 24);
    mle_1 = named<QPlainTextEdit>(u"mle_1"_s, this);
    mle_1->setGeometry(90, 52, 330, 100);
    mle_1->setTabChangesFocus(true);
    limitLength(mle_1, kPurposeLimit);
    mle_1->setPlainText(zorv::app::globals().lTablen);

    auto *cb_1 = named<QPushButton>(u"cb_1"_s, u"保存(&S)"_s, this);
    cb_1->setGeometry(90, 170, 100, 30);
    auto *cb_2 = named<zorv::gui::uo_close>(u"cb_2"_s, this);
    cb_2->setGeometry(320, 170, 100, 30);
    connect(cb_1, &QPushButton::clicked, this, &w_ed::cb_1_clicked);
}

void w_ed::cb_1_clicked() {
    const QString ls_purpose = mle_1->toPlainText().trimmed();
    const QString ls_t = st_1->text().trimmed();
    zorv::db::Transaction &tx = zorv::db::sqlca();
    const bool updated = zorv::db::updateTablePurpose(tx, ls_purpose, ls_t) == 0;
    const qint64 changed = tx.sqlnrows();
    if (!updated || tx.commit() != 0) {
        const QString error = tx.sqlerrtext();
        if (tx.inTransaction())
            tx.rollback();
        zorv::platform().messageBox(u"保存失败"_s, u"出错信息:"_s + error, zorv::MsgIcon::Warning);
        return;
    }
    // The table may have left the catalogue since the browser listed it.
    if (changed == 0) {
        zorv::platform().messageBox(u"保存失败"_s,
                                    u"目录中已没有表“%1”，用途没有保存。"_s.arg(ls_t),
                                    zorv::MsgIcon::Warning);
        return;
    }
    zorv::platform().messageBox(u"提示"_s, u"保存成功!"_s);
}
