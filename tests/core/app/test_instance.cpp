#include "core/app/globals.h"
#include "core/app/instance_lock.h"
#include "support/scripted_platform.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using zorv::test::ScriptedPlatform;

class TestInstance : public QObject {
    Q_OBJECT
private slots:
    void secondInstanceIsRefused() {
        QTemporaryDir dir;
        ScriptedPlatform platform;
        const QString path = dir.filePath(QStringLiteral("zorvane.lock"));
        app::InstanceLock first(path);
        QVERIFY(app::applicationOpen(first));
        QCOMPARE(platform.statusText(), app::defaultStatusText());
        QVERIFY(platform.messages.isEmpty());

        app::InstanceLock second(path);
        QVERIFY(!app::applicationOpen(second));
        QCOMPARE(platform.messageLines(), QStringList({QStringLiteral("提示 / 系统已经运行")}));

        first.unlock();
        QVERIFY(second.tryLock());
    }

    void lockThatCannotBeMadeDoesNotStopTheProgram() {
        app::InstanceLock lock(QStringLiteral("/nonexistent/folder/zorvane.lock"));
        QVERIFY(lock.tryLock());
    }

    void defaultLockLivesInTheRuntimeFolder() {
        QTemporaryDir dir;
        const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        QCOMPARE(app::InstanceLock::defaultPath(), dir.filePath(QStringLiteral("zorvane.lock")));
        qputenv("XDG_RUNTIME_DIR", old);
    }

    void creditLineNamesNoOneElse() {
        QVERIFY(app::defaultStatusText().contains(QStringLiteral("Zorvane")));
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "test_instance.moc"
