#pragma once
// "名单查询、修改、删除": the register htt1 queried by identification number,
// date, name and result; the retrieved rows are deleted (selected or all),
// saved, and on a double-click either their file is opened or a remark is
// added through w_jbz. The work is done by core/lists.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zorv::gui {
class GridView;
}

class w_htmtww : public QWidget {
    Q_OBJECT
public:
    // The design size of the window's work space, for a 1280 x 768 screen.
    static constexpr QSize kDesignSize{1174, 643};

    explicit w_htmtww(QWidget *parent = nullptr);
    ~w_htmtww() override;

    zorv::Grid *grid() const { return m_grid.get(); }
    // The hint the status line shows while a pattern field has the focus.
    static QString patternHint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cb_1_clicked();
    void cb_4_clicked();
    void cb_3_clicked();
    void cb_2_clicked();
    void dw_1_clicked(qint64 row, const QString &object);
    void dw_1_doubleClicked(qint64 row, const QString &object);
    void deleteRows(bool selectedOnly);

    std::unique_ptr<zorv::Grid> m_grid;
    bool ib_flag = false;
    qint64 i_lng_lastrow = 0;

    QGroupBox *gb_1 = nullptr, *gb_2 = nullptr;
    QLabel *st_2 = nullptr, *st_5 = nullptr, *st_14 = nullptr, *st_3 = nullptr, *st_10 = nullptr,
           *st_4 = nullptr;
    QLineEdit *sle_1 = nullptr, *sle_3 = nullptr, *em_srsq1 = nullptr, *em_srsq2 = nullptr;
    QSpinBox *em_2 = nullptr, *em_3 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr;
    QPushButton *cb_1 = nullptr, *cb_4 = nullptr, *cb_3 = nullptr, *cb_2 = nullptr, *cb_5 = nullptr;
    QRadioButton *rb_1 = nullptr, *rb_2 = nullptr;
};
