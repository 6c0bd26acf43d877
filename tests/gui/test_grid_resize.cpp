// Proportional window layout on the screens the tool windows meet.
#include "gui/grid/f_resize.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"

#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using zorv::gui::f_resize;
using zorv::gui::GridView;

namespace {

// A window like the tool windows: controls placed by position, a group box
// holding a radio button, a data grid and a progress bar.
struct TestWindow {
    QWidget window;
    QPushButton *button;
    QGroupBox *group;
    QRadioButton *radio;
    GridView *grid;
    QProgressBar *bar;
    int hides = 0;
    int shows = 0;

    TestWindow() {
        window.resize(1000, 600);
        QFont f = window.font();
        f.setPointSize(10);
        window.setFont(f);
        button = new QPushButton(QStringLiteral("4、执行"), &window);
        button->setGeometry(100, 50, 201, 30);
        group = new QGroupBox(QStringLiteral("操作方式"), &window);
        group->setGeometry(400, 40, 250, 100);
        radio = new QRadioButton(QStringLiteral("复制"), group);
        radio->setGeometry(10, 25, 80, 20);
        grid = new GridView(&window);
        grid->setGeometry(10, 150, 980, 400);
        bar = new QProgressBar(&window);
        bar->setGeometry(10, 560, 500, 17);
    }
};

class EventCounter : public QObject {
public:
    int hides = 0;
    int shows = 0;
    bool eventFilter(QObject *, QEvent *e) override {
        hides += e->type() == QEvent::Hide;
        shows += e->type() == QEvent::Show;
        return false;
    }
};

} // namespace

class TestGridResize : public QObject {
    Q_OBJECT
private slots:
    void factor_data();
    void factor();
    void unchangedScreensLeaveTheWindowAlone_data();
    void unchangedScreensLeaveTheWindowAlone();
    void scalesEverything_data();
    void scalesEverything();
    void gridsKeepTheirZoomWhenTheWindowSaysSo();
    void sheetFrameIsNotScaled();
};

void TestGridResize::factor_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("factor");
    QTest::newRow("1024x768") << QSize(1024, 768) << 0.8;
    QTest::newRow("1280x768") << QSize(1280, 768) << 1.0;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.0;
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.40625;
    QTest::newRow("1366x768") << QSize(1366, 768) << 1.0;
    QTest::newRow("800x600") << QSize(800, 600) << 0.625;
    QTest::newRow("2560x1440") << QSize(2560, 1440) << 1.875;
}

void TestGridResize::factor() {
    QFETCH(QSize, screen);
    QFETCH(double, factor);
    QCOMPARE(zorv::gui::resizeFactor(screen), factor);
}

void TestGridResize::unchangedScreensLeaveTheWindowAlone_data() {
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1280x768") << QSize(1280, 768);
    QTest::newRow("1280x1024") << QSize(1280, 1024);
}

void TestGridResize::unchangedScreensLeaveTheWindowAlone() {
    QFETCH(QSize, screen);
    zorv::test::ScriptedPlatform platform;
    platform.screen = screen;
    TestWindow w;
    w.window.show();
    EventCounter events;
    w.window.installEventFilter(&events);

    QCOMPARE(f_resize(&w.window, true), 1.0);
    QCOMPARE(events.hides, 0);
    QCOMPARE(events.shows, 0);
    QCOMPARE(w.window.size(), QSize(1000, 600));
    QCOMPARE(w.button->geometry(), QRect(100, 50, 201, 30));
    QCOMPARE(w.button->font().pointSize(), 10);
    QCOMPARE(w.grid->zoom(), 100);
}

void TestGridResize::scalesEverything_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("button");
    QTest::addColumn<QRect>("radio");
    QTest::addColumn<QRect>("bar");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("zoom");
    QTest::newRow("1024x768, 0.8") << QSize(1024, 768) << QSize(800, 480) << QRect(80, 40, 161, 24)
                                   << QRect(8, 20, 64, 16) << QRect(8, 448, 400, 14) << 8 << 80;
    QTest::newRow("1920x1080, 1.40625")
        << QSize(1920, 1080) << QSize(1406, 844) << QRect(141, 70, 283, 42)
        << QRect(14, 35, 113, 28) << QRect(14, 788, 703, 24) << 14 << 141;
}

void TestGridResize::scalesEverything() {
    QFETCH(QSize, screen);
    QFETCH(QSize, client);
    QFETCH(QRect, button);
    QFETCH(QRect, radio);
    QFETCH(QRect, bar);
    QFETCH(int, points);
    QFETCH(int, zoom);
    zorv::test::ScriptedPlatform platform;
    platform.screen = screen;
    TestWindow w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    EventCounter events;
    w.window.installEventFilter(&events);

    f_resize(&w.window, true);
    QCOMPARE(events.hides, 1);
    QCOMPARE(events.shows, 1);
    QVERIFY(w.window.isVisible());
    QCOMPARE(w.window.size(), client);
    QCOMPARE(w.button->geometry(), button);
    QCOMPARE(w.radio->geometry(), radio); // inside its group box
    QCOMPARE(w.bar->geometry(), bar);
    QCOMPARE(w.button->font().pointSize(), points);
    QCOMPARE(w.group->font().pointSize(), points);
    QCOMPARE(w.radio->font().pointSize(), points); // scaled once, not twice
    QCOMPARE(w.grid->zoom(), zoom);
    QCOMPARE(w.bar->font().pointSize(), 10); // not a text control
}

void TestGridResize::gridsKeepTheirZoomWhenTheWindowSaysSo() {
    zorv::test::ScriptedPlatform platform;
    platform.screen = QSize(1024, 768);
    TestWindow w; // never shown: it stays hidden
    f_resize(&w.window, false);
    QVERIFY(!w.window.isVisible());
    QCOMPARE(w.grid->zoom(), 100);
    QCOMPARE(w.grid->geometry(), QRect(8, 120, 784, 320));
}

void TestGridResize::sheetFrameIsNotScaled() {
    zorv::test::ScriptedPlatform platform;
    platform.screen = QSize(1024, 768);
    QMdiArea area;
    area.resize(1200, 900);
    auto *inner = new QWidget;
    QMdiSubWindow *sub = area.addSubWindow(inner);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    sub->resize(1010, 630);
    const QSize frame = sub->size() - inner->size();
    const QSize client = inner->size();

    f_resize(inner, true);
    QVERIFY(sub->isVisible());
    QCOMPARE(inner->size(), QSize(qRound(client.width() * 0.8), qRound(client.height() * 0.8)));
    QCOMPARE(sub->size() - inner->size(), frame);
}

QTEST_MAIN(TestGridResize)
#include "test_grid_resize.moc"
