#include "core/app/data_home.h"
#include "core/config/profile.h"
#include "support/scripted_platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zorv;
using namespace Qt::StringLiterals;
using zorv::test::ScriptedPlatform;

namespace {

// Sets or unsets one environment variable for the life of a test.
class EnvGuard {
public:
    EnvGuard(const char *name, const std::optional<QByteArray> &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvGuard() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

// Restores the current directory a test moves away from.
class CwdGuard {
public:
    ~CwdGuard() { QDir::setCurrent(m_old); }

private:
    QString m_old = QDir::currentPath();
};

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDataHome : public QObject {
    Q_OBJECT
private slots:
    void pathFollowsEnvironment_data() {
        QTest::addColumn<std::optional<QByteArray>>("zorvaneHome");
        QTest::addColumn<QString>("expected"); // relative to the temporary folder
        QTest::newRow("unset") << std::optional<QByteArray>() << u"home/.local/share/zorvane"_s;
        QTest::newRow("empty") << std::optional<QByteArray>(QByteArray())
                               << u"home/.local/share/zorvane"_s;
        QTest::newRow("relative") << std::optional<QByteArray>("work/z") << u"cwd/work/z"_s;
        QTest::newRow("trailing slash") << std::optional<QByteArray>("work/z/") << u"cwd/work/z"_s;
        QTest::newRow("chinese") << std::optional<QByteArray>(u"数据"_s.toUtf8()) << u"cwd/数据"_s;
    }
    void pathFollowsEnvironment() {
        QFETCH(std::optional<QByteArray>, zorvaneHome);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        const QString root = QDir(tmp.path()).canonicalPath();
        QVERIFY(QDir(root).mkpath(u"cwd"_s));
        CwdGuard cwd;
        QVERIFY(QDir::setCurrent(root + u"/cwd"_s));
        EnvGuard home("HOME", (root + u"/home"_s).toUtf8());
        EnvGuard zh("ZORVANE_HOME", zorvaneHome);
        QCOMPARE(app::dataHomePath(), root + u'/' + expected);
    }

    void absolutePathIsTakenAsItIs() {
        QTemporaryDir tmp;
        EnvGuard zh("ZORVANE_HOME", tmp.filePath(u"a/b"_s).toUtf8());
        QCOMPARE(app::dataHomePath(), tmp.filePath(u"a/b"_s));
    }

    void newFolderStartsWithDefaultProfile() {
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(u"deep/er/zorvane"_s);
        QString error;
        QVERIFY(app::prepareDataHome(dir, &error));
        QVERIFY(error.isEmpty());
        // The bytes ./run has always written into a new data folder.
        QCOMPARE(readAll(dir + u"/zorv.ini"_s),
                 QByteArray("[ODBC]\r\nDBMS=ODBC\r\nDSN_Name=zorv\r\nUSER_Name=\r\nUSER_pw=\r\n"
                            "AutoCommit=true\r\n[Start]\r\nFirst=true\r\n"));
        const QString ini = dir + u"/zorv.ini"_s;
        QCOMPARE(config::readProfileString(ini, u"odbc"_s, u"dsn_name"_s), u"zorv"_s);
        QCOMPARE(config::readProfileString(ini, u"Start"_s, u"First"_s), u"true"_s);
        QCOMPARE(QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{u"zorv.ini"_s});
    }

    void existingProfileIsKept() {
        QTemporaryDir tmp;
        const QByteArray own = "[ODBC]\nDSN_Name=team\n";
        QFile f(tmp.filePath(u"zorv.ini"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(own);
        f.close();
        QString error;
        QVERIFY(app::prepareDataHome(tmp.path(), &error));
        QCOMPARE(readAll(tmp.filePath(u"zorv.ini"_s)), own);
    }

    void unusableFolderIsReported_data() {
        QTest::addColumn<QString>("file");   // made as a file
        QTest::addColumn<QString>("folder"); // made as a folder
        QTest::addColumn<QString>("dir");    // handed to prepareDataHome
        QTest::newRow("folder is a file") << u"z"_s << QString() << u"z"_s;
        QTest::newRow("parent is a file") << u"z"_s << QString() << u"z/data"_s;
        QTest::newRow("zorv.ini is a folder") << QString() << u"d/zorv.ini"_s << u"d"_s;
    }
    void unusableFolderIsReported() {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QFETCH(QString, dir);
        QTemporaryDir tmp;
        if (!file.isEmpty()) {
            QFile f(tmp.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        if (!folder.isEmpty())
            QVERIFY(QDir(tmp.path()).mkpath(folder));
        QString error;
        QVERIFY(!app::prepareDataHome(tmp.filePath(dir), &error));
        QVERIFY(!error.isEmpty());
        if (!file.isEmpty())
            QCOMPARE(readAll(tmp.filePath(file)), QByteArray());
    }

    void enteringMovesIntoTheFolder() {
        QTemporaryDir tmp;
        ScriptedPlatform platform;
        CwdGuard cwd;
        EnvGuard zh("ZORVANE_HOME", tmp.filePath(u"data"_s).toUtf8());
        QVERIFY(app::enterDataHome());
        QCOMPARE(QDir::currentPath(), tmp.filePath(u"data"_s));
        QVERIFY(QFile::exists(u"zorv.ini"_s));
        QVERIFY(platform.messages.isEmpty());
    }

    void failureToEnterIsShownAndChangesNothing() {
        QTemporaryDir tmp;
        QFile f(tmp.filePath(u"taken"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        ScriptedPlatform platform;
        CwdGuard cwd;
        const QString before = QDir::currentPath();
        EnvGuard zh("ZORVANE_HOME", tmp.filePath(u"taken"_s).toUtf8());
        QVERIFY(!app::enterDataHome());
        QCOMPARE(QDir::currentPath(), before);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].icon, MsgIcon::Error);
        QVERIFY(platform.messages[0].text.contains(tmp.filePath(u"taken"_s)));
    }
};

QTEST_GUILESS_MAIN(TestDataHome)
#include "test_data_home.moc"
