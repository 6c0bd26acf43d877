#include "core/db/copy_data.h"

#include "core/db/schema.h"
#include "core/db/server_schema.h"
#include "core/db/transaction_scope.h"

#include <QDateTime>

namespace zorv::db {
namespace {

// The rows of table in a stable order (by number where there is one).
QList<QVariantList> readTable(Transaction &tx, const QString &table, const QStringList &columns) {
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u','), table);
    if (columns.contains(u"bh"))
        sql += QStringLiteral(" ORDER BY bh");
    return tx.selectRows(sql);
}

// The embedded database hands back the register date as the text it stored;
// the server takes it as a date and time, in the same form either way.
void normaliseDates(QList<QVariantList> &rows, qsizetype column) {
    for (QVariantList &row : rows) {
        QVariant &v = row[column];
        if (v.isNull() || v.typeId() != QMetaType::QString)
            continue;
        const QDateTime dt = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
        if (dt.isValid())
            v = dt;
    }
}

bool targetIsEmpty(Transaction &to, QString *why) {
    for (const QString &t : tableNames()) {
        const QString sql = t == table::password
                                ? QStringLiteral("SELECT count(*) FROM password WHERE "
                                                 "user1 IS NOT NULL OR pw IS NOT NULL")
                                : QStringLiteral("SELECT count(*) FROM %1").arg(t);
        const auto row = to.selectRow(sql);
        if (!row)
            return false;
        if (row->value(0).toLongLong() > 0) {
            *why = t;
            return false;
        }
    }
    return true;
}

} // namespace

int copyData(Transaction &from, Transaction &to, bool append, CopyResult *result) {
    result->counts.clear();
    // Everything is read first: the source is never written, and the target
    // transaction stays short.
    QList<QList<QVariantList>> data;
    for (const QString &t : tableNames()) {
        data << readTable(from, t, columnNames(t));
        if (from.sqlcode() != 0)
            return to.reportFailure(
                QStringLiteral("读取源数据库的表 %1 失败: %2").arg(t, from.sqlerrtext()));
    }

    TransactionScope scope(to);
    if (!scope.isOpen())
        return to.sqlcode();
    // Rolls everything back and returns the failure: the rollback's own
    // success must not wipe out why the copy stopped.
    auto stop = [&] {
        const int code = to.sqlcode();
        const QString text = to.sqlerrtext();
        scope.rollback();
        to.reportFailure(text);
        return code;
    };
    if (!append) {
        QString full;
        if (!targetIsEmpty(to, &full)) {
            if (to.sqlcode() == 0)
                to.reportFailure(QStringLiteral("目标数据库的表 %1 中已有数据，没有复制任何数据"
                                                "(要添加到已有数据之后，请用 --append)")
                                     .arg(full));
            return stop();
        }
    }
    const QStringList tables = tableNames();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        const QString &t = tables[i];
        QStringList columns = columnNames(t);
        QList<QVariantList> rows = data[i];
        if (t == table::htt1)
            normaliseDates(rows, columns.indexOf(QStringLiteral("rq")));
        if (t == table::password) {
            if (append) {
                result->counts << qMakePair(t, qint64(0));
                continue;
            }
            if (to.execute(QStringLiteral("DELETE FROM password")) != 0)
                return stop();
        }
        const qsizetype bh = columns.indexOf(QStringLiteral("bh"));
        if (append && bh >= 0) {
            // New numbers from the target.
            columns.removeAt(bh);
            for (QVariantList &row : rows)
                row.removeAt(bh);
        }
        if (to.insertRows(t, columns, rows) != 0)
            return stop(); // every table rolled back
        if (bh >= 0 && !append && advanceNumbering(to, t) != 0)
            return stop();
        result->counts << qMakePair(t, qint64(rows.size()));
    }
    return scope.commit();
}

} // namespace zorv::db
