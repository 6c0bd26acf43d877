#pragma once
// Modal dialog that creates one new folder inside a given parent folder.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class w_cjwjj : public QDialog {
    Q_OBJECT
public:
    // parentFolder is shown in st_1; the new folder is created inside it.
    explicit w_cjwjj(const QString &parentFolder, QWidget *parent = nullptr);

private:
    void cb_1_clicked();

    QLabel *st_1 = nullptr;
    QPlainTextEdit *mle_1 = nullptr;
    QPushButton *cb_1 = nullptr;
    QPushButton *cb_2 = nullptr;
};
