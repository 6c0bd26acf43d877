#include "gui/app/uo_close.h"

#include <QMdiSubWindow>
#include <QShortcut>

namespace zorv::gui {

QWidget *hostWindow(QWidget *w) {
    while (w && !w->isWindow() && w->parentWidget() &&
           !qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        w = w->parentWidget();
    return w;
}

bool closeHostWindow(QWidget *w) {
    QWidget *host = hostWindow(w);
    if (!host)
        return false;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(host->parentWidget()))
        return sub->close();
    return host->close();
}

uo_close::uo_close(QWidget *parent) : QPushButton(QStringLiteral("取消(&Q)"), parent) {
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_closes)
            closeHostWindow(this);
    });
}

void uo_close::showEvent(QShowEvent *event) {
    // The window is known only once the button sits in it.
    if (!m_shortcutMade) {
        m_shortcutMade = true;
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), hostWindow(this));
        esc->setContext(Qt::WidgetWithChildrenShortcut);
        connect(esc, &QShortcut::activated, this, [this] {
            if (isVisible() && isEnabled())
                click();
        });
    }
    QPushButton::showEvent(event);
}

} // namespace zorv::gui
