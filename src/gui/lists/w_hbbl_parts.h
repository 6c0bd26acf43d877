#pragma once
// Pieces shared by the merge window w_hbbl and the split window w_cfal: their
// controls are made at design positions (pixels for a 1280 x 768 screen) and
// carry their given objectName.

#include "gui/app/named.h"
#include "gui/app/uo_button.h"

#include <QPushButton>
#include <QRect>

namespace zorv::gui::hmal {

inline QString fileImportTag() {
    return QStringLiteral("导入excel格式的文件");
}
inline QString pasteTag() {
    return QStringLiteral("粘贴的内容与顺序与数据窗口列名要一致");
}

template <typename T> T *place(QWidget *parent, const QString &name, const QRect &geometry) {
    auto *w = named<T>(name, parent);
    w->setGeometry(geometry);
    return w;
}

template <typename T>
T *placeText(QWidget *parent, const QString &name, const QString &text, const QRect &geometry) {
    auto *w = place<T>(parent, name, geometry);
    w->setText(text);
    return w;
}

inline uo_button *tagButton(QWidget *parent, const QString &name, const QString &text,
                            const QString &tag, const QRect &geometry) {
    auto *b = named<uo_button>(name, text, parent);
    b->setGeometry(geometry);
    b->setTag(tag);
    return b;
}

} // namespace zorv::gui::hmal
