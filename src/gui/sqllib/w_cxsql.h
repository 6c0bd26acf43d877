#pragma once
// The library browser "查询保存的SQL语句": entries whose statement text and
// purpose contain the two edits' texts, ordered by purpose; a double-click
// opens the maintenance window w_upsql for the entry of the current row.

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv {
class Grid;
}

namespace zorv::gui {

class GridView;
class uo_close;

class w_cxsql : public QWidget {
    Q_OBJECT
public:
    explicit w_cxsql(QWidget *parent = nullptr);
    ~w_cxsql() override;

    Grid &grid() const { return *m_grid; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cb_1_clicked();
    void cb_3_clicked();
    void dw_1_clicked(qint64 row, const QString &object);
    void dw_1_doubleClicked();

    std::unique_ptr<Grid> m_grid;
    bool ib_flag = false;
    qint64 i_lng_lastrow = 0;

    QLabel *st_1;
    QLabel *st_2;
    QLineEdit *sle_1;
    QLineEdit *sle_2;
    QPushButton *cb_1;
    QPushButton *cb_3;
    uo_close *cb_2;
    GridView *dw_1;
};

} // namespace zorv::gui
