// Catalogue figures: storing an import list of column lines, then the
// browser's table query and a change of table on the resulting catalogue.
// Usage: bench_catalogue DIR TABLES COLUMNS_PER_TABLE
// Prints: lines import_s reimport_s query_s query_rows change_s change_rows

#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/catalogue_import.h"
#include "core/config/registry.h"
#include "core/config/regodbc.h"
#include "core/db/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

using namespace zorv;
using namespace Qt::Literals::StringLiterals;

namespace {

std::unique_ptr<Grid> importList(int tables, int perTable) {
    auto grid = catalogue::makeImportGrid();
    grid->setRedraw(false);
    for (int t = 0; t < tables; ++t) {
        const QString table = u"T_%1"_s.arg(t, 5, 10, QLatin1Char('0'));
        for (int c = 0; c < perTable; ++c) {
            const qint64 row = grid->insertRow(0);
            grid->setItem(row, 1, QVariant(table));
            grid->setItem(row, 2, QVariant(u"COL_%1"_s.arg(c)));
            grid->setItem(row, 3, QVariant(u"VARCHAR2"_s));
            grid->setItem(row, 4, QVariant(c % 400));
            grid->setItem(row, 5, QVariant(u"业务表%1"_s.arg(t)));
        }
    }
    grid->setRedraw(true);
    return grid;
}

double seconds(QElapsedTimer &t) {
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_catalogue DIR TABLES COLUMNS_PER_TABLE\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const int tables = atoi(argv[2]);
    const int perTable = atoi(argv[3]);
    config::RegistryStore store;
    config::regodbc(store, u"zorv"_s, QDir(dir).filePath(u"zorv.mdb"_s),
                    config::odbcDriverFolder());
    db::Transaction tx;
    tx.setDbms(u"ODBC"_s);
    tx.setDbParm(u"ConnectString='DSN=zorv;UID=;PWD='"_s);
    tx.setAutoCommit(true);
    if (tx.connect() != 0) {
        std::fprintf(stderr, "connect: %s\n", qPrintable(tx.sqlerrtext()));
        return 1;
    }
    auto grid = importList(tables, perTable);
    const qint64 lines = grid->rowCount();
    QElapsedTimer t;
    t.start();
    if (!catalogue::saveImportGrid(tx, *grid).stored())
        return 1;
    const double importS = seconds(t);

    grid = importList(tables, perTable);
    t.restart();
    if (!catalogue::saveImportGrid(tx, *grid).stored())
        return 1;
    const double reimportS = seconds(t);

    auto list = catalogue::makeTableGrid();
    QString error;
    t.restart();
    const qint64 shown = catalogue::queryTables(*list, tx, {}, &error);
    const double queryS = seconds(t);

    auto columns = catalogue::makeColumnGrid();
    t.restart();
    const qint64 listed =
        catalogue::queryColumns(*columns, tx, list->getItemString(shown / 2, 1), &error);
    const double changeS = seconds(t);

    std::printf("%lld %.3f %.3f %.4f %lld %.4f %lld\n", lines, importS, reimportS, queryS, shown,
                changeS, listed);
    return shown == tables && listed == perTable ? 0 : 1;
}
