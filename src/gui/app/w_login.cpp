#include "gui/app/w_login.h"

#include "gui/app/app_exit.h"
#include "gui/app/modified.h"
#include "gui/app/named.h"
#include "gui/app/uo_close.h"
#include "gui/app/uo_ok.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorv::gui {

using app::LoginStep;

w_login::w_login(db::Transaction &tx, QWidget *parent) : QDialog(parent), m_logic(tx) {
    setObjectName(QStringLiteral("w_login"));
    setWindowTitle(QStringLiteral("用户登录"));
    setModal(true);

    st_1 = named<QLabel>(QStringLiteral("st_1"), QStringLiteral("用 户 名："), this);
    st_2 = named<QLabel>(QStringLiteral("st_2"), QStringLiteral("用户密码："), this);
    sle_name = named<QLineEdit>(QStringLiteral("sle_name"), this);
    sle_pw = named<QLineEdit>(QStringLiteral("sle_pw"), this);
    sle_pw->setEchoMode(QLineEdit::Password);
    cb_ok = named<uo_ok>(QStringLiteral("cb_ok"), this);
    cb_cancel = named<uo_close>(QStringLiteral("cb_cancel"), this);
    cb_cancel->setClosesWindow(false);
    cb_reg = named<QPushButton>(QStringLiteral("cb_reg"), QStringLiteral("注册"), this);
    cb_reg->setAutoDefault(false);
    cb_reg->hide();

    auto *grid = new QGridLayout;
    grid->addWidget(st_1, 0, 0);
    grid->addWidget(sle_name, 0, 1);
    grid->addWidget(st_2, 1, 0);
    grid->addWidget(sle_pw, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cb_ok);
    buttons->addWidget(cb_reg);
    buttons->addWidget(cb_cancel);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 20, 24, 16);
    outer->setSpacing(16);
    outer->addLayout(grid);
    outer->addLayout(buttons);
    sle_name->setMinimumWidth(180);

    onModified(sle_name, [this](bool) { sle_pw->setFocus(); });
    onModified(sle_pw, [this](bool byEnter) {
        if (byEnter && !sle_pw->text().isEmpty()) {
            cb_ok->setFocus();
            cb_ok->click();
        }
    });
    connect(cb_ok, &QPushButton::clicked, this, &w_login::okClicked);
    connect(cb_cancel, &QPushButton::clicked, this, [this] { apply(LoginStep::EndProgram); });
    connect(cb_reg, &QPushButton::clicked, this, [this] { apply(m_logic.registerClicked()); });
}

LoginStep w_login::open(const QString &startDir) {
    const LoginStep step = m_logic.open(startDir);
    apply(step);
    return step;
}

void w_login::okClicked() {
    apply(m_logic.okClicked(sle_name->text(), sle_pw->text()));
}

void w_login::apply(LoginStep step) {
    switch (step) {
    case LoginStep::OpenMain:
        m_finished = true;
        emit openMainRequested();
        close();
        break;
    case LoginStep::WaitForLogin:
        cb_reg->hide();
        cb_ok->show();
        break;
    case LoginStep::OfferRegister:
        cb_reg->show();
        cb_ok->hide();
        break;
    case LoginStep::RetryLogin:
        sle_name->setFocus();
        break;
    case LoginStep::Nothing:
        break;
    case LoginStep::EndProgram:
        if (!m_finished) {
            m_finished = true;
            endProgram();
        }
        close();
        break;
    }
}

void w_login::reject() {
    // Esc is the cancel button's, which ends the program.
    if (!m_finished)
        cb_cancel->click();
}

void w_login::closeEvent(QCloseEvent *event) {
    // Closing the window by its title bar is the same as cancelling.
    if (!m_finished) {
        m_finished = true;
        endProgram();
    }
    event->accept();
}

} // namespace zorv::gui
