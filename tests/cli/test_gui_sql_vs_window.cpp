// "zorv sql" against the library windows on the same data folder: the
// command's find prints the rows the browser shows for the same edits, its
// import stores what the import window stores, and its failures keep to the
// command-line conventions (message on standard error, exit 1 or 2).
#include "cli/cli_home.h"
#include "cli/grid_stream.h"
#include "cli_harness.h"
#include "core/app/data_home.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "gui/sqllib/w_cxsql.h"
#include "gui/sqllib/w_drsql.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using namespace zorv::test;

namespace {

const QByteArray kStatements = "select 1 from a\t甲\n"
                               "select 2 from a\t乙\n"
                               "select 100% from b\t丙\n"
                               "select 1 from a\t甲\n" // a copy: swept
                               "select 1 from a\t丁\n"
                               "delete from c where x = 'y'\t清理\n";

// A data folder with the default zorv.ini, as a first start makes it.
bool makeHome(const QString &dir) {
    return writeFile(dir + u"/zorv.ini"_s, app::defaultProfileBytes());
}

// The rows of a grid the way find prints them.
QByteArray printed(const Grid &g) {
    QByteArray out = "sql\tpurpose\tbh\n";
    for (qint64 r = 1; r <= g.rowCount(); ++r) {
        for (int c = 1; c <= g.columnCount(); ++c) {
            if (c > 1)
                out += '\t';
            out += cli::escapeField(g.getItemString(r, c));
        }
        out += '\n';
    }
    return out;
}

// sqlt of the database in dir, by number, as "bh|sql|purpose".
QStringList libraryOf(const QString &dir) {
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"peek"_s);
        db.setDatabaseName(dir + u"/zorv.mdb"_s);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(u"SELECT bh, sql, purpose FROM sqlt ORDER BY bh"_s);
            while (q.next())
                out << q.value(0).toString() + u'|' + q.value(1).toString() + u'|' +
                           q.value(2).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(u"peek"_s);
    return out;
}

} // namespace

class TestSqlCliVsWindow : public QObject {
    Q_OBJECT
private slots:
    void findPrintsWhatTheBrowserShows_data() {
        QTest::addColumn<QString>("sqlEdit");
        QTest::addColumn<QString>("purposeEdit");
        QTest::addColumn<int>("rows");
        QTest::newRow("both empty") << QString() << QString() << 5;
        QTest::newRow("text, trimmed") << u"  from a "_s << QString() << 3;
        QTest::newRow("percent wildcard") << u"1%a"_s << QString() << 2;
        QTest::newRow("underscore wildcard") << u"select _ from"_s << QString() << 3;
        QTest::newRow("purpose") << QString() << u"甲"_s << 1;
        QTest::newRow("quote in the text") << u"'y'"_s << QString() << 1;
    }
    void findPrintsWhatTheBrowserShows() {
        QFETCH(QString, sqlEdit);
        QFETCH(QString, purposeEdit);
        QFETCH(int, rows);
        TestHome home;
        QVERIFY(makeHome(home.path()));
        QVERIFY(writeFile(home.file(u"list.txt"_s), kStatements));
        const CliResult imported = runZorv({u"sql"_s, u"import"_s, home.file(u"list.txt"_s)}, {},
                                           home.path()); // --home from $ZORVANE_HOME
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));

        QStringList args{u"sql"_s, u"find"_s, u"--home"_s, home.path()};
        if (!sqlEdit.isNull())
            args << u"--sql"_s << sqlEdit;
        if (!purposeEdit.isNull())
            args << u"--purpose"_s << purposeEdit;
        const CliResult found = runZorv(args, {}, QDir::tempPath());
        QVERIFY2(found.exitCode == 0, qPrintable(found.err));

        ScriptedPlatform platform;
        QCOMPARE(cli::openHomeDatabase(home.path(), u"test"_s, db::sqlca()), 0);
        {
            gui::w_cxsql w;
            w.findChild<QLineEdit *>(u"sle_1"_s)->setText(sqlEdit);
            w.findChild<QLineEdit *>(u"sle_2"_s)->setText(purposeEdit);
            w.findChild<QPushButton *>(u"cb_1"_s)->click();
            QCOMPARE(w.grid().rowCount(), qint64(rows));
            QCOMPARE(QString::fromUtf8(found.out), QString::fromUtf8(printed(w.grid())));
        }
        db::sqlca().disconnect();
    }

    // The same list through the command and through the window's paste and
    // save gives the same library.
    void importStoresWhatTheWindowStores() {
        TestHome viaCli;
        QVERIFY(makeHome(viaCli.path()));
        QVERIFY(writeFile(viaCli.file(u"list.txt"_s), kStatements));
        const CliResult r =
            runZorv({u"sql"_s, u"import"_s, viaCli.file(u"list.txt"_s), u"--home"_s, viaCli.path()},
                    {}, QDir::tempPath());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList fromCli = libraryOf(viaCli.path());
        QCOMPARE(fromCli.size(), qsizetype(5));

        TestHome viaWindow;
        QVERIFY(makeHome(viaWindow.path()));
        ScriptedPlatform platform;
        QCOMPARE(cli::openHomeDatabase(viaWindow.path(), u"test"_s, db::sqlca()), 0);
        {
            gui::w_drsql w;
            platform.clipboard = QString::fromUtf8(kStatements);
            w.findChild<QPushButton *>(u"cb_17"_s)->click();
            w.findChild<QPushButton *>(u"cb_2"_s)->click();
            QCOMPARE(w.grid().rowCount(), qint64(0));
        }
        db::sqlca().disconnect();
        QCOMPARE(libraryOf(viaWindow.path()), fromCli);
    }

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("withIni");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no sub-command") << QStringList{} << true << 2 << u"zorv sql: 缺少子命令"_s;
        QTest::newRow("unknown sub-command")
            << QStringList{u"drop"_s} << true << 2 << u"zorv sql: 未知的子命令"_s;
        QTest::newRow("unknown option")
            << QStringList{u"find"_s, u"--table"_s, u"t"_s} << true << 2 << u"zorv sql: "_s;
        QTest::newRow("folder without zorv.ini")
            << QStringList{u"find"_s} << false << 2 << u"zorv sql: 数据文件夹"_s;
        QTest::newRow("missing file") << QStringList{u"import"_s, u"nothing.txt"_s} << true << 2
                                      << u"zorv sql: 无法读取文件"_s;
        QTest::newRow("a refused row stores nothing")
            << QStringList{u"import"_s, u"list.txt"_s} << true << 1
            << u"保存失败: 第 2 行保存失败。"_s;
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(bool, withIni);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestHome home;
        if (withIni)
            QVERIFY(makeHome(home.path()));
        QVERIFY(writeFile(home.file(u"list.txt"_s), "a\tp\nbad\tp\n"));
        if (exitCode == 1) {
            // A first run creates the database; a trigger then refuses one row.
            QCOMPARE(runZorv({u"sql"_s, u"find"_s}, {}, home.path()).exitCode, 0);
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"arm"_s);
            db.setDatabaseName(home.file(u"zorv.mdb"_s));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"CREATE TRIGGER t BEFORE INSERT ON sqlt WHEN "
                                       "NEW.sql = 'bad' BEGIN SELECT RAISE(ABORT, 'no'); END"_s));
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(u"arm"_s);
        }
        const CliResult r = runZorv(QStringList{u"sql"_s} + args, {}, home.path());
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        if (withIni && exitCode == 1)
            QVERIFY(libraryOf(home.path()).isEmpty());
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_MAIN(TestSqlCliVsWindow)
#include "test_gui_sql_vs_window.moc"
