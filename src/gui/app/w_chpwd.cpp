#include "gui/app/w_chpwd.h"

#include "core/app/account.h"
#include "gui/app/modified.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/app/uo_ok.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zorv::gui {

QLineEdit *w_chpwd::makeEdit(const char *name) {
    auto *edit = named<QLineEdit>(QString::fromLatin1(name), this);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(20);
    edit->setMinimumWidth(160);
    return edit;
}

w_chpwd::w_chpwd(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("w_chpwd"));
    setWindowTitle(QStringLiteral("更改用户及密码"));

    gb_1 = named<QGroupBox>(QStringLiteral("gb_1"), this);
    gb_2 = named<QGroupBox>(QStringLiteral("gb_2"), this);
    st_3 = named<QLabel>(QStringLiteral("st_3"), QStringLiteral("新用户"), gb_1);
    st_4 = named<QLabel>(QStringLiteral("st_4"), QStringLiteral("再次输入新用户"), gb_1);
    st_2 = named<QLabel>(QStringLiteral("st_2"), QStringLiteral("新密码"), gb_2);
    st_1 = named<QLabel>(QStringLiteral("st_1"), QStringLiteral("再次输入新密码"), gb_2);
    sle_1 = makeEdit("sle_1");
    sle_2 = makeEdit("sle_2");
    sle_newpw = makeEdit("sle_newpw");
    sle_newpwag = makeEdit("sle_newpwag");
    cb_ok = named<uo_ok>(QStringLiteral("cb_ok"), this);
    cb_close = named<uo_close>(QStringLiteral("cb_close"), this);

    auto *users = new QFormLayout(gb_1);
    users->addRow(st_3, sle_1);
    users->addRow(st_4, sle_2);
    auto *passwords = new QFormLayout(gb_2);
    passwords->addRow(st_2, sle_newpw);
    passwords->addRow(st_1, sle_newpwag);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cb_ok);
    buttons->addWidget(cb_close);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(gb_1);
    outer->addWidget(gb_2);
    outer->addLayout(buttons);

    onModified(sle_1, [this](bool) { sle_2->setFocus(); });
    onModified(sle_2, [this](bool) {
        if (app::confirmUser(sle_1->text(), sle_2->text()))
            sle_newpw->setFocus();
        else
            sle_2->setFocus();
    });
    onModified(sle_newpw, [this](bool) { sle_newpwag->setFocus(); });
    onModified(sle_newpwag, [this](bool) {
        if (!app::confirmPassword(sle_newpw->text(), sle_newpwag->text()))
            sle_newpwag->setFocus();
    });
    connect(cb_ok, &QPushButton::clicked, this, &w_chpwd::okClicked);
}

void w_chpwd::okClicked() {
    const app::AccountChange out =
        app::changeAccount(sle_1->text(), sle_2->text(), sle_newpw->text(), sle_newpwag->text());
    if (out.focus == app::AccountChange::Focus::NewUser)
        sle_1->setFocus();
    else if (out.focus == app::AccountChange::Focus::NewPassword)
        sle_newpw->setFocus();
    if (out.closeWindow)
        closeHostWindow(this);
}

} // namespace zorv::gui
