#pragma once
// "合并B列（A列相同时）": a two-column table (A a key, B a value) loaded from
// the clipboard or a spreadsheet; the merge gives every row of a group of
// equal A values the group's B values joined with the separator, the
// duplicate filter then shows each A once. The work is done by core/lists.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorv::gui {
class GridView;
}

class w_hbbl : public QWidget {
    Q_OBJECT
public:
    explicit w_hbbl(QWidget *parent = nullptr);
    ~w_hbbl() override;

    zorv::Grid *grid() const { return m_grid.get(); }

private:
    void buildControls();
    void cb_1_clicked();
    void cb_17_clicked();
    void cb_11_clicked();
    void cb_3_clicked();
    void cb_4_clicked();
    void cb_8_clicked();
    void cb_2_clicked();
    void cb_6_clicked();

    std::unique_ptr<zorv::Grid> m_grid;
    zorv::gui::GridView *dw_1 = nullptr;
    QPushButton *cb_1 = nullptr, *cb_17 = nullptr, *cb_11 = nullptr, *cb_8 = nullptr,
                *cb_3 = nullptr, *cb_4 = nullptr, *cb_2 = nullptr, *cb_6 = nullptr, *cb_7 = nullptr;
    QLabel *st_7 = nullptr;
    QLineEdit *sle_1 = nullptr;
};
