// The catalogue windows (offscreen, driven by objectName) against "zorv
// catalogue" on the same data folder: the same catalogue after an import, the
// same export list, column list and SELECT text.
#include "cli_harness.h"
#include "core/app/data_home.h"
#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "gui/catalogue/w_base0.h"
#include "gui/catalogue/w_dcbase.h"
#include "gui/catalogue/w_drbase.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using namespace zorv::test;

namespace {

const QString kList = u"表名\t字段名\t字段类型\t字段长度\t表用途\n"
                      "EMP\tSAL\tNUMBER\t10\t员工\n"
                      "EMP\tENAME\tVARCHAR2\t20\t员工表\n"
                      "DEMO\tID\tNUMBER\t4\t\n"
                      "EMP_X\tJOB\tCHAR\t9\t其他\n"
                      "EMPAX\tNOTE\tCHAR\t1\t另一个\n"_s;

// Points the data source at the data folder's database, as a start there does.
void registerHome(const QString &home) {
    config::RegistryStore store;
    config::regodbc(store, u"zorv"_s, QDir(home).filePath(u"zorv.mdb"_s),
                    config::odbcDriverFolder());
}

// The command on the data folder home.
CliResult runOn(const QString &home, const QStringList &args) {
    registerHome(home);
    return runZorv(QStringList{u"catalogue"_s} + args + QStringList{u"--home"_s, home}, {}, home);
}

// The shared transaction on the data folder's database.
void connectShared(const QString &home) {
    registerHome(home);
    db::sqlca().disconnect();
    db::sqlca().setDbParm(u"ConnectString='DSN=zorv;UID=;PWD='"_s);
    db::sqlca().setAutoCommit(true);
    QCOMPARE(db::sqlca().connect(), 0);
}

// A grid as the command writes it: a header of column names, then the rows.
QStringList lines(const Grid &grid) {
    QStringList names;
    for (const Column &c : grid.columns())
        names << c.name;
    QStringList out{names.join(u'\t')};
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.columnCount(); ++c)
            cells << grid.getItemString(r, c);
        out << cells.join(u'\t');
    }
    return out;
}

QStringList outLines(const CliResult &r) {
    return QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
}

template <typename T = QPushButton> T *get(QWidget &w, const QString &name) {
    return w.findChild<T *>(name);
}

} // namespace

class TestGuiCatalogueVsCli : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { db::sqlca().disconnect(); }

    void sameCatalogueSameAnswers() {
        ScriptedPlatform platform;
        TestHome home;
        const QString byCommand = home.file(u"command"_s), byWindow = home.file(u"window"_s);
        QString error;
        QVERIFY(app::prepareDataHome(byCommand, &error));
        QVERIFY(app::prepareDataHome(byWindow, &error));
        QVERIFY(writeFile(home.file(u"list.txt"_s), kList.toUtf8()));

        // The same list stored by the command and by the import window.
        const CliResult imported = runOn(byCommand, {u"import"_s, home.file(u"list.txt"_s)});
        QCOMPARE(imported.exitCode, 0);
        connectShared(byWindow);
        {
            w_drbase w;
            platform.clipboard = kList;
            get(w, u"cb_17"_s)->click();
            get(w, u"cb_2"_s)->click();
            QCOMPARE(w.grid()->rowCount(), 0);
        }
        db::sqlca().disconnect();
        const CliResult a = runOn(byCommand, {u"export"_s});
        const CliResult b = runOn(byWindow, {u"export"_s});
        QCOMPARE(a.exitCode, 0);
        QCOMPARE(outLines(a), outLines(b));
        QCOMPARE(outLines(a).size(), 6);

        // The export window and the command with the same four filters.
        connectShared(byCommand);
        w_dcbase dc;
        get<QLineEdit>(dc, u"sle_1"_s)->setText(u"EM"_s);
        get<QLineEdit>(dc, u"sle_4"_s)->setText(u"员工"_s);
        get(dc, u"cb_1"_s)->click();
        const CliResult exported =
            runOn(byCommand, {u"export"_s, u"--left"_s, u"EM"_s, u"--purpose"_s, u"员工"_s});
        QCOMPARE(outLines(exported), lines(*dc.grid()));
        QCOMPARE(dc.grid()->rowCount(), 2);

        // The browser's columns and statement for EMP_X.
        w_base0 browser;
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        get<QLineEdit>(browser, u"sle_1"_s)->setText(u"EMP_"_s);
        get(browser, u"cb_1"_s)->click();
        // "_" is a wildcard of the left match: EMPAX is listed too, first in
        // character order; a click takes the browser to EMP_X.
        QCOMPARE(browser.tableGrid()->rowCount(), 2);
        QCOMPARE(browser.tableGrid()->getItemString(1, 1), u"EMPAX"_s);
        QCOMPARE(browser.tableGrid()->getItemString(2, 1), u"EMP_X"_s);
        {
            auto *dw_2 = browser.findChild<zorv::gui::GridView *>(u"dw_2"_s);
            QVERIFY(dw_2);
            const QRect r = dw_2->visualRect(dw_2->model()->index(1, 0));
            QTest::mouseClick(dw_2->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        }
        QCOMPARE(browser.tableGrid()->getRow(), 2);
        const CliResult columns = runOn(byCommand, {u"columns"_s, u"EMP_X"_s});
        QCOMPARE(outLines(columns), lines(*browser.columnGrid()));
        QCOMPARE(outLines(columns).size(), 2);

        get<QPlainTextEdit>(browser, u"mle_2"_s)->setPlainText(u"JOB = 'A'"_s);
        get(browser, u"cb_2"_s)->click();
        const CliResult select = runOn(byCommand, {u"select"_s, u"EMP_X"_s, u"--columns"_s,
                                                   u"JOB"_s, u"--where"_s, u"JOB = 'A'"_s});
        QCOMPARE(select.exitCode, 0);
        QCOMPARE(QString::fromUtf8(select.out), QString(platform.clipboard + u'\n'));
        QCOMPARE(platform.clipboard, u"select * from EMP_X where JOB = 'A' ;"_s);
    }

    void selectKeepsGridOrderAndRefusesUnknownColumns() {
        TestHome home;
        QString error;
        QVERIFY(app::prepareDataHome(home.path(), &error));
        QVERIFY(writeFile(home.file(u"list.txt"_s), kList.toUtf8()));
        QCOMPARE(runZorv({u"catalogue"_s, u"import"_s, u"list.txt"_s}, {}, home.path()).exitCode,
                 0);
        CliResult r =
            runZorv({u"catalogue"_s, u"select"_s, u"EMP"_s, u"--columns"_s, u"SAL,ENAME"_s}, {},
                    home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, "select * from EMP ;\n");
        r = runZorv({u"catalogue"_s, u"select"_s, u"EMP"_s, u"--columns"_s, u"SAL"_s}, {},
                    home.path());
        QCOMPARE(r.out, "select SAL from EMP ;\n");
        r = runZorv({u"catalogue"_s, u"select"_s, u"EMP"_s, u"--columns"_s, u"NOPE"_s}, {},
                    home.path());
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        r = runZorv({u"catalogue"_s, u"select"_s, u"NOPE"_s}, {}, home.path());
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.messages().size(), 1);
        // A second import of the same list adds nothing.
        r = runZorv({u"catalogue"_s, u"import"_s, u"list.txt"_s}, {}, home.path());
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.contains(u"新增表 0 个、字段 0 个"_s));
        // A bad length stores nothing and says which line.
        QVERIFY(writeFile(home.file(u"bad.txt"_s), "NEW\tA\tCHAR\t1\tp\nNEW\tB\tCHAR\t99999\tp\n"));
        r = runZorv({u"catalogue"_s, u"import"_s, u"bad.txt"_s}, {}, home.path());
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(u"第2行"_s));
        r = runZorv({u"catalogue"_s, u"columns"_s, u"NEW"_s}, {}, home.path());
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, "column_nam\tdata_type\tdata_lengt\n");
    }
};

QTEST_MAIN(TestGuiCatalogueVsCli)
#include "test_gui_catalogue_vs_cli.moc"
