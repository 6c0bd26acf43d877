#include "gui/grid/busy_guard.h"

#include "core/platform/platform.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <limits>

namespace zorv::gui {
namespace {

// Status line and bar are refreshed at most this often; events are let
// through at most this often from stopRequested(), which loops call per row.
constexpr qint64 kUpdateMs = 50;
constexpr qint64 kPumpMs = 20;

int g_depth = 0;
bool g_esc = false;
// The modal dialog (if any) that was open when the outermost guard began: it
// is blocked like any window. A modal dialog opened later, by the loop itself,
// takes input normally.
QPointer<QWidget> g_modalAtStart;

bool isUserInput(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// The top-level widget an input event is headed for (events reach a window's
// QWindow before its widgets).
QWidget *targetWindow(QObject *receiver) {
    if (auto *w = qobject_cast<QWidget *>(receiver))
        return w->window();
    if (auto *win = qobject_cast<QWindow *>(receiver)) {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->windowHandle() == win)
                return top;
    }
    return nullptr;
}

// A dialog the loop opened takes all input, its own pop-ups included: a
// completion list, a drop-down or a menu grabs keys and clicks while it is
// open, so blocking it would leave the dialog unreachable.
bool belongsToNewModal(QObject *receiver) {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == g_modalAtStart)
        return false;
    QWidget *top = targetWindow(receiver);
    if (!top)
        return false;
    // A completion list has no parent; any pop-up shown while the dialog is
    // the active modal window was opened from it.
    if (top->windowType() == Qt::Popup)
        return true;
    while (top && top != modal && top->parentWidget())
        top = top->parentWidget()->window();
    return top == modal;
}

class InputBlocker final : public QObject {
public:
    bool eventFilter(QObject *receiver, QEvent *e) override {
        if (!isUserInput(e->type()) || belongsToNewModal(receiver))
            return false;
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
            if (static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape)
                g_esc = true;
        }
        return true;
    }
};

InputBlocker *g_blocker = nullptr;

} // namespace

BusyGuard::BusyGuard(QProgressBar *bar) : m_bar(bar) {
    m_clock.start();
    if (g_depth++ > 0)
        return;
    g_esc = false;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        g_modalAtStart = QApplication::activeModalWidget();
        g_blocker = new InputBlocker;
        QCoreApplication::instance()->installEventFilter(g_blocker);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
}

BusyGuard::~BusyGuard() {
    if (--g_depth > 0)
        return;
    g_esc = false;
    if (g_blocker) {
        QApplication::restoreOverrideCursor();
        delete g_blocker; // uninstalls itself from the application
        g_blocker = nullptr;
    }
    g_modalAtStart.clear();
}

bool BusyGuard::active() {
    return g_depth > 0;
}

bool BusyGuard::escSeen() {
    return g_depth > 0 && g_esc;
}

void BusyGuard::progress(qint64 done, qint64 total, const QString &status) {
    const qint64 now = m_clock.elapsed();
    const bool last = total > 0 && done >= total;
    if (!last && m_lastUpdateMs >= 0 && now - m_lastUpdateMs < kUpdateMs)
        return;
    m_lastUpdateMs = now;
    if (!status.isEmpty())
        platform().setStatusText(status);
    if (m_bar) {
        if (total <= 0) {
            m_bar->setRange(0, 0); // unknown length: busy indicator
        } else if (total <= std::numeric_limits<int>::max()) {
            m_bar->setRange(0, int(total));
            m_bar->setValue(int(qBound<qint64>(0, done, total)));
        } else {
            constexpr int kSteps = 10000;
            m_bar->setRange(0, kSteps);
            m_bar->setValue(int(double(qBound<qint64>(0, done, total)) / double(total) * kSteps));
        }
    }
    pumpEvents(true);
}

// The platform is asked too: a scripted platform presses Esc there, and the
// desktop one answers from escSeen(), so every loop stops through the guard.
bool BusyGuard::stopRequested() {
    pumpEvents(false);
    return escSeen() || platform().escPressed();
}

void BusyGuard::pumpEvents(bool force) {
    const qint64 now = m_clock.elapsed();
    if (!force && m_lastPumpMs >= 0 && now - m_lastPumpMs < kPumpMs)
        return;
    m_lastPumpMs = now;
    platform().processEvents();
}

} // namespace zorv::gui
