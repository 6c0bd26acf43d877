#include "gui/app/sheet_scroll.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiSubWindow>
#include <QStyle>

namespace zorv::gui {

SheetScroll::SheetScroll(QWidget *sheet, QWidget *parent) : QScrollArea(parent) {
    setObjectName(sheet->objectName() + QStringLiteral("_scroll"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    // The sheet keeps the size it was laid out in (after scaling to the
    // screen) as its smallest size; below that the holder scrolls.
    if (sheet->layout() == nullptr)
        sheet->setMinimumSize(sheet->minimumSize().expandedTo(sheet->size()));
    setWidget(sheet);
    setWindowTitle(sheet->windowTitle());
    setWindowIcon(sheet->windowIcon());
    sheet->installEventFilter(this);
}

QSize SheetScroll::sizeHint() const {
    const QWidget *s = widget();
    if (!s)
        return QScrollArea::sizeHint();
    QSize own = s->sizeHint().isValid() ? s->sizeHint() : s->size();
    own = own.expandedTo(s->minimumSize());
    const int frame = 2 * frameWidth();
    return own + QSize(frame, frame);
}

void SheetScroll::closeEvent(QCloseEvent *event) {
    // The sub-window asks its widget (this holder) to close: the sheet decides.
    if (QWidget *s = widget(); s && !s->close()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool SheetScroll::eventFilter(QObject *watched, QEvent *event) {
    if (watched == widget() && event->type() == QEvent::WindowTitleChange)
        setWindowTitle(widget()->windowTitle());
    return QScrollArea::eventFilter(watched, event);
}

QWidget *sheetOf(const QMdiSubWindow *sub) {
    if (!sub)
        return nullptr;
    if (auto *holder = qobject_cast<SheetScroll *>(sub->widget()))
        return holder->sheet();
    return sub->widget();
}

} // namespace zorv::gui
