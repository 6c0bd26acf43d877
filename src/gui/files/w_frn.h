#pragma once
// The file batch window: lists a folder tree into a grid, computes or imports
// new names, narrows the list by a name list and renames, copies or moves the
// files. The handlers read the controls, call the file logic of core/files and
// show its outcome; every long loop runs under a BusyGuard bound to vpb_1.

#include "core/files/frn_grid.h"
#include "gui/grid/busy_guard.h"

#include <QRect>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace zorv::gui {
class GridView;
}

class w_frn : public QWidget {
    Q_OBJECT
public:
    // The design size of the window's work space, for a 1280 x 768 screen.
    static constexpr QSize kDesignSize{1274, 640};

    explicit w_frn(QWidget *parent = nullptr);
    ~w_frn() override;

    zorv::Grid *grid() const { return m_grid.get(); }
    const zorv::files::FrnState &state() const { return m_state; }
    // False while a spreadsheet import (xhjs) or any other long loop of this
    // window runs: the loop still works on the grid.
    bool canClose() const { return xhjs && !m_busy; }

    // Design positions of st_3 and em_3, saved at open.
    int oldy1 = 0;
    int oldy2 = 0;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Layout (w_frn_layout.cpp).
    void buildControls();
    void buildSourceFrame();
    void buildStringFrame();
    void buildListFrame();
    void buildFilterFrame();
    void buildTargetFrame();
    void buildGridArea();

    // Window plumbing (w_frn.cpp).
    void open();
    void installHelp();
    void connectHandlers();
    void captureBaseGeometry();
    void setStatus(const QString &text);

    // Step 1: source list and row operations (w_frn_source.cpp).
    void cb_1_clicked();
    void cb_15_clicked();
    void cb_16_clicked();
    void cb_17_clicked();
    void cb_14_clicked();
    void cb_13_clicked();
    void cb_12_clicked();
    void cb_6_clicked();
    void cb_11_clicked();
    void cb_8_clicked();
    void dw_1_clicked(qint64 row, const QString &object);
    void dw_1_doubleClicked(qint64 row, const QString &object);
    void spreadsheetImport(bool sevenColumns);

    // Step 2: new names (w_frn_names.cpp).
    void ddlb_1_selectionChanged();
    void cb_5_clicked();
    void cb_4_clicked();
    void cb_2_clicked();
    void updatePreviewButton();

    // Steps 3 and 4, list match and filters (w_frn_run.cpp).
    void pb_1_clicked();
    void cb_3_clicked();
    void cb_undo_clicked();
    void cb_9_clicked();
    void cb_10_clicked();
    void rb_4_clicked();
    void rb_3_clicked();
    zorv::files::RunOptions runOptions() const;

    // A long loop of this window: input blocked but Esc, progress on vpb_1,
    // the window marked busy so that it neither closes nor starts another
    // loop; stops come from the guard. The guard skips statuses to keep up
    // with the loop; the last one is shown at the loop's last step and at its
    // end, so the line never stays behind.
    class BusyScope final : public zorv::ProgressSink {
    public:
        explicit BusyScope(w_frn *window);
        ~BusyScope() override;
        void progress(qint64 done, qint64 total, const QString &status) override;
        bool stopRequested() override;

    private:
        void showLastStatus();

        w_frn *m_window;
        zorv::gui::BusyGuard m_guard;
        QString m_lastStatus; // the last status the loop reported
        QString m_shown;      // the status line as the guard left it
    };

    std::unique_ptr<zorv::Grid> m_grid;
    zorv::files::FrnState m_state;
    bool ib_flag = false;     // header-click sort direction
    bool xhjs = true;         // false while a spreadsheet import runs
    qint64 i_lng_lastrow = 0; // anchor of Shift-click selection
    bool m_busy = false;

    // Geometry after scaling; when the window grows beyond it the grid takes
    // the room and the controls right of it follow.
    QSize m_baseSize;
    QRect m_baseGrid, m_baseBar;
    QList<QPair<QWidget *, QRect>> m_baseRightColumn;

    // Controls, named as their objectName.
    QPushButton *cb_1 = nullptr, *cb_2 = nullptr, *cb_3 = nullptr, *cb_4 = nullptr, *cb_5 = nullptr,
                *cb_6 = nullptr, *cb_7 = nullptr, *cb_8 = nullptr, *cb_9 = nullptr,
                *cb_10 = nullptr, *cb_11 = nullptr, *cb_12 = nullptr, *cb_13 = nullptr,
                *cb_14 = nullptr, *cb_15 = nullptr, *cb_16 = nullptr, *cb_17 = nullptr,
                *pb_1 = nullptr, *cb_undo = nullptr;
    QCheckBox *cbx_1 = nullptr, *cbx_2 = nullptr, *cbx_3 = nullptr, *cbx_4 = nullptr;
    QGroupBox *gb_1 = nullptr, *gb_2 = nullptr, *gb_3 = nullptr, *gb_4 = nullptr, *gb_5 = nullptr;
    QComboBox *ddlb_1 = nullptr;
    QLabel *st_1 = nullptr, *st_2 = nullptr, *st_3 = nullptr, *st_4 = nullptr, *st_5 = nullptr;
    QLineEdit *em_1 = nullptr, *em_2 = nullptr, *em_3 = nullptr, *sle_1 = nullptr;
    QSpinBox *em_4 = nullptr;
    QRadioButton *rb_1 = nullptr, *rb_2 = nullptr, *rb_3 = nullptr, *rb_4 = nullptr,
                 *rb_5 = nullptr, *rb_6 = nullptr, *rb_7 = nullptr, *rb_8 = nullptr;
    QProgressBar *vpb_1 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr;
    QListWidget *lb_1 = nullptr;
};
