#include "gui/app/uo_close.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>

namespace zorv::gui {
namespace {

// Notes an Esc press that began while a pop-up (drop-down list, completion
// list, menu) was open. The pop-up closes on it, at times before the key
// itself is delivered, which then lands on the control below: that press
// must not close the window as well.
class PopupEscWatch final : public QObject {
public:
    using QObject::QObject;
    bool taken = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type t = event->type();
        if (t == QEvent::ShortcutOverride || t == QEvent::KeyPress || t == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape) {
                if (t != QEvent::KeyRelease && QApplication::activePopupWidget())
                    taken = true;
                else if (t == QEvent::KeyRelease && !key->isAutoRepeat())
                    taken = false;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

PopupEscWatch *popupEscWatch() {
    static QPointer<PopupEscWatch> watch;
    if (!watch && qApp) {
        watch = new PopupEscWatch(qApp);
        qApp->installEventFilter(watch);
    }
    return watch;
}

} // namespace

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

// Esc reaches the window only when the control that had it let it pass, and
// a press that closed an open drop-down, completion list or menu never
// closes the window as well. (A shortcut would fire for the pop-up's key.)
void uo_close::showEvent(QShowEvent *event) {
    // The window is known only once the button sits in it.
    if (!m_host) {
        m_host = hostWindow(this);
        if (m_host && m_host != this)
            m_host->installEventFilter(this);
        popupEscWatch();
    }
    QPushButton::showEvent(event);
}

bool uo_close::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_host && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const PopupEscWatch *watch = popupEscWatch();
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && isVisible() &&
            isEnabled() && !(watch && watch->taken)) {
            key->accept();
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}

} // namespace zorv::gui
