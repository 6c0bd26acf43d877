#pragma once
// Shared set-up of the file window tests: a temporary home, the scripted
// platform (with real event processing, so that long loops repaint and
// timers fire while they run) and a shown w_frn driven by objectName.

#include "core/grid/grid.h"
#include "gui/files/w_frn.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

namespace frntest {

using zorv::test::ScriptedPlatform;

struct Fixture : zorv::test::WindowFixture<w_frn> {
    void setText(const QString &name, const QString &text) const {
        get<QLineEdit>(name)->setText(text);
    }
    void chooseOperation(int entry) const {
        get<QComboBox>(QStringLiteral("ddlb_1"))->setCurrentIndex(entry);
    }

    zorv::Grid &grid() const { return *w->grid(); }
    QStringList column(const QString &name) const {
        QStringList out;
        for (qint64 r = 1; r <= grid().rowCount(); ++r)
            out << grid().getItemString(r, name);
        return out;
    }

    zorv::gui::GridView *view() const { return get<zorv::gui::GridView>(QStringLiteral("dw_1")); }
    QPoint cellCenter(qint64 row, int column) const {
        QAbstractItemModel *m = view()->model();
        return view()->visualRect(m->index(int(row - 1), column - 1)).center();
    }
    // A click on a row, with Ctrl held as the platform reports it.
    void ctrlClickRow(qint64 row) {
        sp.ctrl = true;
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          cellCenter(row, 3));
        sp.ctrl = false;
    }
    void clickHeader(int column) const {
        QHeaderView *h = view()->horizontalHeader();
        const int x = h->sectionViewportPosition(column - 1) + h->sectionSize(column - 1) / 2;
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    }

    // A folder under the temporary home holding the given files (relative
    // paths, parents created), each with its own path as content.
    QString makeTree(const QString &folder, const QStringList &files) const {
        const QString root = home.file(folder);
        QDir().mkpath(root);
        for (const QString &f : files)
            zorv::test::writeFile(root + u'/' + f, f.toUtf8());
        return root;
    }
    // Lists folder into the grid through "1、选择源文件夹".
    void scan(const QString &folder) {
        sp.nextFolder(folder);
        click(QStringLiteral("cb_1"));
    }
};

} // namespace frntest
