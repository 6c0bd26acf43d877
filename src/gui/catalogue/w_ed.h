#pragma once
// "oracle表用途修改": changes the purpose of one catalogue table. Opened from
// the catalogue browser with the table name; the edit starts with the purpose
// of the table in focus there.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

class w_ed : public QDialog {
    Q_OBJECT
public:
    explicit w_ed(const QString &tableName, QWidget *parent = nullptr);

private:
    void cb_1_clicked();

    QLabel *st_1 = nullptr;
    QPlainTextEdit *mle_1 = nullptr;
};
