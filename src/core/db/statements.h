#pragma once
// Every SQL statement of the program, each bound to its host variables and
// run on a transaction (normally sqlca()). After a call the caller reads the
// transaction's sqlcode(), sqlnrows() and sqlerrtext(); the functions never
// commit: the callers commit right after each change (or roll back).
// Null tests are written "x IS NULL", which every SQL dialect accepts.

#include "core/db/transaction.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace zorv::db {

// --- account: login window and account window ---

// Rows whose user1 and pw are both null (1 = no account set); 0 when the statement fails.
int countNullAccount(Transaction &tx);
// The stored password of user (a null QVariant for a null password);
// nullopt when no row matches (sqlcode 100) or the statement fails (-1).
std::optional<QVariant> selectPassword(Transaction &tx, const QString &user);
// Set every row's user name / password (the table holds one row). Return sqlcode.
int updateUser(Transaction &tx, const QString &user);
int updatePassword(Transaction &tx, const QString &password);

// --- the SQL statement library: sqlt ---

struct SqlEntry {
    QString sql;
    QString purpose;
    qint64 bh = 0;
};

std::optional<SqlEntry> selectSql(Transaction &tx, qint64 bh); // sqlcode 100: no such number
int deleteSql(Transaction &tx, qint64 bh);
int updateSql(Transaction &tx, const QString &sql, const QString &purpose, qint64 bh);
// Inserts without a number: the database numbers the row.
int insertSql(Transaction &tx, const QString &sql, const QString &purpose);
// Inserts with an explicit number (the importers' max + 1).
int insertSqlNumbered(Transaction &tx, const QString &sql, const QString &purpose, qint64 bh);
// Row count of sqlt; -1 when the statement fails.
qint64 countSql(Transaction &tx);
// Highest bh; nullopt when the table is empty (sqlcode 0) or on failure (sqlcode -1).
std::optional<qint64> maxSqlBh(Transaction &tx);
// Every statement ordered by purpose (the import's duplicate scan).
QList<SqlEntry> selectSqlByPurpose(Transaction &tx);

// --- the table catalogue: base0 and bases1 ---

int updateTablePurpose(Transaction &tx, const QString &purpose, const QString &table);
qint64 countTable(Transaction &tx, const QString &table); // -1 on failure
int insertTable(Transaction &tx, const QString &table, const QString &purpose);
qint64 countColumn(Transaction &tx, const QString &table, const QString &column); // -1 on failure
int insertColumn(Transaction &tx, const QString &table, const QString &column,
                 const QString &dataType, const QVariant &length);

// --- the reconciliation register: htt1 (bh numbered by the database) ---

int insertRegister(Transaction &tx, qint64 xh, const QVariant &bs, const QDateTime &rq,
                   const QString &md, const QString &jg);
// Many register rows at once (a comparison's whole outcome), each row xh,
// bs, rq, md, jg: stored many rows a round trip, which a server needs for
// large lists. Not a transaction of its own (run it in a TransactionScope).
struct RegisterRow {
    qint64 xh = 0;
    QVariant bs;
    QDateTime rq;
    QString md;
    QString jg;
};
int insertRegisterRows(Transaction &tx, const QList<RegisterRow> &rows);
int deleteRegister(Transaction &tx, qint64 bh);
int updateRegisterRemark(Transaction &tx, const QString &bz, qint64 bh);

// --- sources of the database-backed grids: run with Grid::retrieve on
// sqlca().database(), arguments bound in the order given ---
namespace gridsql {
// Args: tn1, tn2, cn, pu (LIKE patterns).
extern const QString base0;
// Args: tn, the exact table name (not a pattern).
extern const QString base2;
// Args: tn1, tn2, cn, pu.
extern const QString dcbase;
// Args: L_sql, L_purpose.
extern const QString ssql;
// Args: bs1, bs2 (numbers), rq1, rq2 (QDateTime), md, jg (LIKE patterns).
extern const QString htmdcx;
} // namespace gridsql

} // namespace zorv::db
