#include "core/lists/register_save.h"

#include "core/db/transaction.h"
#include "core/db/transaction_scope.h"
#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

QString errorText(const QSqlError &e) {
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    return text;
}

} // namespace

SaveOutcome saveRegisterRows(const Grid &list, int bs, const QDate &day, db::Transaction &tx,
                             ProgressSink *progress) {
    SaveOutcome out;
    db::TransactionScope scope(tx);
    if (!scope.isOpen()) {
        out.end = SaveEnd::Failed;
        out.error = tx.sqlerrtext();
        return out;
    }
    // One prepared statement for every row; the scope undoes everything
    // unless the commit at the end is reached.
    QSqlQuery q(tx.database());
    if (!q.prepare(u"INSERT INTO htt1 (xh, bs, rq, md, jg) VALUES (?, ?, ?, ?, ?)"_s)) {
        out.end = SaveEnd::Failed;
        out.error = errorText(q.lastError());
        return out;
    }
    const QDateTime rq(day, QTime(0, 0));
    const QVariant bsValue(bs);
    const qint64 n = list.rowCount();
    for (qint64 r = 1; r <= n; ++r) {
        if (progress && (r % 4096 == 1 || r == n)) {
            progress->progress(r - 1, n, u"正在保存第%1行..."_s.arg(r));
            if (progress->stopRequested()) {
                scope.rollback();
                out.end = SaveEnd::Stopped;
                return out;
            }
        }
        q.bindValue(0, list.isNull(r, kXh) ? QVariant(QMetaType::fromType<qint64>())
                                           : QVariant(qint64(list.getItemNumber(r, kXh))));
        q.bindValue(1, bsValue);
        q.bindValue(2, rq);
        q.bindValue(3, list.isNull(r, kMd) ? QVariant(QMetaType::fromType<QString>())
                                           : QVariant(list.getItemString(r, kMd)));
        q.bindValue(4, list.isNull(r, kJg) ? QVariant(QMetaType::fromType<QString>())
                                           : QVariant(list.getItemString(r, kJg)));
        if (!q.exec()) {
            out.end = SaveEnd::Failed;
            out.failedRow = r;
            out.error = errorText(q.lastError());
            scope.rollback();
            return out;
        }
    }
    q.finish();
    if (scope.commit() != 0) {
        out.end = SaveEnd::Failed;
        out.error = tx.sqlerrtext();
        return out;
    }
    if (progress)
        progress->progress(n, n, QString());
    out.rows = n;
    return out;
}

SaveOutcome saveListToRegister(Grid &list, int bs, db::Transaction &tx, ProgressSink *progress) {
    const SaveOutcome out = saveRegisterRows(list, bs, QDate::currentDate(), tx, progress);
    switch (out.end) {
    case SaveEnd::Saved:
        list.reset();
        break;
    case SaveEnd::Failed:
        platform().messageBox(u"插入htt1表失败"_s,
                              u"出错信息:"_s + out.error + u"\n没有保存任何行。"_s,
                              MsgIcon::Warning);
        break;
    case SaveEnd::Stopped:
        platform().messageBox(u"提示"_s, u"保存已中止，没有保存任何行。"_s);
        break;
    }
    return out;
}

} // namespace zorv::lists
