#include "gui/app/uo_ok.h"

namespace zorv::gui {

uo_ok::uo_ok(QWidget *parent) : QPushButton(QStringLiteral("确定(&Y)"), parent) {
    setAutoDefault(false);
    setDefault(false);
}

} // namespace zorv::gui
