#pragma once
// The account window "更改用户及密码": a new user name and a new password,
// each typed twice in hidden edits of at most 20 characters. The logic lives
// in zorv::app (account.h); the window runs on the shared transaction.

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace zorv::gui {

class uo_close;
class uo_ok;

class w_chpwd : public QWidget {
    Q_OBJECT
public:
    explicit w_chpwd(QWidget *parent = nullptr);

private:
    QLineEdit *makeEdit(const char *name);
    void okClicked();

    QGroupBox *gb_1;
    QGroupBox *gb_2;
    QLabel *st_1;
    QLabel *st_2;
    QLabel *st_3;
    QLabel *st_4;
    QLineEdit *sle_1;
    QLineEdit *sle_2;
    QLineEdit *sle_newpw;
    QLineEdit *sle_newpwag;
    uo_ok *cb_ok;
    uo_close *cb_close;
};

} // namespace zorv::gui
