#pragma once
// The common OK button "确定(&Y)". It has no behaviour of its own: each
// window connects its clicked signal. Enter in an edit never presses it.

#include <QPushButton>

namespace zorv::gui {

class uo_ok : public QPushButton {
    Q_OBJECT
public:
    explicit uo_ok(QWidget *parent = nullptr);
};

} // namespace zorv::gui
