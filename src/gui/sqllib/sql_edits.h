#pragma once
// Pieces the SQL library windows share: the statement edit (a multi-line
// edit with SQL colouring), the purpose edit that refuses characters beyond
// its limit, and showing a window of its own beside the frame.

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace zorv::gui {

// A multi-line edit for a statement, named name, coloured by SqlHighlighter.
QPlainTextEdit *makeStatementEdit(const QString &name, QWidget *parent);

// A multi-line edit that holds at most maxChars characters: typing or
// pasting beyond the limit keeps the first maxChars and refuses the rest.
QPlainTextEdit *makeLimitedEdit(const QString &name, int maxChars, QWidget *parent);

// Shows window as a window of its own (not a sheet), deleted when closed,
// centred over the active window.
void showOwnWindow(QWidget *window);

} // namespace zorv::gui
