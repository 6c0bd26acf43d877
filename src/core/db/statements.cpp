#include "core/db/statements.h"

#include "core/db/schema.h"
#include "core/db/server_schema.h"

namespace zorv::db {
namespace {

std::optional<qint64> scalar(Transaction &tx, const QString &sql, const QVariantList &args = {}) {
    const auto row = tx.selectRow(sql, args);
    if (!row || row->isEmpty() || row->first().isNull())
        return std::nullopt;
    return row->first().toLongLong();
}

qint64 count(Transaction &tx, const QString &sql, const QVariantList &args) {
    return scalar(tx, sql, args).value_or(tx.sqlcode() == 0 ? 0 : -1);
}

SqlEntry entryOf(const QVariantList &row) {
    return {row.value(0).toString(), row.value(1).toString(), row.value(2).toLongLong()};
}

} // namespace

int countNullAccount(Transaction &tx) {
    const auto n = scalar(
        tx, QStringLiteral("SELECT count(*) FROM password WHERE user1 IS NULL AND pw IS NULL"));
    return tx.sqlcode() == 0 ? int(n.value_or(0)) : 0;
}

std::optional<QVariant> selectPassword(Transaction &tx, const QString &user) {
    const auto row =
        tx.selectRow(QStringLiteral("SELECT pw FROM password WHERE user1 = ?"), {user});
    if (!row)
        return std::nullopt;
    return row->value(0);
}

int updateUser(Transaction &tx, const QString &user) {
    return tx.execute(QStringLiteral("UPDATE password SET user1 = ?"), {user});
}

int updatePassword(Transaction &tx, const QString &password) {
    return tx.execute(QStringLiteral("UPDATE password SET pw = ?"), {password});
}

std::optional<SqlEntry> selectSql(Transaction &tx, qint64 bh) {
    const auto row =
        tx.selectRow(QStringLiteral("SELECT sql, purpose, bh FROM sqlt WHERE bh = ?"), {bh});
    if (!row)
        return std::nullopt;
    return entryOf(*row);
}

int deleteSql(Transaction &tx, qint64 bh) {
    return tx.execute(QStringLiteral("DELETE FROM sqlt WHERE bh = ?"), {bh});
}

int updateSql(Transaction &tx, const QString &sql, const QString &purpose, qint64 bh) {
    return tx.execute(QStringLiteral("UPDATE sqlt SET sql = ?, purpose = ? WHERE bh = ?"),
                      {sql, purpose, bh});
}

int insertSql(Transaction &tx, const QString &sql, const QString &purpose) {
    return tx.execute(QStringLiteral("INSERT INTO sqlt (sql, purpose) VALUES (?, ?)"),
                      {sql, purpose});
}

int insertSqlNumbered(Transaction &tx, const QString &sql, const QString &purpose, qint64 bh) {
    if (tx.execute(QStringLiteral("INSERT INTO sqlt VALUES (?, ?, ?)"), {sql, purpose, bh}) != 0)
        return tx.sqlcode();
    return advanceNumbering(tx, table::sqlt);
}

qint64 countSql(Transaction &tx) {
    return count(tx, QStringLiteral("SELECT count(bh) FROM sqlt"), {});
}

std::optional<qint64> maxSqlBh(Transaction &tx) {
    return scalar(tx, QStringLiteral("SELECT max(bh) FROM sqlt"));
}

QList<SqlEntry> selectSqlByPurpose(Transaction &tx) {
    QList<SqlEntry> out;
    const auto rows =
        tx.selectRows(QStringLiteral("SELECT sql, purpose, bh FROM sqlt ORDER BY purpose ASC"));
    out.reserve(rows.size());
    for (const QVariantList &row : rows)
        out << entryOf(row);
    return out;
}

int updateTablePurpose(Transaction &tx, const QString &purpose, const QString &table) {
    return tx.execute(QStringLiteral("UPDATE base0 SET purpose = ? WHERE table_name = ?"),
                      {purpose, table});
}

qint64 countTable(Transaction &tx, const QString &table) {
    return count(tx, QStringLiteral("SELECT count(*) FROM base0 WHERE table_name = ?"), {table});
}

int insertTable(Transaction &tx, const QString &table, const QString &purpose) {
    return tx.execute(QStringLiteral("INSERT INTO base0 VALUES (?, ?)"), {table, purpose});
}

qint64 countColumn(Transaction &tx, const QString &table, const QString &column) {
    return count(
        tx, QStringLiteral("SELECT count(*) FROM bases1 WHERE table_name = ? AND column_nam = ?"),
        {table, column});
}

int insertColumn(Transaction &tx, const QString &table, const QString &column,
                 const QString &dataType, const QVariant &length) {
    return tx.execute(QStringLiteral("INSERT INTO bases1 VALUES (?, ?, ?, ?)"),
                      {table, column, dataType, length});
}

int insertRegister(Transaction &tx, qint64 xh, const QVariant &bs, const QDateTime &rq,
                   const QString &md, const QString &jg) {
    return tx.execute(
        QStringLiteral("INSERT INTO htt1 (xh, bs, rq, md, jg) VALUES (?, ?, ?, ?, ?)"),
        {xh, bs, rq, md, jg});
}

int insertRegisterRows(Transaction &tx, const QList<RegisterRow> &rows) {
    QList<QVariantList> values;
    values.reserve(rows.size());
    for (const RegisterRow &r : rows)
        values.append(QVariantList{r.xh, r.bs, r.rq, r.md, r.jg});
    return tx.insertRows(table::htt1,
                         {QStringLiteral("xh"), QStringLiteral("bs"), QStringLiteral("rq"),
                          QStringLiteral("md"), QStringLiteral("jg")},
                         values);
}

int deleteRegister(Transaction &tx, qint64 bh) {
    return tx.execute(QStringLiteral("DELETE FROM htt1 WHERE bh = ?"), {bh});
}

int updateRegisterRemark(Transaction &tx, const QString &bz, qint64 bh) {
    return tx.execute(QStringLiteral("UPDATE htt1 SET bz = ? WHERE bh = ?"), {bz, bh});
}

namespace gridsql {

const QString base0 = QStringLiteral("SELECT DISTINCT base0.table_name, base0.purpose FROM base0 "
                                     "INNER JOIN bases1 ON base0.table_name = bases1.table_name "
                                     "WHERE base0.table_name LIKE ? AND base0.table_name LIKE ? "
                                     "AND bases1.column_nam LIKE ? AND base0.purpose LIKE ? "
                                     "ORDER BY base0.table_name ASC");

const QString base2 =
    QStringLiteral("SELECT bases1.column_nam, bases1.data_type, bases1.data_lengt FROM bases1 "
                   "WHERE bases1.table_name = ? ORDER BY bases1.column_nam ASC");

const QString dcbase = QStringLiteral(
    "SELECT base0.table_name, bases1.column_nam, bases1.data_type, bases1.data_lengt, "
    "base0.purpose FROM base0 INNER JOIN bases1 ON base0.table_name = bases1.table_name "
    "WHERE base0.table_name LIKE ? AND base0.table_name LIKE ? "
    "AND bases1.column_nam LIKE ? AND base0.purpose LIKE ?");

const QString ssql =
    QStringLiteral("SELECT sqlt.sql, sqlt.purpose, sqlt.bh FROM sqlt "
                   "WHERE sqlt.sql LIKE ? AND sqlt.purpose LIKE ? ORDER BY sqlt.purpose ASC");

const QString htmdcx =
    QStringLiteral("SELECT htt1.bh, htt1.xh, htt1.bs, htt1.rq, htt1.md, htt1.jg, htt1.bz FROM htt1 "
                   "WHERE htt1.bs >= ? AND htt1.bs <= ? AND htt1.rq >= ? AND htt1.rq <= ? "
                   "AND htt1.md LIKE ? AND htt1.jg LIKE ?");

} // namespace gridsql

} // namespace zorv::db
