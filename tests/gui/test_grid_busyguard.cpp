// The busy-loop guard: input is swallowed except Esc, windows keep painting and
// closing, dialogs opened by the loop still work, progress is throttled.
#include "gui/grid/busy_guard.h"
#include "support/scripted_platform.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using zorv::gui::BusyGuard;
using zorv::test::ScriptedPlatform;

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

class TestGridBusyGuard : public QObject {
    Q_OBJECT
private slots:
    void clicksAndKeysAreSwallowedButEscIsSeen();
    void nestedGuardsKeepBlockingUntilTheLastEnds();
    void paintingAndClosingPassThrough();
    void shortcutsDoNotFire();
    void dialogOpenedByTheLoopTakesInput();
    void progressIsThrottledButTheLastStepAlwaysShows();
    void progressBarFollowsDoneAndTotal();
};

void TestGridBusyGuard::clicksAndKeysAreSwallowedButEscIsSeen() {
    QWidget w;
    auto *button = new QPushButton(QStringLiteral("执行"), &w);
    auto *edit = new QLineEdit(&w);
    new QVBoxLayout(&w);
    w.layout()->addWidget(button);
    w.layout()->addWidget(edit);
    w.show();
    QSignalSpy clicks(button, &QPushButton::clicked);

    QVERIFY(!BusyGuard::active());
    {
        BusyGuard guard;
        QVERIFY(BusyGuard::active());
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(edit->text(), QString());
        QVERIFY(!BusyGuard::escSeen());
        QVERIFY(!guard.stopRequested());

        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(BusyGuard::escSeen());
        QVERIFY(guard.stopRequested());
    }
    QVERIFY(!BusyGuard::active());
    QVERIFY(!BusyGuard::escSeen());

    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(edit->text(), QStringLiteral("a"));

    // Esc pressed before a guard does not count for it.
    QTest::keyClick(edit, Qt::Key_Escape);
    BusyGuard guard;
    QVERIFY(!guard.stopRequested());
}

void TestGridBusyGuard::nestedGuardsKeepBlockingUntilTheLastEnds() {
    QPushButton button;
    button.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    {
        BusyGuard outer;
        {
            BusyGuard inner;
            QTest::keyClick(&button, Qt::Key_Escape);
        }
        QVERIFY(BusyGuard::active());
        QVERIFY(BusyGuard::escSeen());
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 0);
    }
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
}

void TestGridBusyGuard::paintingAndClosingPassThrough() {
    PaintCounter w;
    w.resize(100, 100);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    BusyGuard guard;
    const int before = w.paints;
    w.update();
    QTRY_VERIFY(w.paints > before); // the loop's event pumping repaints
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
}

void TestGridBusyGuard::shortcutsDoNotFire() {
    QWidget w;
    auto *action = new QAction(&w);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    w.addAction(action);
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QSignalSpy fired(action, &QAction::triggered);

    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(fired.count(), 1); // the shortcut works without a guard
    {
        BusyGuard guard;
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fired.count(), 1);
    }
}

void TestGridBusyGuard::dialogOpenedByTheLoopTakesInput() {
    QPushButton mainButton;
    mainButton.show();
    QSignalSpy mainClicks(&mainButton, &QPushButton::clicked);

    BusyGuard guard;
    QDialog question;
    question.setWindowModality(Qt::ApplicationModal);
    auto *ok = new QPushButton(QStringLiteral("确定"), &question);
    QSignalSpy okClicks(ok, &QPushButton::clicked);
    question.show();
    QCOMPARE(QApplication::activeModalWidget(), &question);

    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(okClicks.count(), 1);
    QTest::keyClick(ok, Qt::Key_Escape); // closes the question, does not stop the loop
    QVERIFY(!BusyGuard::escSeen());
    QTest::mouseClick(&mainButton, Qt::LeftButton);
    QCOMPARE(mainClicks.count(), 0);
}

void TestGridBusyGuard::progressIsThrottledButTheLastStepAlwaysShows() {
    ScriptedPlatform platform;
    BusyGuard guard;
    const qint64 total = 100000;
    QElapsedTimer clock;
    clock.start();
    for (qint64 i = 1; i <= total; ++i)
        guard.progress(i, total, QStringLiteral("正在导入...") + QString::number(i));
    const qint64 ms = clock.elapsed();

    QVERIFY(!platform.statusHistory.isEmpty());
    QCOMPARE(platform.statusHistory.last(), QStringLiteral("正在导入...100000"));
    QCOMPARE(platform.statusHistory.first(), QStringLiteral("正在导入...1"));
    // About 20 updates a second, plus the first and the last.
    QVERIFY2(platform.statusHistory.size() <= ms / 50 + 3,
             qPrintable(QString::number(platform.statusHistory.size())));

    // An empty status leaves the line alone.
    guard.progress(total, total, QString());
    QCOMPARE(platform.statusText(), QStringLiteral("正在导入...100000"));
}

void TestGridBusyGuard::progressBarFollowsDoneAndTotal() {
    ScriptedPlatform platform;
    QProgressBar bar;
    {
        BusyGuard guard(&bar);
        guard.progress(1, 7, QString());
        QCOMPARE(bar.maximum(), 7);
        QCOMPARE(bar.value(), 1);
        guard.progress(7, 7, QString());
        QCOMPARE(bar.value(), 7);
    }
    {
        BusyGuard guard(&bar);
        const qint64 huge = qint64(1) << 40;
        guard.progress(huge / 2, huge, QString());
        QCOMPARE(bar.value() * 2, bar.maximum());
    }
}

QTEST_MAIN(TestGridBusyGuard)
#include "test_grid_busyguard.moc"
