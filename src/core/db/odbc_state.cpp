#include "core/db/odbc_state.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlResult>
#include <sql.h>
#include <sqlext.h>

namespace zorv::db {
namespace {

SQLHANDLE handleOf(const QVariant &v) {
    // The ODBC driver hands its handles out as a variant holding the pointer.
    if (!v.isValid() || v.metaType().sizeOf() != int(sizeof(SQLHANDLE)))
        return nullptr;
    return *static_cast<const SQLHANDLE *>(v.constData());
}

QString stateOf(SQLSMALLINT type, SQLHANDLE handle) {
    if (!handle)
        return {};
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    // The first record names the cause; later ones add detail.
    const SQLRETURN r = SQLGetDiagRec(type, handle, 1, state, &native, nullptr, 0, &length);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char *>(state));
}

} // namespace

QString odbcState(const QSqlDatabase &db, const QSqlQuery &query) {
    if (db.driverName() != u"QODBC" || !query.result())
        return {};
    return stateOf(SQL_HANDLE_STMT, handleOf(query.result()->handle()));
}

QString odbcState(const QSqlDatabase &db) {
    if (!db.driver() || db.driverName() != u"QODBC")
        return {};
    return stateOf(SQL_HANDLE_DBC, handleOf(db.driver()->handle()));
}

bool isConflictState(const QString &state) {
    // 40001 serialization failure, 40P01 deadlock (PostgreSQL's own code).
    return state == u"40001" || state == u"40P01";
}

bool isConnectionState(const QString &state) {
    // Class 08 is "connection exception"; psqlODBC reports a dropped
    // connection as 08S01, and a statement on a dead one as 08003.
    return state.startsWith(u"08");
}

bool odbcConnectionDead(const QSqlDatabase &db) {
    if (!db.driver() || db.driverName() != u"QODBC")
        return false;
    const SQLHANDLE handle = handleOf(db.driver()->handle());
    if (!handle)
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN r = SQLGetConnectAttr(handle, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
}

QString serverMessage(const QString &text) {
    static const QRegularExpression wrapped(
        QStringLiteral("^(?:ERROR|FATAL|PANIC):\\s*(.*?);?\\s*Error while executing the query$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = wrapped.match(text);
    if (!m.hasMatch() || m.captured(1).trimmed().isEmpty())
        return text;
    return m.captured(1).trimmed();
}

bool odbcDataSourceExists(const QString &dsn) {
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        return false;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    bool found = false;
    SQLCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (!found &&
           SQL_SUCCEEDED(SQLDataSources(env, direction, name, sizeof name, &nameLength, description,
                                        sizeof description, &descriptionLength))) {
        direction = SQL_FETCH_NEXT;
        found = QString::fromLocal8Bit(reinterpret_cast<const char *>(name))
                    .compare(dsn, Qt::CaseInsensitive) == 0;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return found;
}

} // namespace zorv::db
