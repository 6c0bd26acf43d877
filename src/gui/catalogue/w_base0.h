#pragma once
// The catalogue browser "oracle表查询（可生成SQL语句）": finds tables by name,
// column and purpose, lists the columns of the table in focus, and builds a
// SELECT from the picked columns and a condition typed with the help of the
// operator buttons and right clicks on columns.

#include "core/grid/grid.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zorv::gui {
class GridView;
}

class w_base0 : public QWidget {
    Q_OBJECT
public:
    // The design size of the window's work space, for a 1280 x 768 screen.
    static constexpr QSize kDesignSize{1274, 640};

    explicit w_base0(QWidget *parent = nullptr);
    ~w_base0() override;

    zorv::Grid *tableGrid() const { return m_tables.get(); }
    zorv::Grid *columnGrid() const { return m_columns.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void cb_1_clicked();
    void cb_2_clicked();
    void cb_10_clicked();
    void dw_2_rowFocusChanged();
    void dw_2_doubleClicked();
    void dw_3_clicked(qint64 row, const QString &object);
    void dw_3_rightButtonDown(qint64 row);
    void appendCondition(const QString &text);
    QString currentTable() const;

    std::unique_ptr<zorv::Grid> m_tables;
    std::unique_ptr<zorv::Grid> m_columns;
    std::unique_ptr<zorv::Grid> m_unused;
    bool ib_flag = false;
    qint64 i_lng_lastrow = 0;

    QLineEdit *sle_1 = nullptr, *sle_2 = nullptr, *sle_3 = nullptr, *sle_4 = nullptr;
    QLabel *st_8 = nullptr;
    QPlainTextEdit *mle_1 = nullptr, *mle_2 = nullptr;
    zorv::gui::GridView *dw_1 = nullptr, *dw_2 = nullptr, *dw_3 = nullptr;
};
