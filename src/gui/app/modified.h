#pragma once
// The "modified" event of a single-line edit: fired when the user changed the
// text and then pressed Enter or left the edit; not fired again until the
// text changes once more.

#include <QLineEdit>
#include <functional>

namespace zorv::gui {

// handler receives true when Enter ended the edit, false when focus left it.
void onModified(QLineEdit *edit, std::function<void(bool byEnter)> handler);

} // namespace zorv::gui
