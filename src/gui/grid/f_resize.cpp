#include "gui/grid/f_resize.h"

#include "core/platform/platform.h"
#include "gui/grid/grid_view.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace zorv::gui {
namespace {

constexpr double kDesignWidth = 1280.0;
constexpr double kDesignHeight = 768.0;

struct Control {
    QWidget *widget;
    QRect geometry;
    QFont font;
};

// Widgets whose children are controls laid out by the window (as opposed to
// composite controls, whose children are their own inner parts).
bool isContainer(const QWidget *w) {
    const QMetaObject *m = w->metaObject();
    return m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox *>(w) || qobject_cast<const QTabWidget *>(w) ||
           qobject_cast<const QStackedWidget *>(w);
}

bool isTextControl(const QWidget *w) {
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QLabel *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QGroupBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
           qobject_cast<const QTabWidget *>(w) || qobject_cast<const QTabBar *>(w) ||
           qobject_cast<const QListView *>(w);
}

// The window's controls in creation order, each with what it had before any
// change: setting a container's font would otherwise reach its children
// before they are scaled themselves.
void collect(QWidget *parent, QList<Control> &out) {
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow())
            continue;
        out.append({w, w->geometry(), w->font()});
        if (isContainer(w))
            collect(w, out);
    }
}

int scaled(int v, double factor) {
    return qRound(v * factor);
}

QFont scaledFont(QFont f, double factor) {
    if (f.pointSizeF() > 0)
        f.setPointSize(qMax(1, qRound(f.pointSizeF() * factor)));
    else if (f.pixelSize() > 0)
        f.setPixelSize(qMax(1, scaled(f.pixelSize(), factor)));
    return f;
}

} // namespace

double resizeFactor(QSize screen) {
    const double w = screen.width() / kDesignWidth;
    const double h = screen.height() / kDesignHeight;
    return h <= w ? h : w;
}

double f_resize(QWidget *window, bool zoomGrids) {
    const double factor = resizeFactor(platform().screenSize());
    if (factor == 1.0 || !window || factor <= 0)
        return factor;

    // A sheet of the frame lives in a sub-window, which owns the frame.
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    QWidget *outer = sub ? static_cast<QWidget *>(sub) : window;
    const bool wasVisible = outer->isVisible();
    if (wasVisible)
        outer->hide();

    // The client area scales; the frame around it keeps its size.
    const QSize client = window->size();
    const QSize newClient(scaled(client.width(), factor), scaled(client.height(), factor));
    if (sub)
        sub->resize(sub->size() - client + newClient);
    else
        window->resize(newClient);

    QList<Control> controls;
    collect(window, controls);
    for (const Control &c : controls) {
        const QRect &g = c.geometry;
        c.widget->setGeometry(scaled(g.x(), factor), scaled(g.y(), factor),
                              scaled(g.width(), factor), scaled(g.height(), factor));
        if (auto *grid = qobject_cast<GridView *>(c.widget)) {
            if (zoomGrids)
                grid->setZoom(qRound(factor * 100));
        } else if (isTextControl(c.widget)) {
            c.widget->setFont(scaledFont(c.font, factor));
        }
    }

    if (wasVisible)
        outer->show();
    return factor;
}

} // namespace zorv::gui
