// SQL library figures: the import save (inserts and the duplicate sweep in
// one transaction) and the browser query with both edits empty.
//   bench_sqllib import DIR LIBRARY ROWS  -> "import <rows> <seconds> <removed>"
//   bench_sqllib query DIR ENTRIES        -> "query <rows> <seconds>"
#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/sqllib/sql_import.h"
#include "core/sqllib/sql_query.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <cstdio>

using namespace zorv;
using namespace Qt::StringLiterals;

namespace {

bool connect(const QString &dir) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + u"/config"_s));
    config::RegistryStore store;
    config::regodbc(store, u"zorv"_s, dir + u"/zorv.mdb"_s, config::odbcDriverFolder());
    db::sqlca().setDbParm(u"ConnectString='DSN=zorv;UID=;PWD='"_s);
    db::sqlca().setAutoCommit(true);
    return db::sqlca().connect() == 0;
}

// n entries numbered 1..n, statement texts of typical length, 500 purposes.
bool fill(qint64 n) {
    QSqlQuery q(db::sqlca().database());
    return q.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                  "INSERT INTO sqlt (sql, purpose, bh) SELECT 'select a.col_' || i || ', b.name "
                  "from table_' || (i % 97) || ' a join other_' || (i % 13) || ' b on a.id = "
                  "b.id where a.flag = ''Y''', '用途 ' || (i % 500), i FROM n"_s.arg(n));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || !connect(args[2])) {
        std::fprintf(stderr, "usage: bench_sqllib import DIR LIBRARY ROWS | query DIR ENTRIES\n");
        return 2;
    }
    if (args[1] == u"import" && args.size() == 5) {
        const qint64 library = args[3].toLongLong(), rows = args[4].toLongLong();
        if (!fill(library))
            return 1;
        // New rows: every 20th is an exact copy of a stored entry (5 %).
        const auto grid = sqllib::makeLoadsqlGrid();
        QString text;
        for (qint64 i = 1; i <= rows; ++i) {
            if (i % 20 == 0) {
                const qint64 j = (i * 7) % library + 1;
                text += u"select a.col_%1, b.name from table_%2 a join other_%3 b on a.id = b.id "
                        "where a.flag = 'Y'\t用途 %4\n"_s.arg(j)
                            .arg(j % 97)
                            .arg(j % 13)
                            .arg(j % 500);
            } else {
                text += u"select x.new_%1 from imported_%2 x where x.k > %1\t导入 %3\n"_s.arg(i)
                            .arg(i % 211)
                            .arg(i % 300);
            }
        }
        grid->importText(text);
        QElapsedTimer t;
        t.start();
        const sqllib::ImportSave r = sqllib::saveImport(db::sqlca(), *grid);
        const double secs = t.nsecsElapsed() / 1e9;
        if (!r.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(r.error));
            return 1;
        }
        std::printf("import %lld %.3f %lld\n", static_cast<long long>(r.inserted), secs,
                    static_cast<long long>(r.removed));
        return 0;
    }
    if (args[1] == u"query") {
        if (!fill(args[3].toLongLong()))
            return 1;
        const auto grid = sqllib::makeSsqlGrid();
        QString error;
        QElapsedTimer t;
        t.start();
        const qint64 n = sqllib::queryLibrary(db::sqlca(), *grid, {}, {}, &error);
        const double secs = t.nsecsElapsed() / 1e9;
        if (n < 0) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("query %lld %.3f\n", static_cast<long long>(n), secs);
        return 0;
    }
    return 2;
}
