// The file window as a sheet of the frame: Esc that closes a pop-up does only
// that, the sheet scrolls when the frame is smaller than its layout, and a
// copied grid pastes back as the same rows.
#include "core/grid/grid.h"
#include "gui/app/sheet_scroll.h"
#include "gui/app/w_main.h"
#include "gui/files/w_frn.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Frame {
    zorv::test::TestHome home;
    zorv::test::ScriptedPlatform sp;
    zorv::gui::w_main frame;

    explicit Frame(QSize size) {
        sp.pumpEvents = true;
        frame.resize(size);
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame))
            qWarning("frame not exposed");
        frame.findChild<QAction *>(u"m_wjplcl"_s)->trigger();
    }
    w_frn *sheet() const {
        const QList<QWidget *> open = frame.sheets(7);
        return open.isEmpty() ? nullptr : qobject_cast<w_frn *>(open.first());
    }
    template <typename T> T *get(const QString &name) const {
        return sheet()->findChild<T *>(name);
    }
    zorv::gui::SheetScroll *holder() const {
        return qobject_cast<zorv::gui::SheetScroll *>(frame.mdi()->activeSubWindow()->widget());
    }
    // Keys as the window system delivers them: to the focus widget, or to an
    // open pop-up.
    void press(Qt::Key key) { QTest::keyClick(frame.windowHandle(), key); }
};

const QString kRows = u"1\t/d/\ta.txt\tb.txt\t\t\t\n2\t/d/\tc d.txt\t\t\t成功\t\n"_s;

} // namespace

class TestFrnFrame : public QObject {
    Q_OBJECT
private slots:
    void escClosesOnlyTheOpenPopup_data();
    void escClosesOnlyTheOpenPopup();
    void sheetScrollsWhenTheFrameIsSmaller_data();
    void sheetScrollsWhenTheFrameIsSmaller();
    void copiedRowsPasteBack_data();
    void copiedRowsPasteBack();
};

void TestFrnFrame::escClosesOnlyTheOpenPopup_data() {
    QTest::addColumn<QString>("popup");
    QTest::newRow("operation drop-down") << u"ddlb_1"_s;
    QTest::newRow("menu of a control") << u"sle_1"_s;
}

void TestFrnFrame::escClosesOnlyTheOpenPopup() {
    QFETCH(QString, popup);
    Frame f({1280, 800});
    QVERIFY(f.sheet());
    QVERIFY(f.sheet()->grid()->importText(kRows).ok());

    QWidget *control = f.get<QWidget>(popup);
    control->setFocus();
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->showPopup();
    } else {
        auto *menu = new QMenu(control); // goes with the sheet
        menu->addAction(u"全选"_s);
        menu->popup(control->mapToGlobal(QPoint(4, 4)));
    }
    QTRY_VERIFY(QApplication::activePopupWidget());

    f.press(Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(f.sheet());
    QCOMPARE(f.sheet()->grid()->rowCount(), 2);

    // With nothing open, Esc is the window's cancel key again.
    control->setFocus();
    f.press(Qt::Key_Escape);
    QTRY_VERIFY(!f.sheet());
}

void TestFrnFrame::sheetScrollsWhenTheFrameIsSmaller_data() {
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("1024 x 700") << QSize(1024, 700) << true;
    QTest::newRow("800 x 600") << QSize(800, 600) << true;
    QTest::newRow("1600 x 1000") << QSize(1600, 1000) << false;
}

void TestFrnFrame::sheetScrollsWhenTheFrameIsSmaller() {
    QFETCH(QSize, frameSize);
    QFETCH(bool, scrolls);
    Frame f(frameSize);
    QVERIFY(f.sheet() && f.holder());
    QTest::qWait(0);
    const QSize viewport = f.holder()->viewport()->size();
    // The sheet is never squeezed below its layout; a larger frame gives it room.
    QVERIFY(f.sheet()->width() >= w_frn::kDesignSize.width());
    QVERIFY(f.sheet()->height() >= w_frn::kDesignSize.height());
    QCOMPARE(f.holder()->horizontalScrollBar()->maximum() > 0 ||
                 f.holder()->verticalScrollBar()->maximum() > 0,
             scrolls);
    if (!scrolls)
        QCOMPARE(f.sheet()->size(), viewport);

    // "4、执行" and the right-hand buttons can be brought into view and used.
    for (const QString &name : {u"cb_3"_s, u"cb_14"_s, u"cb_7"_s}) {
        auto *button = f.get<QAbstractButton>(name);
        f.holder()->ensureWidgetVisible(button);
        const QRect shown(button->mapTo(f.holder()->viewport(), QPoint(0, 0)), button->size());
        QVERIFY2(f.holder()->viewport()->rect().contains(shown), qPrintable(name));
    }
    // The sheet is still found by its name, and its own close guard still counts.
    QCOMPARE(zorv::gui::sheetOf(f.frame.mdi()->activeSubWindow()), f.sheet());
    QCOMPARE(f.frame.mdi()->activeSubWindow()->windowTitle(), u"文件批量处理"_s);
}

void TestFrnFrame::copiedRowsPasteBack_data() {
    QTest::addColumn<bool>("accumulate");
    QTest::addColumn<int>("rows");
    QTest::newRow("replace") << false << 2;
    QTest::newRow("累加") << true << 4;
}

void TestFrnFrame::copiedRowsPasteBack() {
    QFETCH(bool, accumulate);
    QFETCH(int, rows);
    Frame f({1280, 800});
    zorv::Grid &grid = *f.sheet()->grid();
    QVERIFY(grid.importText(kRows).ok());

    QTest::mouseClick(f.get<QAbstractButton>(u"cb_6"_s), Qt::LeftButton); // 复制
    QVERIFY(f.sp.clipboard.startsWith(grid.columns().first().title()));
    f.get<QCheckBox>(u"cbx_1"_s)->setChecked(accumulate);
    QTest::mouseClick(f.get<QAbstractButton>(u"cb_17"_s), Qt::LeftButton); // 1、粘贴导入

    QVERIFY2(f.sp.messages.isEmpty(), qPrintable(f.sp.messageLines().join(u"; "_s)));
    QCOMPARE(grid.rowCount(), rows);
    QCOMPARE(grid.getItemString(rows - 1, 3), u"a.txt"_s);
    QCOMPARE(grid.getItemString(rows, 3), u"c d.txt"_s);
    QCOMPARE(grid.getItemString(rows, 6), u"成功"_s);
}

QTEST_MAIN(TestFrnFrame)
#include "test_frn_frame.moc"
