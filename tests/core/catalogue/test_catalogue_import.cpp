#include "catalogue_fixture.h"
#include "core/catalogue/catalogue_grids.h"
#include "core/catalogue/catalogue_import.h"
#include "core/catalogue/structure_reader.h"
#include "core/platform/progress.h"
#include "support/scripted_platform.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace zorv;
using namespace zorv::catalogue;
using namespace Qt::Literals::StringLiterals;
using zorv::test::addLine;
using zorv::test::CatalogueDb;
using zorv::test::ScriptedPlatform;
using zorv::test::writeFile;

class TestCatalogueImport : public QObject {
    Q_OBJECT
private slots:
    void newTableTakesItsFirstPurposeAndEmptyIsNull() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        auto grid = makeImportGrid();
        addLine(*grid, u"EMP"_s, u"ENAME"_s, u"VARCHAR2"_s, u"20"_s, u"员工"_s);
        addLine(*grid, u"EMP"_s, u"SAL"_s, u"NUMBER"_s, u"10"_s, u"工资"_s);
        addLine(*grid, u"DEPT"_s, u"DNO"_s, u"NUMBER"_s, QString(), QString());
        const SaveReport r = saveImportGrid(db.tx, *grid);
        QVERIFY(r.stored());
        QCOMPARE(r.tablesAdded, 2);
        QCOMPARE(r.columnsAdded, 3);
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(grid->rowCount(), 0);
        auto tables = makeTableGrid();
        QString error;
        QCOMPARE(queryTables(*tables, db.tx, {{}, {}, {}, u"Null"_s}, &error), 1);
        QCOMPARE(tables->getItemString(1, 1), u"DEPT"_s);
        QCOMPARE(db.count(u"SELECT count(*) FROM base0 WHERE purpose = '员工'"_s), 1);
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1 WHERE data_lengt IS NULL"_s), 1);
    }

    // Existing tables keep their purpose and existing columns their type; a
    // second import of the same list adds nothing.
    void existingRowsAreKept() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        db.addColumn(u"EMP"_s, u"旧用途"_s, u"ENAME"_s);
        for (int pass = 0; pass < 2; ++pass) {
            auto grid = makeImportGrid();
            addLine(*grid, u"EMP"_s, u"ENAME"_s, u"CHAR"_s, u"99"_s, u"新用途"_s);
            addLine(*grid, u"EMP"_s, u"JOB"_s, u"CHAR"_s, u"9"_s, u"新用途"_s);
            const SaveReport r = saveImportGrid(db.tx, *grid);
            QVERIFY(r.stored());
            QCOMPARE(r.columnsAdded, pass == 0 ? 1 : 0);
            QCOMPARE(r.tablesAdded, 0);
            QCOMPARE(grid->rowCount(), 0);
        }
        QCOMPARE(db.count(u"SELECT count(*) FROM base0 WHERE purpose = '旧用途'"_s), 1);
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), 2);
        QCOMPARE(db.count(u"SELECT data_lengt FROM bases1 WHERE column_nam = 'ENAME'"_s), 10);
    }

    // A line with an empty table, column or type stops the save there; the
    // lines before it are stored and the grid keeps every row.
    void emptyFieldStops_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("stopRow");
        QTest::newRow("table on row 1") << 1 << 1;
        QTest::newRow("column on row 2") << 2 << 2;
        QTest::newRow("type on row 3") << 3 << 3;
    }
    void emptyFieldStops() {
        QFETCH(int, field);
        QFETCH(int, stopRow);
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        auto grid = makeImportGrid();
        for (int i = 1; i <= 4; ++i)
            addLine(*grid, u"T"_s, u"C%1"_s.arg(i), u"CHAR"_s, u"1"_s, u"p"_s);
        grid->setItem(stopRow, field, QVariant(QString()));
        const SaveReport r = saveImportGrid(db.tx, *grid);
        QCOMPARE(r.result, SaveResult::EmptyField);
        QCOMPARE(r.row, stopRow);
        QCOMPARE(platform.messageLines(),
                 QStringList{u"信息提示 / 表名、字段名、字段类型不能为空!"_s});
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), stopRow - 1);
        QCOMPARE(grid->rowCount(), 4);
    }

    // A length that is no whole number from 0 to 32767 is refused before
    // anything is stored, naming its row.
    void badLengthStoresNothing_data() {
        QTest::addColumn<QString>("length");
        QTest::newRow("negative") << "-1";
        QTest::newRow("too big") << "32768";
        QTest::newRow("fraction") << "10.5";
        QTest::newRow("huge") << "1e300";
    }
    void badLengthStoresNothing() {
        QFETCH(QString, length);
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        auto grid = makeImportGrid();
        addLine(*grid, u"T"_s, u"A"_s, u"CHAR"_s, u"32767"_s, u"p"_s);
        addLine(*grid, u"T"_s, u"B"_s, u"CHAR"_s, length, u"p"_s);
        const SaveReport r = saveImportGrid(db.tx, *grid);
        QCOMPARE(r.result, SaveResult::BadLength);
        QCOMPARE(r.row, 2);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"信息提示"_s);
        QVERIFY(platform.messages[0].text.startsWith(u"第2行的字段长度"_s));
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), 0);
        QCOMPARE(db.count(u"SELECT count(*) FROM base0"_s), 0);
        QCOMPARE(grid->rowCount(), 2);
    }

    // A failed insert undoes the whole save and names the row and the database's text.
    void failedInsertStoresNothing() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        db.refuseInsert(u"bases1"_s, u"column refused"_s, u"NEW.column_nam = 'BAD'"_s);
        auto grid = makeImportGrid();
        addLine(*grid, u"T"_s, u"A"_s, u"CHAR"_s, u"1"_s, u"p"_s);
        addLine(*grid, u"U"_s, u"B"_s, u"CHAR"_s, u"1"_s, u"p"_s);
        addLine(*grid, u"U"_s, u"BAD"_s, u"CHAR"_s, u"1"_s, u"p"_s);
        const SaveReport r = saveImportGrid(db.tx, *grid);
        QCOMPARE(r.result, SaveResult::Failed);
        QCOMPARE(r.row, 3);
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"保存失败"_s);
        QVERIFY(platform.messages[0].text.contains(u"第3行"_s));
        QVERIFY(platform.messages[0].text.contains(u"出错信息:"_s));
        QVERIFY(platform.messages[0].text.contains(u"column refused"_s));
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), 0);
        QCOMPARE(db.count(u"SELECT count(*) FROM base0"_s), 0);
        QCOMPARE(grid->rowCount(), 3);
    }

    void stopUndoesTheSave() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        struct StopAtThird : ProgressSink {
            int polls = 0;
            bool stopRequested() override { return ++polls == 3; }
        } stop;
        auto grid = makeImportGrid();
        for (int i = 1; i <= 5; ++i)
            addLine(*grid, u"T"_s, u"C%1"_s.arg(i), u"CHAR"_s, u"1"_s, u"p"_s);
        QCOMPARE(saveImportGrid(db.tx, *grid, &stop).result, SaveResult::Stopped);
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), 0);
        QCOMPARE(grid->rowCount(), 5);
    }

    // Quotes and statement text in names are stored as they are.
    void valuesAreBound() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        const QString evil = u"x'); DROP TABLE base0; --"_s;
        auto grid = makeImportGrid();
        addLine(*grid, evil, evil, u"CHAR"_s, u"1"_s, evil);
        QVERIFY(saveImportGrid(db.tx, *grid).stored());
        auto tables = makeTableGrid();
        QString error;
        QCOMPARE(queryTables(*tables, db.tx, {evil, evil, evil, evil}, &error), 1);
        auto columns = makeColumnGrid();
        QCOMPARE(queryColumns(*columns, db.tx, evil, &error), 1);
        QCOMPARE(columns->getItemString(1, 1), evil);
    }

    void declaredTypes_data() {
        QTest::addColumn<QString>("declared");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("length");
        QTest::newRow("plain") << "INTEGER"
                               << "INTEGER" << -1;
        QTest::newRow("sized") << "VARCHAR(20)"
                               << "VARCHAR" << 20;
        QTest::newRow("scale") << "NUMBER( 10 , 2 )"
                               << "NUMBER" << 10;
        QTest::newRow("suffix") << "CHAR(4) NOT NULL"
                                << "CHAR NOT NULL" << 4;
        QTest::newRow("too long") << "BLOB(70000)"
                                  << "BLOB" << -1;
        QTest::newRow("empty") << ""
                               << "" << -1;
    }
    void declaredTypes() {
        QFETCH(QString, declared);
        QFETCH(QString, type);
        QFETCH(int, length);
        const DeclaredType t = splitDeclaredType(declared);
        QCOMPARE(t.type, type);
        QCOMPARE(t.length, length);
    }

    // A database's own structure fills the import list, which then saves as usual.
    void structureOfAnSqliteFile() {
        ScriptedPlatform platform;
        CatalogueDb db;
        QVERIFY(db.connected);
        const QString file = db.home.file(u"source.db"_s);
        {
            QSqlDatabase src = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"src"_s);
            src.setDatabaseName(file);
            QVERIFY(src.open());
            QSqlQuery q(src);
            QVERIFY(q.exec(u"CREATE TABLE emp (ename VARCHAR(20), sal NUMERIC(10,2), note)"_s));
            QVERIFY(q.exec(u"CREATE TABLE \"a'b\" (id INTEGER PRIMARY KEY)"_s));
            src.close();
        }
        QSqlDatabase::removeDatabase(u"src"_s);

        auto grid = makeImportGrid();
        QString error;
        QCOMPARE(readSqliteStructure(file, *grid, &error), 4);
        QCOMPARE(grid->toTsv(false), u"a'b\tid\tINTEGER\t\t\r\n"
                                     "emp\tename\tVARCHAR\t20\t\r\n"
                                     "emp\tsal\tNUMERIC\t10\t\r\n"
                                     "emp\tnote\t\t\t\r\n"_s);
        // "note" has no declared type: the save stops there, as for any empty type.
        QCOMPARE(saveImportGrid(db.tx, *grid).result, SaveResult::EmptyField);
        QCOMPARE(db.count(u"SELECT count(*) FROM bases1"_s), 3);

        QVERIFY(writeFile(db.home.file(u"text.db"_s), "not a database at all"));
        QCOMPARE(readSqliteStructure(db.home.file(u"text.db"_s), *grid, &error), -1);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readSqliteStructure(db.home.file(u"missing.db"_s), *grid, &error), -1);
        QCOMPARE(grid->rowCount(), 4);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueImport)
#include "test_catalogue_import.moc"
