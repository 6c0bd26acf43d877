#pragma once
// "从excel文件中导入oracle表信息": loads catalogue lines (table, column, type,
// length, purpose) by paste, from a spreadsheet or from a live database's own
// structure, and stores them into the catalogue.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zorv::gui {
class GridView;
}

class w_drbase : public QWidget {
    Q_OBJECT
public:
    explicit w_drbase(QWidget *parent = nullptr);
    ~w_drbase() override;

    zorv::Grid *grid() const { return m_grid.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cb_17_clicked();
    void cb_1_clicked();
    void cb_2_clicked();
    void cb_4_clicked();
    void loaded(bool fromFile);

    std::unique_ptr<zorv::Grid> m_grid;
    bool m_busy = false;
    QPushButton *cb_1 = nullptr, *cb_2 = nullptr;
    QLabel *st_1 = nullptr;
    QLineEdit *sle_1 = nullptr;
    QProgressBar *hpb_1 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr;
};
