// Opening and scrolling a data grid of a million rows, offscreen, beside a
// bare QTableView over a model that computes its text on the fly (the least
// work a table view can do for the same rows).
#include "core/grid/grid.h"
#include "gui/grid/grid_view.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 1000000;
constexpr int kColumns = 7;

class BareModel final : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex &p = {}) const override { return p.isValid() ? 0 : kColumns; }
    QVariant data(const QModelIndex &i, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        return i.column() == 0 ? QString::number(i.row() + 1)
                               : QStringLiteral("文件%1_%2.txt").arg(i.row()).arg(i.column());
    }
};

QString gridText() {
    QString text;
    text.reserve(kRows * 60);
    for (int r = 0; r < kRows; ++r) {
        text += QString::number(r + 1);
        for (int c = 1; c < kColumns; ++c)
            text += u'\t' + QStringLiteral("文件%1_%2.txt").arg(r).arg(c);
        text += u'\n';
    }
    return text;
}

struct Figures {
    double openMs = 0;
    double endMs = 0;
    double pagesMs = 0; // 100 page-down steps, each painted
};

// Shows the view, paints it, jumps to the last row, then pages through.
Figures measure(QTableView &view, const std::function<void()> &attach) {
    Figures f;
    view.resize(1200, 700);
    QElapsedTimer t;
    t.start();
    attach();
    view.show();
    QCoreApplication::processEvents();
    view.viewport()->repaint();
    f.openMs = t.nsecsElapsed() / 1e6;

    t.restart();
    view.scrollToBottom();
    view.viewport()->repaint();
    f.endMs = t.nsecsElapsed() / 1e6;

    view.scrollToTop();
    QCoreApplication::processEvents();
    t.restart();
    QScrollBar *bar = view.verticalScrollBar();
    for (int i = 0; i < 100; ++i) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        view.viewport()->repaint();
    }
    f.pagesMs = t.nsecsElapsed() / 1e6;
    return f;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QList<zorv::Column> columns;
    columns << zorv::Column{QStringLiteral("xh"), zorv::ColType::Number, QStringLiteral("序号"), 0};
    for (int c = 1; c < kColumns; ++c)
        columns << zorv::Column{QStringLiteral("c%1").arg(c), zorv::ColType::String,
                                QStringLiteral("列%1").arg(c), 255};
    zorv::Grid grid(columns);
    QElapsedTimer t;
    t.start();
    const auto imported = grid.importText(gridText());
    if (!imported.ok() || grid.rowCount() != kRows) {
        std::fprintf(stderr, "grid import failed: %s\n", qPrintable(imported.error));
        return 1;
    }
    std::printf("filled grid with %d rows in %.0f ms (not part of the figures)\n", kRows,
                t.nsecsElapsed() / 1e6);

    BareModel bare;
    QTableView bareView;
    const Figures base = measure(bareView, [&] { bareView.setModel(&bare); });

    zorv::gui::GridView view;
    const Figures ours = measure(view, [&] { view.setGrid(&grid); });

    std::printf("%-34s %10s %14s\n", "1,000,000 rows x 7 columns", "GridView", "bare QTableView");
    std::printf("%-34s %8.1f ms %11.1f ms\n", "open (show + first paint)", ours.openMs,
                base.openMs);
    std::printf("%-34s %8.1f ms %11.1f ms\n", "scroll to the last row + paint", ours.endMs,
                base.endMs);
    std::printf("%-34s %8.1f ms %11.1f ms\n", "100 page-downs, each painted", ours.pagesMs,
                base.pagesMs);
    return 0;
}
