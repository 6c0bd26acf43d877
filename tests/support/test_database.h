#pragma once
// "The test database" of the database-layer tests: the embedded file by
// default, the test server in the server pass. A test that opens its
// database through TestDatabase runs against both homes of the data:
//
// - ctest runs it once as core.<area>.<name> on a new embedded "zorv.mdb";
// - tests/CMakeLists.txt registers every test source that mentions
//   TestDatabase (itself or in a fixture header of the tests it includes) a
//   second time, as core.<area>.<name>.server (label "server"), run through
//   tests/support/server_pass.sh with ZORV_TEST_PASS=server. There each TestDatabase is a role and
//   schema of its own on the server that scripts/test_server.sh started (named by ZORV_TEST_DSN),
//   so tests never see each other's rows. Without a server the .server test is reported as skipped,
//   with the reason.
//
// So a new test joins by using TestDatabase (and re-running cmake). Checks
// that only make sense for the embedded file (its creation, PRAGMAs, its
// locking) start with ZORV_EMBEDDED_ONLY(); checks for the server only with
// ZORV_SERVER_ONLY(). Other test kinds (GUI tests) join with
// zorv_server_pass(<ctest name>) in tests/CMakeLists.txt.

#include "core/db/transaction.h"
#include "support/tempdir.h"

#include <QString>
#include <QStringList>
#include <QTest>

namespace zorv::test {

// This process is the server pass.
bool onServer();

class TestDatabase {
public:
    // Embedded: registers data source dsn on home's "zorv.mdb" (created with
    // the schema at the first connect; withSchema does not apply). Server: a
    // new role and schema on the test server, with the program's tables in it
    // unless withSchema is false.
    explicit TestDatabase(const TestHome &home, const QString &dsn = QStringLiteral("zorv"),
                          bool withSchema = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // False (with error()) when the server could not give a database.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool isServer() const { return m_server; }

    // What a "zorv.ini" names to reach this database: DSN_Name, USER_Name, USER_pw.
    QString dsn() const { return m_dsn; }
    QString user() const { return m_user; }
    QString password() const { return QString(); }
    // The connection parameters "ConnectString='DSN=…;UID=…;PWD='".
    QString dbParm() const;
    // The embedded file ("" on the server).
    QString file() const { return m_file; }

    // Sets tx up for this database and connects; returns tx.sqlcode().
    int connect(db::Transaction &tx, bool autoCommit = true) const;
    // First column of the first row of sql as a second, independent
    // connection sees it; -1 when it cannot be read.
    qint64 scalarFromOutside(const QString &sql) const;
    // Runs sql on a second connection (setup of a test); true on success.
    bool executeFromOutside(const QString &sql) const;

    // The statements that make this database refuse kind ("INSERT",
    // "UPDATE" or "DELETE") of rows of table with the error text message,
    // only when condition (on NEW or OLD) holds if one is given; and the
    // statement that lifts the refusal named name again. Each home writes a
    // trigger in its own language.
    QStringList refusal(const QString &name, const QString &kind, const QString &table,
                        const QString &message, const QString &condition = {}) const;
    QString liftRefusal(const QString &name, const QString &table) const;

private:
    bool m_server = false;
    QString m_dsn;
    QString m_user;
    QString m_file;
    QString m_error;
};

} // namespace zorv::test

#define ZORV_EMBEDDED_ONLY()                                                                       \
    do {                                                                                           \
        if (zorv::test::onServer())                                                                \
            QSKIP("checks the embedded database file only");                                       \
    } while (false)

#define ZORV_SERVER_ONLY()                                                                         \
    do {                                                                                           \
        if (!zorv::test::onServer())                                                               \
            QSKIP("checks the database server only (server pass)");                                \
    } while (false)

#define ZORV_VERIFY_DATABASE(db) QVERIFY2((db).isValid(), qPrintable((db).error()))
