#pragma once
// The import window "导入SQL语句": statement/purpose pairs pasted or read from
// a spreadsheet into the grid, then stored in one run ("保存") with numbers
// counting up from the largest stored one, and the library swept of exact
// duplicates. Empty: no rows, save disabled; loaded: save enabled.

#include <QWidget>
#include <memory>

class QProgressBar;
class QPushButton;

namespace zorv {
class Grid;
}

namespace zorv::gui {

class GridView;
class uo_button;
class uo_close;

class w_drsql : public QWidget {
    Q_OBJECT
public:
    explicit w_drsql(QWidget *parent = nullptr);
    ~w_drsql() override;

    Grid &grid() const { return *m_grid; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cb_17_clicked();
    void cb_1_clicked();
    void cb_2_clicked();

    std::unique_ptr<Grid> m_grid;
    bool m_busy = false;

    uo_button *cb_17;
    QPushButton *cb_1;
    QPushButton *cb_2;
    uo_close *cb_3;
    GridView *dw_1;
    QProgressBar *hpb_1;
};

} // namespace zorv::gui
