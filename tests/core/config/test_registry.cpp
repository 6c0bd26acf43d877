#include "core/config/registry.h"
#include "core/config/regodbc.h"
#include "support/tempdir.h"

#include <QTest>

using namespace zorv::config;
using zorv::test::readFile;
using zorv::test::TestHome;
using zorv::test::writeFile;

namespace {

// "key | name | type | data" for every value of a key, in stored order.
QStringList dump(const RegistryStore &store, const QString &key) {
    QStringList out;
    for (const RegValue &v : store.values(key))
        out << QStringLiteral("%1 | %2 | %3")
                   .arg(v.name,
                        v.type == RegType::Number ? QStringLiteral("REG_DWORD")
                                                  : QStringLiteral("REG_SZ"),
                        v.type == RegType::Number ? QString::number(v.number) : v.text);
    return out;
}

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:
    void storeLivesUnderConfigHome() {
        TestHome home;
        QCOMPARE(RegistryStore::defaultPath(),
                 home.file(QStringLiteral("config/zorvane/registry.json")));
    }

    void valuesPersistAndKeepTypes() {
        TestHome home;
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Test");
        {
            RegistryStore store;
            QVERIFY(store.setString(key, QStringLiteral("Name"), QStringLiteral("值")));
            QVERIFY(store.setNumber(key, QStringLiteral("Big"), 0xFFFFFFFFu));
            QVERIFY(store.setString(key, QStringLiteral("Empty"), QString()));
        }
        RegistryStore again; // a new object reads the same file
        QCOMPARE(dump(again, key), QStringList({QStringLiteral("Name | REG_SZ | 值"),
                                                QStringLiteral("Big | REG_DWORD | 4294967295"),
                                                QStringLiteral("Empty | REG_SZ | ")}));
        // Names match whatever their case and keep the case first written.
        QVERIFY(again.setNumber(key.toLower(), QStringLiteral("NAME"), 7));
        QCOMPARE(dump(again, key).first(), QStringLiteral("Name | REG_DWORD | 7"));
        QVERIFY(again.keyExists(QStringLiteral("HKEY_CURRENT_USER\\Software")));
        QVERIFY(again.deleteValue(key, QStringLiteral("big")));
        QVERIFY(!again.value(key, QStringLiteral("Big")));
        QVERIFY(again.deleteValue(key, QStringLiteral("never there")));
    }

    void damagedStoreIsNeverOverwritten_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not json") << QByteArray("{ not json");
        const QByteArray head = R"({"keys":[{"path":"HKEY_CURRENT_USER\\X","values":[)"
                                R"({"name":"n","type":"REG_DWORD","data":)";
        for (const char *bad : {"-1", "4294967296", "1e300", "2.5", "\"7\"", "null"})
            QTest::newRow(bad) << head + bad + "}]}]}";
    }

    void damagedStoreIsNeverOverwritten() {
        QFETCH(QByteArray, content);
        TestHome home;
        RegistryStore store;
        QVERIFY(writeFile(store.path(), content));
        QVERIFY(!store.setString(QStringLiteral("HKEY_CURRENT_USER\\X"), QStringLiteral("a"),
                                 QStringLiteral("b")));
        QVERIFY(!store.errorString().isEmpty());
        QVERIFY(!regodbc(store, QStringLiteral("zorv"), QStringLiteral("/d/zorv.mdb"),
                         QStringLiteral("/s")));
        QCOMPARE(readFile(store.path()), content);
    }

    void regodbcWritesEveryValueInOrder() {
        TestHome home;
        RegistryStore store;
        const QString ini = QStringLiteral("HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI");
        // A stale value named after the data source under ODBC.INI goes first.
        QVERIFY(store.setString(ini, QStringLiteral("zorv"), QStringLiteral("stale")));
        QVERIFY(regodbc(store, QStringLiteral("zorv"), QStringLiteral("/data/zorv.mdb"),
                        QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc")));
        QVERIFY(!store.value(ini, QStringLiteral("zorv")));
        QCOMPARE(
            dump(store, ini + QStringLiteral("\\zorv")),
            QStringList({
                QStringLiteral("Driver | REG_SZ | /usr/lib/x86_64-linux-gnu/odbc/odbcjt32.dll"),
                QStringLiteral("DBQ | REG_SZ | /data/zorv.mdb"),
                QStringLiteral("DriverId | REG_DWORD | 25"),
                QStringLiteral("FIL | REG_SZ | MS Access;"),
                QStringLiteral("SafeTransactions | REG_DWORD | 0"),
                QStringLiteral("UID | REG_SZ | "),
                QStringLiteral("Engines | REG_SZ | "),
            }));
        QCOMPARE(dump(store, ini + QStringLiteral("\\zorv\\Engines")),
                 QStringList({QStringLiteral("Jet | REG_SZ | ")}));
        QCOMPARE(dump(store, ini + QStringLiteral("\\zorv\\Engines\\Jet")),
                 QStringList({
                     QStringLiteral("ImplicitCommitSync | REG_SZ | "),
                     QStringLiteral("UserCommitSync | REG_SZ | Yes"),
                     QStringLiteral("MaxBufferSize | REG_DWORD | 2048"),
                     QStringLiteral("PageTimeout | REG_DWORD | 5"),
                     QStringLiteral("Threads | REG_DWORD | 3"),
                 }));
        QCOMPARE(dump(store, ini + QStringLiteral("\\ODBC Data Sources")),
                 QStringList({QStringLiteral("zorv | REG_SZ | Microsoft Access Driver (*.mdb)")}));
        // Key paths exactly as built, the data source's keys in creation order.
        const QStringList keys = store.keys();
        QVERIFY(keys.indexOf(ini + QStringLiteral("\\zorv")) <
                keys.indexOf(ini + QStringLiteral("\\zorv\\Engines\\Jet")));
        QVERIFY(keys.indexOf(ini + QStringLiteral("\\zorv\\Engines\\Jet")) <
                keys.indexOf(ini + QStringLiteral("\\ODBC Data Sources")));
    }

    void regodbcTwiceKeepsOneSetOfValues() {
        TestHome home;
        RegistryStore store;
        const QString key = dataSourceKey(QStringLiteral("zorv"));
        regodbc(store, QStringLiteral("zorv"), QStringLiteral("/a/zorv.mdb"), QStringLiteral("/s"));
        regodbc(store, QStringLiteral("zorv"), QStringLiteral("/b/zorv.mdb"), QStringLiteral("/s"));
        QCOMPARE(store.values(key).size(), 7);
        QCOMPARE(store.value(key, QStringLiteral("DBQ"))->text, QStringLiteral("/b/zorv.mdb"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
