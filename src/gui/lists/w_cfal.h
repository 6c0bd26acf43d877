#pragma once
// "A列复合字段转单一字段": rows whose column A packs several values are
// converted into one row per value in the second grid. The duplicate filter,
// save-as and copy act on the grid chosen with rb_1 / rb_2; imports and
// "清空" on the first grid. The work is done by core/lists.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zorv::gui {
class GridView;
}

class w_cfal : public QWidget {
    Q_OBJECT
public:
    explicit w_cfal(QWidget *parent = nullptr);
    ~w_cfal() override;

    zorv::Grid *source() const { return m_source.get(); }
    zorv::Grid *target() const { return m_target.get(); }

private:
    void buildControls();
    // dw_1 when rb_1 is selected, else dw_2; read afresh by every handler.
    zorv::Grid &chosen() const;
    void cb_11_clicked();

    std::unique_ptr<zorv::Grid> m_source, m_target;
    zorv::gui::GridView *dw_1 = nullptr, *dw_2 = nullptr;
    QLabel *st_1 = nullptr, *st_2 = nullptr;
    QLineEdit *sle_1 = nullptr;
    QGroupBox *gb_1 = nullptr;
    QRadioButton *rb_1 = nullptr, *rb_2 = nullptr;
};
