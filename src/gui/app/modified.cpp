#include "gui/app/modified.h"

namespace zorv::gui {

void onModified(QLineEdit *edit, std::function<void(bool byEnter)> handler) {
    // Enter emits returnPressed before editingFinished; the first one to see
    // the change clears it so the handler runs once.
    auto fire = [edit, handler](bool byEnter) {
        if (!edit->isModified())
            return;
        edit->setModified(false);
        handler(byEnter);
    };
    QObject::connect(edit, &QLineEdit::returnPressed, edit, [fire] { fire(true); });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [fire] { fire(false); });
}

} // namespace zorv::gui
