#pragma once
// The list comparison window: two name lists loaded from the clipboard, a
// text or spreadsheet file or a folder tree, compared by "核对名单" (repeated
// names into the duplicate grids, equal names marked "相同"), filtered,
// saved to the register or saved as files. The handlers read the controls
// and call the list logic of core/lists; long work runs under a BusyGuard
// bound to hpb_1, and Esc stops it.

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zorv {
class Grid;
namespace gui {
class GridView;
}
} // namespace zorv

class w_htmd : public QWidget {
    Q_OBJECT
public:
    // The design size of the window (5367 x 2572 layout units) for a 1280 x
    // 768 screen.
    static constexpr QSize kDesignSize{1174, 643};

    explicit w_htmd(QWidget *parent = nullptr);
    ~w_htmd() override;

    zorv::Grid *list1() const { return m_list1.get(); }
    zorv::Grid *list2() const { return m_list2.get(); }
    zorv::Grid *duplicates1() const { return m_dups1.get(); }
    zorv::Grid *duplicates2() const { return m_dups2.get(); }
    bool busy() const { return m_busy; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();
    // The list the radio buttons select: dw_1 with rb_1, else dw_2.
    zorv::Grid &selectedList() const;

    void rb_1_clicked();
    void rb_2_clicked();
    void cb_10_clicked();
    void cb_1_clicked();
    void cb_3_clicked();
    void cb_4_clicked();
    void ddlb_1_modified();
    void cb_6_clicked();
    void cb_5_clicked();
    void cb_7_clicked();
    void cb_8_clicked();
    void cb_2_clicked();
    void dw_clicked(zorv::Grid &grid, qint64 row, const QString &object);

    std::unique_ptr<zorv::Grid> m_list1, m_list2, m_dups1, m_dups2;
    bool ib_flag = false; // header sort direction, shared by dw_1 and dw_2
    qint64 m_lastRow = 0; // anchor of Shift-click selection (unused: sort only)
    QString ls_path1;     // the folder chosen with cb_3
    bool m_busy = false;

    QLabel *st_1 = nullptr, *st_2 = nullptr, *st_3 = nullptr, *st_4 = nullptr, *st_5 = nullptr,
           *st_6 = nullptr;
    QSpinBox *em_1 = nullptr, *em_2 = nullptr, *em_3 = nullptr;
    QComboBox *ddlb_1 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr, *dw_2 = nullptr, *dw_3 = nullptr, *dw_4 = nullptr;
    QListWidget *lb_1 = nullptr;
    QGroupBox *gb_1 = nullptr, *gb_2 = nullptr;
    QRadioButton *rb_1 = nullptr, *rb_2 = nullptr;
    QPushButton *cb_1 = nullptr, *cb_2 = nullptr, *cb_3 = nullptr, *cb_4 = nullptr, *cb_5 = nullptr,
                *cb_6 = nullptr, *cb_7 = nullptr, *cb_8 = nullptr, *cb_9 = nullptr,
                *cb_10 = nullptr;
    QCheckBox *cbx_1 = nullptr;
    QProgressBar *hpb_1 = nullptr;
};
