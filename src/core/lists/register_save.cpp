#include "core/lists/register_save.h"

#include "core/db/dialect.h"
#include "core/db/retry.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace zorv::lists {

SaveOutcome saveRegisterRows(const Grid &list, int bs, const QDate &day, db::Transaction &tx,
                             ProgressSink *progress) {
    SaveOutcome out;
    const QDateTime rq(day, QTime(0, 0));
    const QVariant bsValue(bs);
    const qint64 n = list.rowCount();
    // One prepared statement for every row, all in one transaction that is
    // committed only at the end. Another writer saving at the same moment
    // (the embedded file busy, the server refusing) runs it again from the
    // start; the database numbers bh, so a taken key is a plain failure.
    auto work = [&] {
        out = SaveOutcome{};
        QSqlQuery q(tx.database());
        if (!q.prepare(
                db::forDriver(tx.database(),
                              u"INSERT INTO htt1 (xh, bs, rq, md, jg) VALUES (?, ?, ?, ?, ?)"_s))) {
            tx.reportQueryFailure(q);
            out.end = SaveEnd::Failed;
            return false;
        }
        for (qint64 r = 1; r <= n; ++r) {
            if (progress && (r % 4096 == 1 || r == n)) {
                progress->progress(r - 1, n, u"正在保存第%1行..."_s.arg(r));
                if (progress->stopRequested()) {
                    out.end = SaveEnd::Stopped;
                    return false;
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
                tx.reportQueryFailure(q);
                out.end = SaveEnd::Failed;
                out.failedRow = r;
                return false;
            }
        }
        return true;
    };
    db::RetryPolicy policy;
    policy.retryTakenKey = false;
    if (db::runAsOneWhole(tx, work, policy) != 0) {
        if (out.end == SaveEnd::Saved) // the commit failed
            out.end = SaveEnd::Failed;
        if (out.end == SaveEnd::Failed)
            out.error = tx.sqlerrtext();
        out.rows = 0;
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
