// Merge, split and the register query on generated data (fixed seed).
//   bench_lists_register merge N       seconds of mergeColumnB on N rows
//   bench_lists_register split N       seconds of splitColumnA on N rows
//   bench_lists_register query N DIR   seconds of the register query of N rows
//                                      (htt1 filled directly in DIR/zorv.mdb)
//   bench_lists_register tsv N FILE    writes N merge rows as an al bl stream
// Each prints "<seconds> <rows out>".
#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/lists/merge.h"
#include "core/lists/register_query.h"
#include "core/lists/split.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;
using namespace zorv;

namespace {

const QString kSurnames = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"_s;
const QString kGiven = u"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超霞平刚桂兰"_s;

// A Chinese name of 2 to 4 characters.
QString name(std::mt19937 &rng) {
    QString n(kSurnames[int(rng() % kSurnames.size())]);
    const int more = 1 + int(rng() % 3);
    for (int i = 0; i < more; ++i)
        n += kGiven[int(rng() % kGiven.size())];
    return n;
}

// N rows, A one of N/5 keys (groups of about five), B a short value.
QString mergeText(qint64 n) {
    std::mt19937 rng(20261208);
    QStringList keys;
    for (qint64 i = 0; i < std::max<qint64>(1, n / 5); ++i)
        keys << name(rng) + QString::number(i);
    QString text;
    for (qint64 i = 0; i < n; ++i)
        text += keys[int(rng() % keys.size())] + u"\t"_s + QString::number(rng() % 10000) + u"\n"_s;
    return text;
}

// N rows, A three names joined by ",", B a short value with blanks around it.
QString splitText(qint64 n) {
    std::mt19937 rng(20261209);
    QString text;
    for (qint64 i = 0; i < n; ++i)
        text += name(rng) + u","_s + name(rng) + u",,"_s + name(rng) + u"\t "_s +
                QString::number(i) + u" \n"_s;
    return text;
}

double since(const QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e9;
}

int query(qint64 n, const QString &dir) {
    config::RegistryStore store;
    config::regodbc(store, u"zorv"_s, dir + u"/zorv.mdb"_s, config::odbcDriverFolder());
    db::Transaction &tx = db::sqlca();
    tx.setDbParm(u"ConnectString='DSN=zorv;UID=;PWD='"_s);
    if (tx.connect() != 0) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(tx.sqlerrtext()));
        return 1;
    }
    {
        std::mt19937 rng(20261210);
        QSqlDatabase db = tx.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(u"INSERT INTO htt1 (xh, bs, rq, md, jg) VALUES (?, ?, ?, ?, ?)"_s);
        const QDateTime day(QDate(2026, 12, 8), QTime(0, 0));
        const QString same = u"相同"_s, differ = u"不同"_s;
        for (qint64 i = 0; i < n; ++i) {
            q.bindValue(0, i + 1);
            q.bindValue(1, int(rng() % 10));
            q.bindValue(2, day);
            q.bindValue(3, name(rng));
            q.bindValue(4, rng() % 2 ? same : differ);
            if (!q.exec()) {
                std::fprintf(stderr, "insert failed\n");
                return 1;
            }
        }
        db.commit();
    }
    auto grid = lists::makeHtmdcxGrid();
    QElapsedTimer t;
    t.start();
    const qint64 rows = lists::queryRegister(*grid, tx, {});
    std::printf("%.3f %lld\n", since(t), static_cast<long long>(rows));
    return rows == n ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_lists_register merge|split|query|tsv N [DIR|FILE]\n");
        return 2;
    }
    const QString mode = args[1];
    const qint64 n = args[2].toLongLong();
    if (mode == u"query" && args.size() > 3)
        return query(n, args[3]);
    if (mode == u"tsv" && args.size() > 3) {
        QFile f(args[3]);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write("al\tbl\n" + mergeText(n).toUtf8());
        return 0;
    }
    const bool merge = mode == u"merge";
    if (!merge && mode != u"split")
        return 2;
    auto source = lists::makeHmalGrid();
    source->importText(merge ? mergeText(n) : splitText(n));
    QElapsedTimer t;
    t.start();
    qint64 out = 0;
    if (merge) {
        out = lists::mergeColumnB(*source, u"；"_s).rowsJoined;
    } else {
        auto target = lists::makeHmalGrid();
        out = lists::splitColumnA(*source, *target, u","_s);
    }
    std::printf("%.3f %lld\n", since(t), static_cast<long long>(out));
    return 0;
}
