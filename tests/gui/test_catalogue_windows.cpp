#include "core/app/globals.h"
#include "core/db/statements.h"
#include "core/grid/grid.h"
#include "gui/catalogue/w_base0.h"
#include "gui/catalogue/w_dcbase.h"
#include "gui/catalogue/w_drbase.h"
#include "gui/catalogue/w_ed.h"
#include "gui/grid/grid_view.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"
#include "support/test_database.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace zorv;
using namespace Qt::Literals::StringLiterals;
using zorv::gui::GridView;
using zorv::test::ScriptedPlatform;
using zorv::test::TestHome;

namespace {

// The test database the shared transaction is connected to, until cleanup().
std::unique_ptr<test::TestDatabase> &sharedDatabase() {
    static std::unique_ptr<test::TestDatabase> database;
    return database;
}

void connectShared(const TestHome &home) {
    sharedDatabase() = std::make_unique<test::TestDatabase>(home);
    ZORV_VERIFY_DATABASE(*sharedDatabase());
    QVERIFY2(sharedDatabase()->connect(db::sqlca()) == 0, qPrintable(db::sqlca().sqlerrtext()));
}

void addColumn(const QString &table, const QString &purpose, const QString &column) {
    if (db::countTable(db::sqlca(), table) == 0)
        QCOMPARE(db::insertTable(db::sqlca(), table, purpose), 0);
    QCOMPARE(db::insertColumn(db::sqlca(), table, column, u"VARCHAR2"_s, 10), 0);
}

template <typename T = QPushButton> T *child(QWidget &w, const QString &name) {
    T *c = w.findChild<T *>(name);
    if (!c)
        qWarning("no control %s", qPrintable(name));
    return c;
}

void clickRow(GridView *view, qint64 row, Qt::MouseButton button = Qt::LeftButton) {
    const QRect r = view->visualRect(view->model()->index(int(row - 1), 0));
    QTest::mouseClick(view->viewport(), button, Qt::NoModifier, r.center());
}

qint64 count(const QString &sql) {
    const auto row = db::sqlca().selectRow(sql);
    return row ? row->value(0).toLongLong() : -1;
}

} // namespace

class TestCatalogueWindows : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        db::sqlca().disconnect();
        sharedDatabase().reset();
        app::globals().lTablen.clear();
    }

    void browserControls() {
        ScriptedPlatform platform;
        w_base0 w;
        QCOMPARE(w.windowTitle(), u"oracle表查询（可生成SQL语句）"_s);
        const QList<std::pair<QString, QString>> captions = {
            {u"st_5"_s, u"表名左匹配："_s}, {u"st_1"_s, u"表名全匹配："_s},
            {u"st_2"_s, u"表中字段名："_s}, {u"st_3"_s, u"表用途："_s},
            {u"st_4"_s, u"选择表"_s},       {u"st_6"_s, u"选择字段"_s},
            {u"st_7"_s, u"输入条件"_s},     {u"st_8"_s, u"表的用途"_s}};
        for (const auto &[name, text] : captions)
            QCOMPARE(child<QLabel>(w, name)->text(), text);
        const QList<std::pair<QString, QString>> buttons = {
            {u"cb_1"_s, u"查询"_s},      {u"cb_3"_s, u"like"_s},    {u"cb_4"_s, u"="_s},
            {u"cb_5"_s, u">="_s},        {u"cb_6"_s, u"<="_s},      {u"cb_7"_s, u"and"_s},
            {u"cb_8"_s, u"or"_s},        {u"cb_2"_s, u"生成SQL"_s}, {u"cb_10"_s, u"保存SQL"_s},
            {u"cb_11"_s, u"取消(&Q)"_s}, {u"cb_9"_s, u"取消(&Q)"_s}};
        for (const auto &[name, text] : buttons)
            QCOMPARE(child(w, name)->text(), text);
        for (const QString &name : {u"sle_1"_s, u"sle_2"_s, u"sle_3"_s, u"sle_4"_s})
            QVERIFY(child<QLineEdit>(w, name));
        for (const QString &name : {u"mle_1"_s, u"mle_2"_s})
            QVERIFY(child<QPlainTextEdit>(w, name));
        for (const QString &name : {u"dw_1"_s, u"dw_2"_s, u"dw_3"_s})
            QVERIFY(child<GridView>(w, name));
    }

    // On a 1024 x 768 screen the browser shrinks to 80 %; its grids keep their zoom.
    void browserScalesWithoutZoomingGrids() {
        ScriptedPlatform platform;
        platform.screen = QSize(1024, 768);
        w_base0 w;
        auto *dw_3 = child<GridView>(w, u"dw_3"_s);
        QCOMPARE(dw_3->geometry(), QRect(336, 58, 304, 448));
        QCOMPARE(dw_3->zoom(), 100);
    }

    // Query, table focus, operators, right click, selection and generation.
    void buildingAStatement() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        addColumn(u"EMP"_s, u"员工"_s, u"SAL"_s);
        addColumn(u"EMP"_s, u"员工"_s, u"ENAME"_s);
        addColumn(u"EMP"_s, u"员工"_s, u"JOB"_s);
        addColumn(u"EMPX"_s, u"其他"_s, u"X"_s);
        addColumn(u"DEMO"_s, u"演示"_s, u"ID"_s);

        w_base0 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        child<QLineEdit>(w, u"sle_1"_s)->setText(u" EM "_s);
        child(w, u"cb_1"_s)->click();
        QCOMPARE(w.tableGrid()->rowCount(), 2);
        QCOMPARE(w.tableGrid()->summaryText(), u"总数:2"_s);
        QCOMPARE(child<QLabel>(w, u"st_8"_s)->text(), u"该表的用途：员工"_s);
        QCOMPARE(app::globals().lTablen, u"员工"_s);
        QCOMPARE(w.columnGrid()->rowCount(), 3);
        QCOMPARE(w.columnGrid()->getItemString(1, 1), u"ENAME"_s);

        auto *dw_3 = child<GridView>(w, u"dw_3"_s);
        auto *mle_2 = child<QPlainTextEdit>(w, u"mle_2"_s);
        mle_2->setPlainText(u"SAL"_s);
        child(w, u"cb_4"_s)->click();
        clickRow(dw_3, 2, Qt::RightButton); // JOB
        child(w, u"cb_7"_s)->click();
        QCOMPARE(mle_2->toPlainText(), u"SAL =  JOB  and "_s);
        QCOMPARE(w.columnGrid()->selectedCount(), 0);

        clickRow(dw_3, 3); // SAL
        platform.ctrl = true;
        clickRow(dw_3, 1); // ENAME
        platform.ctrl = false;
        mle_2->setPlainText(u"SAL > 1"_s);
        child(w, u"cb_2"_s)->click();
        const QString expected = u"select ENAME,SAL from EMP where SAL > 1 ;"_s;
        QCOMPARE(child<QPlainTextEdit>(w, u"mle_1"_s)->toPlainText(), expected);
        QCOMPARE(platform.clipboard, expected);
        // "保存SQL" hands the statement to the library's entry window.
        child(w, u"cb_10"_s)->click();
        QWidget *entry = w.findChild<QWidget *>(u"w_ssql"_s);
        QVERIFY(entry);
        QCOMPARE(child<QPlainTextEdit>(*entry, u"mle_1"_s)->toPlainText(), expected);
        entry->close();

        // Shift selects the range from the anchor: every column means "*".
        platform.shift = true;
        clickRow(dw_3, 3);
        platform.shift = false;
        mle_2->clear();
        child(w, u"cb_2"_s)->click();
        QCOMPARE(platform.clipboard, u"select * from EMP ;"_s);

        // Another table in focus lists its columns only.
        clickRow(child<GridView>(w, u"dw_2"_s), 2);
        QCOMPARE(child<QLabel>(w, u"st_8"_s)->text(), u"该表的用途：其他"_s);
        QCOMPARE(w.columnGrid()->rowCount(), 1);
        // No column selected means every column too.
        QCOMPARE(w.columnGrid()->selectedCount(), 0);
        child(w, u"cb_2"_s)->click();
        QCOMPARE(platform.clipboard, u"select * from EMPX ;"_s);
        QVERIFY(platform.messages.isEmpty());
    }

    // With no table listed, "生成SQL" says so and leaves statement and clipboard alone.
    void generateWithoutTable() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        platform.clipboard = u"keep"_s;
        // A table without column rows is never listed.
        QCOMPARE(db::insertTable(db::sqlca(), u"BARE"_s, u"无字段"_s), 0);
        w_base0 w;
        child(w, u"cb_1"_s)->click();
        QCOMPARE(w.tableGrid()->rowCount(), 0);
        child(w, u"cb_2"_s)->click();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"提示"_s);
        QCOMPARE(platform.clipboard, u"keep"_s);
        QVERIFY(child<QPlainTextEdit>(w, u"mle_1"_s)->toPlainText().isEmpty());
    }

    void purposeWindow() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        addColumn(u"EMP"_s, u"员工"_s, u"SAL"_s);
        w_base0 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        child(w, u"cb_1"_s)->click();
        auto *dw_2 = child<GridView>(w, u"dw_2"_s);
        const QRect r = dw_2->visualRect(dw_2->model()->index(0, 0));
        QTest::mouseDClick(dw_2->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        auto *ed = w.findChild<w_ed *>(u"w_ed"_s);
        QVERIFY(ed);
        QCOMPARE(ed->windowTitle(), u"oracle表用途修改"_s);
        QCOMPARE(child<QLabel>(*ed, u"st_1"_s)->text(), u"EMP"_s);
        auto *mle_1 = child<QPlainTextEdit>(*ed, u"mle_1"_s);
        QCOMPARE(mle_1->toPlainText(), u"员工"_s);
        mle_1->setPlainText(u" 雇员 "_s + QString(60, u'x'));
        QCOMPARE(mle_1->toPlainText().size(), 50);
        mle_1->setPlainText(u" 雇员 "_s);
        child(*ed, u"cb_1"_s)->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QCOMPARE(count(u"SELECT count(*) FROM base0 WHERE purpose = '雇员'"_s), 1);
        ed->close();
    }

    // A failed update shows the database's text, and a table that left the
    // catalogue is not reported as saved.
    void purposeWindowFailures() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        addColumn(u"EMP"_s, u"员工"_s, u"SAL"_s);
        {
            w_ed gone(u"NOSUCH"_s);
            child(gone, u"cb_1"_s)->click();
            QCOMPARE(platform.messages.size(), 1);
            QCOMPARE(platform.messages[0].title, u"保存失败"_s);
            QVERIFY(platform.messages[0].text.contains(u"NOSUCH"_s));
        }
        platform.clearRecord();
        QCOMPARE(db::sqlca().execute(u"DROP TABLE base0"_s), 0);
        w_ed broken(u"EMP"_s);
        child(broken, u"cb_1"_s)->click();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"保存失败"_s);
        QVERIFY(platform.messages[0].text.startsWith(u"出错信息:"_s));
        QVERIFY(platform.messages[0].text.contains(u"base0"_s));
    }

    void importWindow() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        w_drbase w;
        QCOMPARE(w.windowTitle(), u"从excel文件中导入oracle表信息"_s);
        QCOMPARE(child(w, u"cb_17"_s)->text(), u"粘贴导入"_s);
        QCOMPARE(child(w, u"cb_17"_s)->property("tag").toString(),
                 u"粘贴的内容与顺序与数据窗口列名要一致"_s);
        QCOMPARE(child(w, u"cb_1"_s)->text(), u"文件导入"_s);
        QCOMPARE(child(w, u"cb_3"_s)->text(), u"取消(&Q)"_s);
        QCOMPARE(child<QLabel>(w, u"st_1"_s)->text(), u"正在导入......"_s);
        auto *cb_2 = child(w, u"cb_2"_s);
        auto *hpb_1 = child<QProgressBar>(w, u"hpb_1"_s);
        QCOMPARE(cb_2->text(), u"保存"_s);
        QVERIFY(!cb_2->isEnabled());
        QVERIFY(hpb_1->isHidden());

        platform.clipboard = u"EMP\tENAME\tVARCHAR2\t20\t员工\nEMP\tSAL\tNUMBER\t10\t工资\n"
                             "DEPT\tDNO\tNUMBER\t2\t\n"_s;
        child(w, u"cb_17"_s)->click();
        QCOMPARE(w.grid()->rowCount(), 3);
        QVERIFY(cb_2->isEnabled());
        cb_2->click();
        QVERIFY(!hpb_1->isHidden());
        QCOMPARE(w.grid()->rowCount(), 0);
        QVERIFY(!cb_2->isEnabled());
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(count(u"SELECT count(*) FROM base0 WHERE purpose = '员工'"_s), 1);
        QCOMPARE(count(u"SELECT count(*) FROM base0 WHERE purpose = 'Null'"_s), 1);
        QCOMPARE(count(u"SELECT count(*) FROM bases1"_s), 3);

        // A second import of the same list adds nothing.
        child(w, u"cb_17"_s)->click();
        cb_2->click();
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(w.grid()->rowCount(), 0);
        QCOMPARE(count(u"SELECT count(*) FROM bases1"_s), 3);
        QCOMPARE(count(u"SELECT count(*) FROM base0"_s), 2);

        // A refused insert: nothing of the save stays, the message names the
        // row and the database's text, and the window stays loaded.
        for (const QString &sql :
             sharedDatabase()->refusal(u"refuse_bases1"_s, u"INSERT"_s, u"bases1"_s,
                                       u"column refused"_s, u"NEW.column_nam = 'BAD'"_s))
            QCOMPARE(db::sqlca().execute(sql), 0);
        QCOMPARE(db::sqlca().commit(), 0);
        platform.clipboard = u"NEW\tA\tCHAR\t1\tp\nNEW\tBAD\tCHAR\t1\tp\n"_s;
        child(w, u"cb_17"_s)->click();
        cb_2->click();
        QCOMPARE(platform.messages.size(), 1);
        QCOMPARE(platform.messages[0].title, u"保存失败"_s);
        QVERIFY(platform.messages[0].text.contains(u"第2行"_s));
        QVERIFY(platform.messages[0].text.contains(u"出错信息:"_s));
        QVERIFY(platform.messages[0].text.contains(u"column refused"_s));
        QVERIFY(cb_2->isEnabled());
        QCOMPARE(w.grid()->rowCount(), 2);
        QCOMPARE(count(u"SELECT count(*) FROM bases1"_s), 3);
        QCOMPARE(count(u"SELECT count(*) FROM base0 WHERE table_name = 'NEW'"_s), 0);
        QCOMPARE(
            db::sqlca().execute(sharedDatabase()->liftRefusal(u"refuse_bases1"_s, u"bases1"_s)), 0);
        QCOMPARE(db::sqlca().commit(), 0);
        platform.clearRecord();
        w.grid()->reset(); // the next step starts from an empty list

        // A bad length keeps the window loaded and stores nothing.
        platform.clipboard = u"T\tA\tCHAR\t40000\tp\n"_s;
        child(w, u"cb_17"_s)->click();
        cb_2->click();
        QCOMPARE(platform.messageLines(),
                 QStringList{u"信息提示 / 第1行的字段长度“40000”不是0到32767之间的整数，"
                             "没有保存任何行。"_s});
        QVERIFY(cb_2->isEnabled());
        QCOMPARE(w.grid()->rowCount(), 1);
        QCOMPARE(count(u"SELECT count(*) FROM bases1"_s), 3);
    }

    void importWindowReadsADatabase() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        const QString file = home.file(u"shop.db"_s);
        {
            QSqlDatabase src = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"shop"_s);
            src.setDatabaseName(file);
            QVERIFY(src.open());
            QSqlQuery q(src);
            QVERIFY(q.exec(u"CREATE TABLE item (code CHAR(8), price NUMERIC(9,2))"_s));
            src.close();
        }
        QSqlDatabase::removeDatabase(u"shop"_s);
        w_drbase w;
        auto *cb_4 = child(w, u"cb_4"_s);
        QCOMPARE(cb_4->text(), u"从数据库读取表结构"_s);
        platform.nextFile(file);
        cb_4->click();
        QCOMPARE(platform.dialogTitles, QStringList{u"选择SQLite数据库文件"_s});
        QCOMPARE(w.grid()->toTsv(false),
                 u"item\tcode\tCHAR\t8\t\r\nitem\tprice\tNUMERIC\t9\t\r\n"_s);
        QVERIFY(child(w, u"cb_2"_s)->isEnabled());
        child(w, u"cb_2"_s)->click();
        QCOMPARE(count(u"SELECT count(*) FROM bases1 WHERE table_name = 'item'"_s), 2);
        QCOMPARE(count(u"SELECT count(*) FROM base0 WHERE purpose = 'Null'"_s), 1);

        platform.nextFile(home.file(u"zorv.ini"_s));
        cb_4->click();
        QCOMPARE(platform.messages.last().title, u"提示"_s);
        QCOMPARE(w.grid()->rowCount(), 0);
    }

    void exportWindow() {
        ScriptedPlatform platform;
        TestHome home;
        connectShared(home);
        addColumn(u"EMP"_s, u"员工"_s, u"ENAME"_s);
        addColumn(u"EMP"_s, u"员工"_s, u"SAL"_s);
        addColumn(u"DEMO"_s, u"演示"_s, u"ID"_s);
        QCOMPARE(db::insertTable(db::sqlca(), u"BARE"_s, u"无字段"_s), 0);
        w_dcbase w;
        QCOMPARE(w.windowTitle(), u"导出保存的oracle表结构信息"_s);
        QCOMPARE(child(w, u"cb_3"_s)->text(), u"另存为"_s);
        child(w, u"cb_1"_s)->click();
        QCOMPARE(w.grid()->rowCount(), 3);
        QCOMPARE(w.grid()->summaryText(), u"总数:3"_s);
        child<QLineEdit>(w, u"sle_1"_s)->setText(u"EM"_s);
        child(w, u"cb_1"_s)->click();
        QCOMPARE(w.grid()->rowCount(), 2);

        const QString out = home.file(u"out.txt"_s);
        platform.nextFile(out);
        child(w, u"cb_3"_s)->click();
        const QString saved = QString::fromUtf8(zorv::test::readFile(out));
        QVERIFY(saved.contains(u"表名\t列名\t数据类型\t数据长度\t用途"_s));
        QVERIFY(saved.contains(u"EMP\tSAL\tVARCHAR2\t10\t员工"_s));
    }
};

QTEST_MAIN(TestCatalogueWindows)
#include "test_catalogue_windows.moc"
