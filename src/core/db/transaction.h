#pragma once
// The transaction object: one database connection with the properties set
// before connecting (DBMS name, connection parameters, autocommit) and, after
// every connect or statement, the result code (0 success, -1 failure, 100 no
// row found), the rows affected and the database's error text.
//
// Connecting by data source name: the name comes from the parameter string
// "ConnectString='DSN=…;UID=…;PWD=…'". A data source registered in the
// per-user registry store with the desktop-database driver opens its DBQ file
// as an embedded SQLite database; any other name goes to the system's ODBC
// driver manager.

#include "core/db/dialect.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <optional>

namespace zorv::db {

class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    QString dbms() const { return m_dbms; }
    void setDbms(const QString &dbms) { m_dbms = dbms; }
    QString dbParm() const { return m_dbParm; }
    void setDbParm(const QString &parm) { m_dbParm = parm; }
    bool autoCommit() const { return m_autoCommit; }
    // Takes effect at the next connect.
    void setAutoCommit(bool on) { m_autoCommit = on; }

    // Connects (closing an earlier connection first); returns sqlcode().
    int connect();
    // Commits pending work when autocommit is off, then closes.
    int disconnect();
    bool isConnected() const { return m_connected; }
    // The open connection for grids and other readers; invalid when not connected.
    QSqlDatabase database() const;

    // With it off, connect() to a server accepts a database without the
    // program's tables (for creating them); on by default.
    void setRequireSchema(bool on) { m_requireSchema = on; }

    int sqlcode() const { return m_sqlcode; }
    qint64 sqlnrows() const { return m_sqlnrows; }
    QString sqlerrtext() const { return m_sqlerrtext; }
    // After a failure: the SQLSTATE the ODBC driver reported (empty for the
    // embedded database), whether another writer's work caused it (a retry
    // of the whole transaction may succeed) and whether the connection to the
    // server was lost (the next statement reconnects, unless it belongs to a
    // transaction begun before the loss).
    QString sqlstate() const { return m_sqlstate; }
    bool conflicted() const { return m_conflict; }
    // The failure was a unique key refusing a value already in use.
    bool keyTaken() const { return m_keyTaken; }
    bool connectionLost() const { return m_lost; }
    // The kind of database behind the connection; statements are translated
    // for it (dialect.h) before they are prepared.
    Dialect dialect() const { return m_dialect; }
    // After connect(): the database file was missing and has been created.
    bool databaseCreated() const { return m_created; }
    // After connect(): the database file was missing and could not be created.
    bool databaseCreationFailed() const { return m_creationFailed; }

    // Set the result as a check of the caller's own found it: a failure with
    // text (sqlcode -1), or a success with rows (e.g. keeping a statement's
    // count after a follow-up statement). Both return sqlcode().
    int reportFailure(const QString &text) { return fail(text); }
    int reportSuccess(qint64 rows) { return succeed(rows); }
    // A statement the caller prepared once and ran itself on database() (a
    // bulk statement run for many rows) failed: its failure is recorded as
    // execute() records one, so that conflicted(), keyTaken() and
    // connectionLost() tell about it too. Returns sqlcode().
    int reportQueryFailure(const QSqlQuery &query);

    // Runs a statement with its host variables bound in order to the "?"
    // placeholders; sqlnrows() is the number of rows changed. Returns sqlcode().
    int execute(const QString &sql, const QVariantList &args = {});
    // Inserts rows (values in the order of columns) into table with
    // multi-row INSERT statements prepared once, many rows a round trip:
    // the fast way to store many rows, above all on a server. sqlnrows() is
    // the number of rows stored. Not a transaction of its own: on failure
    // part of the rows may be in, and the caller rolls back. Returns sqlcode().
    int insertRows(const QString &table, const QStringList &columns,
                   const QList<QVariantList> &rows);
    // First row of a query; sqlcode() 100 and nullopt when there is none.
    std::optional<QVariantList> selectRow(const QString &sql, const QVariantList &args = {});
    // Every row of a query (empty on failure; check sqlcode()).
    QList<QVariantList> selectRows(const QString &sql, const QVariantList &args = {});

    // Opens a transaction that lasts until commit() or rollback(), also with
    // autocommit on; with it off the transaction already open is taken over.
    // Most callers use TransactionScope (transaction_scope.h) instead.
    int begin();
    // With autocommit on and nothing begun, commit() succeeds at once (every
    // statement was committed by itself) while rollback() fails: it could undo nothing.
    int commit();
    int rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Grows each time a transaction ends or the connection closes, so that a
    // scope can tell whether its transaction is still the open one.
    quint64 transactionSerial() const { return m_serial; }

    // The database file opened through a desktop data source; empty when not
    // connected or connected through the ODBC driver manager.
    QString databaseFile() const { return m_file; }

private:
    friend class TransactionScope;
    int fail(const QString &text, int code = -1);
    int failOn(const QSqlError &error, const QString &state);
    bool reconnectIfLost();
    bool checkServerSchema();
    int succeed(qint64 rows = 0);
    bool openDesktopDatabase(const QString &path);
    bool createDesktopDatabase(const QString &path);
    bool openOdbc(const QString &connectString);
    bool beginIfManual();
    std::optional<QSqlQuery> runStatement(const QString &sql, const QVariantList &args,
                                          bool forwardOnly);
    int endTransaction(bool keep);
    void closeConnection();

    QString m_dbms;
    QString m_dbParm;
    bool m_autoCommit = false;

    QString m_name;
    bool m_connected = false;
    bool m_inTransaction = false;
    bool m_begun = false; // the open transaction was asked for through begin()
    quint64 m_serial = 0;
    QString m_file;
    bool m_created = false;
    bool m_creationFailed = false;
    bool m_requireSchema = true;
    Dialect m_dialect = Dialect::Embedded;
    QString m_sqlstate;
    bool m_conflict = false;
    bool m_keyTaken = false;
    bool m_lost = false;
    int m_sqlcode = 0;
    qint64 m_sqlnrows = 0;
    QString m_sqlerrtext;
};

// The program's one shared transaction.
Transaction &sqlca();

// The text between "ConnectString='" and the last "'" of a parameter string
// (the keyword matched case-insensitively); empty when there is none.
QString connectStringOf(const QString &dbParm);
// The value of key (case-insensitive) in "KEY=value;KEY=value"; empty when absent.
QString connectValue(const QString &connectString, const QString &key);
// The parameter or connect string with the value of every password key
// (PWD, Password) replaced by "***", for messages and logs.
QString withoutPassword(const QString &text);

} // namespace zorv::db
