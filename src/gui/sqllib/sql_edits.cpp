#include "gui/sqllib/sql_edits.h"

#include "gui/sqllib/sql_highlighter.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextCursor>
#include <memory>

namespace zorv::gui {

QPlainTextEdit *makeStatementEdit(const QString &name, QWidget *parent) {
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    new SqlHighlighter(edit->document());
    return edit;
}

QPlainTextEdit *makeLimitedEdit(const QString &name, int maxChars, QWidget *parent) {
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    // The text before the change, to find what the change inserted.
    auto last = std::make_shared<QString>();
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, maxChars, last] {
        const QString now = edit->toPlainText();
        if (now.size() <= maxChars) {
            *last = now;
            return;
        }
        // Unchanged head and tail around the insertion; the insertion keeps
        // only as many characters as the limit leaves room for.
        const QString &old = *last;
        qsizetype head = 0;
        while (head < old.size() && head < now.size() && old[head] == now[head])
            ++head;
        qsizetype tail = 0;
        while (tail < old.size() - head && tail < now.size() - head &&
               old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
            ++tail;
        const qsizetype inserted = now.size() - head - tail;
        const qsizetype room = qMax<qsizetype>(0, maxChars - (now.size() - inserted));
        QString kept = now.left(head) + now.mid(head, qMin(inserted, room)) + now.right(tail);
        if (kept.size() > maxChars)
            kept.truncate(maxChars);
        *last = kept;
        const QSignalBlocker block(edit);
        edit->setPlainText(kept);
        QTextCursor c = edit->textCursor();
        c.setPosition(int(qMin<qsizetype>(head + qMin(inserted, room), kept.size())));
        edit->setTextCursor(c);
    });
    return edit;
}

void showOwnWindow(QWidget *window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlag(Qt::Window, true);
    window->adjustSize();
    const QWidget *over = QApplication::activeWindow();
    const QRect area =
        over ? over->geometry()
             : (window->screen() ? window->screen()->availableGeometry() : QRect(0, 0, 1280, 768));
    window->move(area.center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace zorv::gui
