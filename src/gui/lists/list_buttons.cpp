#include "gui/lists/list_buttons.h"

#include "core/grid/grid.h"
#include "core/grid/grid_save_dialog.h"
#include "core/imports/paste_import.h"
#include "core/imports/sheet_import.h"
#include "core/lists/merge.h"
#include "core/platform/platform.h"
#include "gui/app/uo_close.h"
#include "gui/grid/busy_guard.h"
#include "gui/lists/w_hbbl_parts.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::Literals::StringLiterals;

namespace zorv::gui::hmal {

ListButtons buildListButtons(QWidget *window, QPoint column, const QString &runCaption,
                             const QString &separator, Grid &loaded,
                             std::function<Grid &()> shown) {
    const QSize button(120, 30);
    auto *cb_1 = tagButton(window, u"cb_1"_s, u"1、导入文件"_s, fileImportTag(), {column, button});
    auto *cb_17 = tagButton(window, u"cb_17"_s, u"1、粘贴导入"_s, pasteTag(),
                            {column + QPoint(0, 88), button});
    ListButtons made;
    made.run =
        placeText<QPushButton>(window, u"cb_11"_s, runCaption, {column + QPoint(0, 176), button});
    placeText<QLabel>(window, u"st_7"_s, u"分隔符："_s, {column + QPoint(8, 232), QSize(64, 24)});
    made.separator = placeText<QLineEdit>(window, u"sle_1"_s, separator,
                                          {column + QPoint(72, 228), QSize(40, 28)});

    const QSize low(110, 30);
    auto *cb_8 = placeText<QPushButton>(window, u"cb_8"_s, u"清空"_s, {{48, 424}, low});
    auto *cb_3 = placeText<QPushButton>(window, u"cb_3"_s, u"重复过滤"_s, {{176, 424}, low});
    auto *cb_4 = placeText<QPushButton>(window, u"cb_4"_s, u"取消过滤"_s, {{303, 424}, low});
    auto *cb_2 = placeText<QPushButton>(window, u"cb_2"_s, u"另存为"_s, {{430, 424}, low});
    auto *cb_6 = placeText<QPushButton>(window, u"cb_6"_s, u"复制"_s, {{567, 424}, low});
    place<uo_close>(window, u"cb_7"_s, {{695, 424}, low});

    Grid *grid = &loaded;
    QObject::connect(cb_1, &QPushButton::clicked, window, [grid] {
        BusyGuard busy;
        imports::importSheetFileFirst(*grid, {}, &busy);
    });
    QObject::connect(cb_17, &QPushButton::clicked, window, [grid] {
        BusyGuard busy;
        imports::pasteImport(*grid, false, &busy);
    });
    QObject::connect(cb_8, &QPushButton::clicked, window, [grid] { grid->reset(); });
    QObject::connect(cb_3, &QPushButton::clicked, window,
                     [shown] { lists::applyDuplicateFilter(shown()); });
    QObject::connect(cb_4, &QPushButton::clicked, window,
                     [shown] { lists::cancelFilter(shown()); });
    QObject::connect(cb_2, &QPushButton::clicked, window, [shown] { saveGridWithDialog(shown()); });
    QObject::connect(cb_6, &QPushButton::clicked, window,
                     [shown] { platform().setClipboardText(shown().toTsv(false)); });
    return made;
}

} // namespace zorv::gui::hmal
