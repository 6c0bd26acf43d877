#pragma once
// The controls the merge window w_hbbl and the split window w_cfal share: at
// the right the two imports, the window's own work and its separator; under
// the grids the row of list buttons, with the handlers they have in common.

#include <QPoint>
#include <QString>
#include <functional>

class QLineEdit;
class QPushButton;
class QWidget;

namespace zorv {
class Grid;
}

namespace zorv::gui::hmal {

struct ListButtons {
    QPushButton *run = nullptr;     // cb_11, connected by the window
    QLineEdit *separator = nullptr; // sle_1
};

// column is the top-left corner of "1、导入文件"; the controls below it keep
// their distances to it. The imports and "清空" act on loaded; the duplicate
// filter, its cancel, save-as and copy on the grid shown() gives at the click.
ListButtons buildListButtons(QWidget *window, QPoint column, const QString &runCaption,
                             const QString &separator, Grid &loaded, std::function<Grid &()> shown);

} // namespace zorv::gui::hmal
