#pragma once
// The login window "用户登录": reads the configuration and connects when it
// opens, offers the register button while not connected, and checks the user
// name and password. The logic lives in zorv::app::LoginLogic.

#include "core/app/login.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::gui {

class uo_close;
class uo_ok;

class w_login : public QDialog {
    Q_OBJECT
public:
    explicit w_login(db::Transaction &tx = db::sqlca(), QWidget *parent = nullptr);

    // The window's open event; the window is shown afterwards only when the
    // step asks for a login or the register button.
    app::LoginStep open(const QString &startDir);
    app::LoginLogic &logic() { return m_logic; }

signals:
    // No account is set or the login succeeded: the frame is to open.
    void openMainRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void apply(app::LoginStep step);
    void okClicked();

    app::LoginLogic m_logic;
    QLabel *st_1;
    QLabel *st_2;
    QLineEdit *sle_name;
    QLineEdit *sle_pw;
    uo_ok *cb_ok;
    uo_close *cb_cancel;
    QPushButton *cb_reg;
    bool m_finished = false;
};

} // namespace zorv::gui
