#pragma once
// Shared set-up of the file window tests: a temporary home, the scripted
// platform (with real event processing, so that long loops repaint and
// timers fire while they run) and a shown w_frn driven by objectName.

#include "core/grid/grid.h"
#include "gui/files/w_frn.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

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

// The scripted platform, but processEvents() really processes events, as
// the desktop platform does.
class PumpingPlatform final : public zorv::Platform {
public:
    explicit PumpingPlatform(ScriptedPlatform &inner) : s(inner) { zorv::setPlatform(this); }
    ~PumpingPlatform() override { zorv::setPlatform(&s); }
    ScriptedPlatform &s;

    zorv::MsgAnswer messageBox(const QString &t, const QString &x, zorv::MsgIcon i,
                               zorv::MsgButtons b) override {
        return s.messageBox(t, x, i, b);
    }
    std::optional<zorv::FileChoice> openFile(const QString &t, const QString &e,
                                             const QString &f) override {
        return s.openFile(t, e, f);
    }
    std::optional<zorv::FileChoice> saveFile(const QString &t, const QString &e,
                                             const QString &f) override {
        return s.saveFile(t, e, f);
    }
    std::optional<QString> chooseFolder(const QString &t) override { return s.chooseFolder(t); }
    QString clipboardText() override { return s.clipboardText(); }
    void setClipboardText(const QString &t) override { s.setClipboardText(t); }
    bool escPressed() override { return s.escPressed(); }
    bool shiftDown() override { return s.shiftDown(); }
    bool ctrlDown() override { return s.ctrlDown(); }
    bool shellAvailable() override { return s.shellAvailable(); }
    int shellOpen(const QString &p) override { return s.shellOpen(p); }
    bool openFolder(const QString &f) override { return s.openFolder(f); }
    bool openUrl(const QString &u) override { return s.openUrl(u); }
    QSize screenSize() override { return s.screenSize(); }
    void setStatusText(const QString &t) override { s.setStatusText(t); }
    QString statusText() override { return s.statusText(); }
    void processEvents() override { QCoreApplication::processEvents(); }
};

struct Fixture {
    zorv::test::TestHome home;
    ScriptedPlatform sp;
    PumpingPlatform pump{sp};
    std::unique_ptr<w_frn> w;

    Fixture() {
        w = std::make_unique<w_frn>();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("w_frn was not exposed");
    }

    template <typename T = QWidget> T *get(const QString &name) const {
        T *c = w->findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    void click(const QString &name) const {
        QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton);
    }
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
