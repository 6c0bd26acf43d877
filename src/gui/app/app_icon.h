#pragma once
// The application icon every window carries.

#include <QIcon>

namespace zorv::gui {

QIcon appIcon();

} // namespace zorv::gui
