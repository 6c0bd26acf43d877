#include "support/test_database.h"

#include "core/config/regodbc.h"
#include "core/db/server_schema.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace zorv::test {
namespace {

QString serverDsn() {
    return QString::fromLocal8Bit(qgetenv("ZORV_TEST_DSN"));
}

// Runs statements on a connection of its own as the server's administrator
// (the data source's own user) or as role; false with *error on the first failure.
bool runOnServer(const QString &role, const QStringList &statements, QString *error,
                 qint64 *scalar = nullptr) {
    static QAtomicInt counter;
    const QString name =
        QStringLiteral("zorv_test_admin_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        // Qt's ODBC driver adds "DSN=" in front of the name.
        QString cs = serverDsn();
        if (!role.isEmpty())
            cs += QStringLiteral(";UID=") + role + QStringLiteral(";PWD=");
        db.setDatabaseName(cs);
        if (!db.open()) {
            *error = db.lastError().text();
            ok = false;
        }
        QSqlQuery q(db);
        for (const QString &sql : statements) {
            if (!ok)
                break;
            if (!q.exec(sql)) {
                *error = sql + QStringLiteral(": ") + q.lastError().text();
                ok = false;
            } else if (scalar && q.isSelect()) {
                *scalar = q.next() ? q.value(0).toLongLong() : -1;
            }
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool runEmbedded(const QString &file, const QString &sql, qint64 *scalar) {
    static QAtomicInt counter;
    const QString name =
        QStringLiteral("zorv_test_outside_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (ok && scalar)
                *scalar = q.next() ? q.value(0).toLongLong() : -1;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

bool onServer() {
    return qgetenv("ZORV_TEST_PASS") == "server" && !serverDsn().isEmpty();
}

TestDatabase::TestDatabase(const TestHome &home, const QString &dsn, bool withSchema)
    : m_server(onServer()) {
    if (!m_server) {
        m_dsn = dsn;
        m_file = home.file(QStringLiteral("zorv.mdb"));
        config::RegistryStore store;
        config::regodbc(store, dsn, m_file, config::odbcDriverFolder());
        return;
    }
    static QAtomicInt counter;
    m_dsn = serverDsn();
    m_user = QStringLiteral("zt_%1_%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(counter.fetchAndAddRelaxed(1) + 1);
    // The role's own schema comes first in the server's default search path,
    // so everything the role creates and reads unqualified lives there.
    if (!runOnServer(QString(),
                     {QStringLiteral("CREATE ROLE %1 LOGIN").arg(m_user),
                      QStringLiteral("CREATE SCHEMA %1 AUTHORIZATION %1").arg(m_user)},
                     &m_error))
        return;
    if (withSchema) {
        QStringList statements = db::serverSchemaStatements(db::Dialect::PostgreSQL);
        runOnServer(m_user, statements, &m_error);
    }
}

TestDatabase::~TestDatabase() {
    if (!m_server || m_user.isEmpty())
        return;
    QString error;
    runOnServer(QString(),
                {QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_user),
                 QStringLiteral("DROP OWNED BY %1").arg(m_user),
                 QStringLiteral("DROP ROLE IF EXISTS %1").arg(m_user)},
                &error);
}

QString TestDatabase::dbParm() const {
    return QStringLiteral("ConnectString='DSN=%1;UID=%2;PWD='").arg(m_dsn, m_user);
}

int TestDatabase::connect(db::Transaction &tx, bool autoCommit) const {
    tx.setDbms(QStringLiteral("ODBC"));
    tx.setDbParm(dbParm());
    tx.setAutoCommit(autoCommit);
    return tx.connect();
}

qint64 TestDatabase::scalarFromOutside(const QString &sql) const {
    qint64 n = -1;
    QString error;
    if (m_server)
        runOnServer(m_user, {sql}, &error, &n);
    else
        runEmbedded(m_file, sql, &n);
    return n;
}

bool TestDatabase::executeFromOutside(const QString &sql) const {
    QString error;
    return m_server ? runOnServer(m_user, {sql}, &error) : runEmbedded(m_file, sql, nullptr);
}

QStringList TestDatabase::refusal(const QString &name, const QString &kind, const QString &table,
                                  const QString &message, const QString &condition) const {
    const QString when =
        condition.isEmpty() ? QString() : QStringLiteral(" WHEN (%1)").arg(condition);
    QString quoted = message;
    quoted.replace(u'\'', QStringLiteral("''"));
    if (!m_server)
        return {QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3%4 BEGIN "
                               "SELECT RAISE(ABORT, '%5'); END")
                    .arg(name, kind, table, when, quoted)};
    quoted.replace(u'\'', QStringLiteral("''"));
    return {QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                           "'BEGIN RAISE EXCEPTION ''%2''; END'")
                .arg(name, quoted),
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW%4 EXECUTE FUNCTION %1()")
                .arg(name, kind, table, when)};
}

QString TestDatabase::liftRefusal(const QString &name, const QString &table) const {
    return m_server ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)
                    : QStringLiteral("DROP TRIGGER %1").arg(name);
}

} // namespace zorv::test
