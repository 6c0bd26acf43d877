#pragma once
// "导出保存的oracle表结构信息": lists the catalogue, one row per column, with
// the browser's four filters, and saves the list through the grid's save-as.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QLineEdit;

namespace zorv::gui {
class GridView;
}

class w_dcbase : public QWidget {
    Q_OBJECT
public:
    explicit w_dcbase(QWidget *parent = nullptr);
    ~w_dcbase() override;

    zorv::Grid *grid() const { return m_grid.get(); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cb_1_clicked();

    std::unique_ptr<zorv::Grid> m_grid;
    bool ib_flag = false;
    qint64 i_lng_lastrow = 0;
    bool m_sized = false;
    QLineEdit *sle_1 = nullptr, *sle_2 = nullptr, *sle_3 = nullptr, *sle_4 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr;
};
