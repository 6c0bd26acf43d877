// The team database's timings: saving register rows over ODBC in one
// transaction, and querying them back into the register's grid.
//   bench_teamdb tsv FILE N           the N rows as tab-separated text (for psql \copy)
//   bench_teamdb save PARM N          saves N rows; prints the seconds
//   bench_teamdb savelist PARM N      saves a list of N names as the comparison
//                                     window's "保存" does; prints the seconds
//   bench_teamdb query PARM           retrieves every row into the grid; prints seconds and rows
// PARM is the connection parameter string "ConnectString='DSN=…;UID=…;PWD=…'".
#include "core/db/statements.h"
#include "core/db/transaction_scope.h"
#include "core/grid/grid.h"
#include "core/lists/compare_grids.h"
#include "core/lists/register_save.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using namespace zorv;

namespace {

db::RegisterRow rowOf(int i) {
    return {i + 1, 20261208, QDateTime(QDate(2026, 12, 8), QTime(9, 30)).addSecs(i),
            QStringLiteral("名单成员%1号").arg(i),
            i % 3 ? QStringLiteral("相同") : QStringLiteral("不同")};
}

bool connect(db::Transaction &tx, const QString &parm) {
    tx.setDbms(QStringLiteral("ODBC"));
    tx.setDbParm(parm);
    tx.setAutoCommit(true);
    if (tx.connect() == 0)
        return true;
    std::fprintf(stderr, "connect: %s\n", qPrintable(tx.sqlerrtext()));
    return false;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() == 4 && a[1] == u"tsv") {
        QFile f(a[2]);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        const int n = a[3].toInt();
        for (int i = 0; i < n; ++i) {
            const db::RegisterRow r = rowOf(i);
            f.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                        .arg(r.xh)
                        .arg(r.bs.toLongLong())
                        .arg(r.rq.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), r.md, r.jg)
                        .toUtf8());
        }
        return 0;
    }
    if (a.size() == 4 && a[1] == u"save") {
        const int n = a[3].toInt();
        QList<db::RegisterRow> rows;
        rows.reserve(n);
        for (int i = 0; i < n; ++i)
            rows.append(rowOf(i));
        db::Transaction tx;
        if (!connect(tx, a[2]))
            return 1;
        QElapsedTimer t;
        t.start();
        db::TransactionScope scope(tx);
        if (db::insertRegisterRows(tx, rows) != 0 || scope.commit() != 0) {
            std::fprintf(stderr, "save: %s\n", qPrintable(tx.sqlerrtext()));
            return 1;
        }
        std::printf("%.3f\n", double(t.nsecsElapsed()) / 1e9);
        return 0;
    }
    if (a.size() == 4 && a[1] == u"savelist") {
        const int n = a[3].toInt();
        const auto list = lists::makeListGrid(1);
        for (int i = 0; i < n; ++i) {
            const db::RegisterRow r = rowOf(i);
            const qint64 row = list->insertRow();
            list->setItem(row, lists::kMd, r.md);
            list->setItem(row, lists::kXh, r.xh);
            list->setItem(row, lists::kJg, r.jg);
        }
        db::Transaction tx;
        if (!connect(tx, a[2]))
            return 1;
        QElapsedTimer t;
        t.start();
        const lists::SaveOutcome saved =
            lists::saveRegisterRows(*list, 20261208, QDate(2026, 12, 8), tx);
        if (saved.end != lists::SaveEnd::Saved) {
            std::fprintf(stderr, "savelist: %s\n", qPrintable(saved.error));
            return 1;
        }
        std::printf("%.3f\n", double(t.nsecsElapsed()) / 1e9);
        return 0;
    }
    if (a.size() == 3 && a[1] == u"query") {
        db::Transaction tx;
        if (!connect(tx, a[2]))
            return 1;
        Grid grid({{QStringLiteral("bh"), ColType::Number},
                   {QStringLiteral("xh"), ColType::Number},
                   {QStringLiteral("bs"), ColType::Number},
                   {QStringLiteral("rq"), ColType::DateTime},
                   {QStringLiteral("md"), ColType::String},
                   {QStringLiteral("jg"), ColType::String},
                   {QStringLiteral("bz"), ColType::String}});
        QElapsedTimer t;
        t.start();
        QString error;
        const qint64 rows = grid.retrieve(tx.database(), db::gridsql::htmdcx,
                                          {0, 1e12, QDateTime(QDate(1900, 1, 1), QTime(0, 0)),
                                           QDateTime(QDate(2999, 1, 1), QTime(0, 0)),
                                           QStringLiteral("%"), QStringLiteral("%")},
                                          &error);
        if (rows < 0) {
            std::fprintf(stderr, "query: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("%.3f %lld\n", double(t.nsecsElapsed()) / 1e9, static_cast<long long>(rows));
        return 0;
    }
    std::fprintf(stderr, "usage: bench_teamdb tsv FILE N | save PARM N | query PARM\n");
    return 2;
}
