#pragma once
// "合并B列（A列相同时）": a two-column table (A a key, B a value) loaded from
// the clipboard or a spreadsheet; the merge gives every row of a group of
// equal A values the group's B values joined with the separator, the
// duplicate filter then shows each A once. The work is done by core/lists.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QLineEdit;

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
    void cb_11_clicked();

    std::unique_ptr<zorv::Grid> m_grid;
    zorv::gui::GridView *dw_1 = nullptr;
    QLineEdit *sle_1 = nullptr;
};
