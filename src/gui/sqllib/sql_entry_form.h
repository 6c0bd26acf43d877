#pragma once
// The layout and save button shared by the two windows that store one new
// statement with its purpose (w_isql, w_ssql): st_3 "SQL语句:" with the
// statement edit mle_1, st_1 "用途:" with mle_2 (at most 60 characters),
// cb_1 "保存(&S)" and the close button cb_2.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zorv::gui {

class uo_close;

class SqlEntryForm : public QWidget {
    Q_OBJECT
public:
    // requireContent: an empty statement or purpose is refused.
    SqlEntryForm(const QString &name, const QString &title, bool requireContent, QWidget *parent);

    static constexpr int kPurposeLimit = 60;

protected:
    QPlainTextEdit *mle_1;
    QPlainTextEdit *mle_2;

private:
    void cb_1_clicked();

    bool m_requireContent;
    QLabel *st_3;
    QLabel *st_1;
    QPushButton *cb_1;
    uo_close *cb_2;
};

} // namespace zorv::gui
