#pragma once
// "添加备注": the modal dialog that stores a remark (at most 50 characters) in
// the register row whose number it was given. It stays open after saving;
// "取消(&Q)" closes it.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class w_jbz : public QDialog {
    Q_OBJECT
public:
    // lsbh: the register number bh of the row being annotated.
    explicit w_jbz(qint64 lsbh, QWidget *parent = nullptr);
    ~w_jbz() override;

    qint64 number() const { return lsbh; }

private:
    void mle_1_changed();
    void cb_1_clicked();

    qint64 lsbh;
    QLabel *st_1 = nullptr, *st_2 = nullptr, *st_3 = nullptr;
    QPlainTextEdit *mle_1 = nullptr;
    QPushButton *cb_1 = nullptr, *cb_2 = nullptr;
};
