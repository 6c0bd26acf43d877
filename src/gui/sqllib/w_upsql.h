#pragma once
// The maintenance window "SQL语句维护与应用" of one library entry, opened by
// the browser with the entry's number: shows, copies, changes and deletes it.
// A modal dialog; it keeps its number for its whole life.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zorv::gui {

class uo_close;

class w_upsql : public QDialog {
    Q_OBJECT
public:
    explicit w_upsql(qint64 bh, QWidget *parent = nullptr);

    qint64 number() const { return ls_bh; }

private:
    void cb_4_clicked();
    void cb_3_clicked();
    void cb_1_clicked();

    qint64 ls_bh;
    QLabel *st_3;
    QLabel *st_1;
    QPlainTextEdit *mle_1;
    QPlainTextEdit *mle_2;
    QPushButton *cb_4;
    QPushButton *cb_3;
    QPushButton *cb_1;
    uo_close *cb_2;
};

} // namespace zorv::gui
