// The file window's list tools, driven through its controls: the name-list
// match and the filters, row and file deletion, clearing, the imports and
// exports, and the grid's mouse handling.

#include "test_frn_fixture.h"

#include <QCheckBox>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using frntest::Fixture;
using zorv::MsgAnswer;
using zorv::test::readFile;
using zorv::test::writeFile;

namespace {

const QString kFilterQuestion =
    u"提示 / 按确定将过滤丢未找到的记录，否则将删除未找到的记录(只在数据窗口中删除)"_s;

// Writes an .xlsx whose first sheet holds rows (a Python list of lists).
bool writeSheet(const QString &path, const QString &rows) {
    const QString script = u"import xlsxwriter,sys\n"
                           u"b=xlsxwriter.Workbook(sys.argv[1]); s=b.add_worksheet()\n"
                           u"for r,row in enumerate("_s +
                           rows +
                           u"):\n"
                           u"  for c,v in enumerate(row):\n"
                           u"    if v is not None: s.write(r,c,v)\n"
                           u"b.close()\n"_s;
    return QProcess::execute(QStringLiteral(ZORV_PYTHON3), {u"-c"_s, script, path}) == 0;
}

} // namespace

class TestFrnLists : public QObject {
    Q_OBJECT
private slots:
    void listMatch_data();
    void listMatch();
    void listMatchRefusals();
    void fragmentFilter();
    void selectionByCtrlAndShift();
    void deleteRows();
    void deleteFiles();
    void deleteFilesRefusals();
    void clear();
    void pasteImport();
    void spreadsheetImports();
    void exportAndImportNames();
    void newNamesFromSheetIntoEmptyGrid();
    void saveAsAndCopy();
    void headerSorts();
    void doubleClickOpens();
    void openExplorer();
};

void TestFrnLists::listMatch_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("xh");
    QTest::addColumn<qint64>("hidden");
    // OK hides the rows not found and keeps the order; Cancel deletes them and
    // orders the rest as the list does.
    QTest::newRow("OK filters") << MsgAnswer::Ok
                                << QStringList{u"0001.jpg"_s, u"0003.jpg"_s, u"it's.jpg"_s}
                                << QStringList{u"2"_s, u"1"_s, u"3"_s} << qint64(2);
    QTest::newRow("Cancel deletes")
        << MsgAnswer::Cancel << QStringList{u"0003.jpg"_s, u"0001.jpg"_s, u"it's.jpg"_s}
        << QStringList{u"1"_s, u"2"_s, u"3"_s} << qint64(0);
}

void TestFrnLists::listMatch() {
    QFETCH(MsgAnswer, answer);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, xh);
    QFETCH(qint64, hidden);
    Fixture f;
    f.scan(f.makeTree(u"src"_s,
                      {u"0001.jpg"_s, u"0002.jpg"_s, u"0003.jpg"_s, u"it's.jpg"_s, u"x.txt"_s}));
    const QString list = f.home.file(u"list.txt"_s);
    // Names without a dot get the suffix; text after a tab is ignored.
    writeFile(list, "0003\n0001\tcomment\n\nit's\nmissing.png\n");
    f.setText(u"sle_1"_s, u" jpg "_s);
    f.sp.clearRecord();
    f.sp.nextFile(list);
    f.sp.nextAnswer(answer);
    f.click(u"cb_10"_s);

    QCOMPARE(f.sp.dialogTitles, QStringList{u"打开文件"_s});
    QCOMPARE(f.sp.messageLines(), QStringList{kFilterQuestion});
    QCOMPARE(f.sp.messages.first().buttons, zorv::MsgButtons::OkCancel);
    QCOMPARE(f.column(u"filey"_s), shown);
    QCOMPARE(f.column(u"xh"_s), xh);
    QCOMPARE(f.column(u"jg"_s), QStringList(3, u"找到"_s));
    QCOMPARE(f.grid().filteredCount(), hidden);
    QCOMPARE(f.get<QRadioButton>(u"rb_4"_s)->isChecked(), answer == MsgAnswer::Ok);

    // "不过滤" shows every remaining row again.
    f.click(u"rb_3"_s);
    QCOMPARE(f.grid().rowCount(), 3 + hidden);
    QVERIFY(!f.get<QRadioButton>(u"rb_4"_s)->isChecked());
}

void TestFrnLists::listMatchRefusals() {
    Fixture f;
    f.click(u"cb_10"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有源文件"_s});

    f.scan(f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s}));
    f.sp.clearRecord();
    f.sp.nextFileCancel();
    f.click(u"cb_10"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"信息提示 / 没有指定导入文件!"_s});

    const QString list = f.home.file(u"none.txt"_s);
    writeFile(list, "zzz.txt\n");
    f.sp.clearRecord();
    f.sp.nextFile(list);
    f.click(u"cb_10"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 没有和名单相同的源文件"_s});
    QCOMPARE(f.column(u"jg"_s), QStringList({QString(), QString()}));

    // Esc before the first name: nothing is marked, nothing is asked.
    writeFile(list, "a.txt\nb.txt\n");
    f.sp.clearRecord();
    f.sp.nextFile(list);
    f.sp.escAfterPolls = 0;
    f.click(u"cb_10"_s);
    QVERIFY(f.sp.messages.isEmpty());
    QCOMPARE(f.column(u"jg"_s), QStringList({QString(), QString()}));
    QCOMPARE(f.grid().rowCount(), 2);
}

void TestFrnLists::fragmentFilter() {
    Fixture f;
    f.click(u"rb_4"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有源文件"_s});

    f.scan(f.makeTree(u"src"_s, {u"ab1.dat"_s, u"cd2.dat"_s, u"xab.dat"_s}));
    f.setText(u"sle_1"_s, u"ab"_s);
    f.click(u"rb_4"_s);
    QCOMPARE(f.column(u"filey"_s), QStringList({u"ab1.dat"_s, u"xab.dat"_s}));
    f.click(u"rb_3"_s);
    QCOMPARE(f.grid().rowCount(), 3);

    // An empty fragment keeps only the rows a list match found.
    f.grid().setItem(2, u"jg"_s, u"找到"_s);
    f.setText(u"sle_1"_s, u"  "_s);
    f.click(u"rb_4"_s);
    QCOMPARE(f.column(u"filey"_s), QStringList{u"cd2.dat"_s});
    QCOMPARE(f.sp.statusText(), u"提示在过滤的文件名为空的情况下，就过滤丢未找到的记录"_s);
}

void TestFrnLists::selectionByCtrlAndShift() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"1.txt"_s, u"2.txt"_s, u"3.txt"_s, u"4.txt"_s}));
    // A plain click selects nothing in this grid.
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, {}, f.cellCenter(2, 3));
    QCOMPARE(f.grid().selectedCount(), 0);
    f.ctrlClickRow(1);
    f.sp.shift = true;
    QTest::mouseClick(f.view()->viewport(), Qt::LeftButton, Qt::ShiftModifier, f.cellCenter(3, 3));
    f.sp.shift = false;
    QCOMPARE(f.grid().selectedCount(), 3);
    QVERIFY(!f.grid().isSelected(4));
}

void TestFrnLists::deleteRows() {
    Fixture f;
    f.click(u"cb_14"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有导入"_s});

    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
    f.scan(src);
    f.ctrlClickRow(1);
    f.ctrlClickRow(3);
    f.click(u"cb_14"_s);
    QCOMPARE(f.column(u"filey"_s), QStringList{u"b.txt"_s});
    QCOMPARE(f.sp.statusText(), u"删除结束"_s);
    QVERIFY(!f.get(u"cb_14"_s)->font().italic());
    // Only the grid changed.
    QVERIFY(QFileInfo::exists(src + u"/a.txt"_s));
    QVERIFY(QFileInfo::exists(src + u"/c.txt"_s));
}

void TestFrnLists::deleteFiles() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});
    f.scan(src);
    f.ctrlClickRow(1);
    f.ctrlClickRow(3);
    f.sp.clearRecord();
    // Rows are visited from the bottom: c.txt is asked first.
    f.sp.nextAnswer(MsgAnswer::Ok);
    f.sp.nextAnswer(MsgAnswer::Cancel);
    f.click(u"cb_13"_s);
    const QString ask = u"提示 / 按确定将删除文件，而且不能从回收站还原文件（"_s;
    QCOMPARE(f.sp.messageLines(),
             QStringList({ask + src + u"/c.txt。）"_s, ask + src + u"/a.txt。）"_s}));
    QCOMPARE(f.sp.messages.first().icon, zorv::MsgIcon::Question);
    QVERIFY(!QFileInfo::exists(src + u"/c.txt"_s));
    QVERIFY(QFileInfo::exists(src + u"/a.txt"_s));
    QCOMPARE(f.column(u"filey"_s), QStringList({u"a.txt"_s, u"b.txt"_s}));
}

void TestFrnLists::deleteFilesRefusals() {
    Fixture f;
    f.click(u"cb_13"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有源文件"_s});

    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s});
    f.scan(src);
    f.sp.clearRecord();
    f.click(u"cb_13"_s);
    QCOMPARE(f.sp.messageLines(),
             QStringList{u"没有选择要删除的文件 / 请按住Ctrl键或Shift键后，用鼠标左键选择"_s});

    QFile::remove(src + u"/b.txt"_s);
    f.ctrlClickRow(2);
    f.sp.clearRecord();
    f.click(u"cb_13"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 不存在文件"_s + src + u"/b.txt"_s});
    QCOMPARE(f.grid().rowCount(), 2);
}

void TestFrnLists::clear() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"a.txt"_s}));
    f.setText(u"sle_1"_s, u"abc"_s);
    QVERIFY(f.get<QProgressBar>(u"vpb_1"_s)->value() > 0);
    f.click(u"cb_8"_s);
    QCOMPARE(f.grid().rowCount(), 0);
    QCOMPARE(f.get<QLineEdit>(u"sle_1"_s)->text(), QString());
    QCOMPARE(f.get<QProgressBar>(u"vpb_1"_s)->value(), 0);
}

void TestFrnLists::pasteImport() {
    Fixture f;
    f.click(u"cb_17"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 剪贴板中没有内容或不能粘贴"_s});

    f.sp.clipboard = u"1\t/x/\ta.txt\tA.TXT\n2\t/x/\tb.txt\n"_s;
    f.click(u"cb_17"_s);
    QCOMPARE(f.column(u"filey"_s), QStringList({u"a.txt"_s, u"b.txt"_s}));
    QCOMPARE(f.column(u"filen"_s), QStringList({u"A.TXT"_s, QString()}));
    f.click(u"cb_17"_s);
    QCOMPARE(f.grid().rowCount(), 2);
    f.get<QCheckBox>(u"cbx_1"_s)->setChecked(true);
    f.click(u"cb_17"_s);
    QCOMPARE(f.grid().rowCount(), 4);
}

void TestFrnLists::spreadsheetImports() {
    Fixture f;
    const QString saved = f.home.file(u"saved.xlsx"_s);
    QVERIFY(writeSheet(saved, u"[[7,'/a/','x.txt','y.txt','/b/','成功','']," // first row
                              u"[8,'/a/','z.txt',None,None,None,None],"
                              u"[9,None,'after.txt'],[10,'/a/','never.txt']]"_s));
    f.sp.nextFile(saved);
    bool closed = true;
    QTimer::singleShot(0, f.w.get(), [&] { closed = f.w->close(); });
    f.click(u"cb_15"_s);
    QVERIFY(!closed);
    QCOMPARE(f.sp.dialogTitles, QStringList{u"选择文件"_s});
    QCOMPARE(f.sp.messageLines(), QStringList({u"提示 / 导入或导出操作未结束，不能关闭窗口。"_s,
                                               u"信息提示 / 共导入行数：2"_s}));
    QCOMPARE(f.column(u"xh"_s), QStringList({u"7"_s, u"8"_s}));
    QCOMPARE(f.column(u"filen"_s), QStringList({u"y.txt"_s, QString()}));
    QCOMPARE(f.column(u"jg"_s), QStringList({u"成功"_s, QString()}));
    QVERIFY(f.w->canClose());

    const QString paths = f.home.file(u"paths.xlsx"_s);
    QVERIFY(writeSheet(paths, u"[[' /data/in/a b.txt '],['/top.txt'],[None],['/never.txt']]"_s));
    f.get<QCheckBox>(u"cbx_1"_s)->setChecked(true);
    f.sp.clearRecord();
    f.sp.nextFile(paths);
    f.click(u"cb_16"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"信息提示 / 共导入行数：2"_s});
    QCOMPARE(f.column(u"ypath"_s), QStringList({u"/a/"_s, u"/a/"_s, u"/data/in/"_s, u"/"_s}));
    QCOMPARE(f.column(u"filey"_s),
             QStringList({u"x.txt"_s, u"z.txt"_s, u"a b.txt"_s, u"top.txt"_s}));

    f.sp.clearRecord();
    f.sp.nextFileCancel();
    f.click(u"cb_16"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"信息提示 / 没有指定导入文件!"_s});
    QCOMPARE(f.grid().rowCount(), 4);
}

void TestFrnLists::exportAndImportNames() {
    Fixture f;
    f.click(u"cb_2"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有源文件"_s});

    f.scan(f.makeTree(u"src"_s, {u"a.txt"_s, u"中文.txt"_s}));
    const QString out = f.home.file(u"names.txt"_s);
    f.sp.clearRecord();
    f.sp.nextFile(out);
    f.click(u"cb_2"_s);
    QCOMPARE(readFile(out), u"a.txt\n中文.txt\n"_s.toUtf8());
    QVERIFY(f.sp.messages.isEmpty());

    f.get(u"cb_3"_s)->setEnabled(false);
    writeFile(out, "new-a.txt\tignored\n");
    f.sp.nextFile(out);
    f.click(u"cb_4"_s);
    QCOMPARE(f.sp.dialogTitles.last(), u"打开文件"_s);
    QCOMPARE(f.column(u"filen"_s), QStringList({u"new-a.txt"_s, QString()}));
    QVERIFY(f.get(u"cb_3"_s)->isEnabled());
}

// With an empty grid the row total comes from sle_1 and the sheet's first
// em_4 columns are joined into each new name.
void TestFrnLists::newNamesFromSheetIntoEmptyGrid() {
    Fixture f;
    f.click(u"cb_4"_s);
    QCOMPARE(
        f.sp.messageLines(),
        QStringList{
            u"提示 / 还没有源文件。如想用于合并Excel文件的列，请在“源文件名包含”后输入总行数"_s});

    const QString book = f.home.file(u"cols.xlsx"_s);
    QVERIFY(writeSheet(book, u"[['a',' b ','c'],['d',None,'f'],['g','h','i']]"_s));
    f.setText(u"sle_1"_s, u"2"_s);
    f.get<QSpinBox>(u"em_4"_s)->setValue(2);
    f.sp.clearRecord();
    f.sp.nextFile(book);
    f.click(u"cb_4"_s);
    QCOMPARE(f.column(u"filen"_s), QStringList({u"ab"_s, u"d"_s}));
}

void TestFrnLists::saveAsAndCopy() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"a.txt"_s}));
    f.click(u"cb_6"_s);
    QVERIFY(f.sp.clipboard.startsWith(u"序号\t源文件路径\t源文件名\t目标文件名"_s));
    QVERIFY(f.sp.clipboard.contains(u"\ta.txt\t"_s));

    const QString out = f.home.file(u"grid.csv"_s);
    f.sp.nextFile(out, u"CSV文件(*.csv)"_s);
    f.click(u"cb_11"_s);
    QCOMPARE(f.sp.dialogTitles.last(), u"另存为"_s);
    QVERIFY(readFile(out).contains("a.txt"));
    QVERIFY(readFile(out).contains(','));
}

void TestFrnLists::headerSorts() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"b.txt"_s, u"a.txt"_s, u"c.txt"_s}));
    // The first header click sorts descending, the next ascending.
    f.clickHeader(3);
    QCOMPARE(f.column(u"filey"_s), QStringList({u"c.txt"_s, u"b.txt"_s, u"a.txt"_s}));
    f.clickHeader(3);
    QCOMPARE(f.column(u"filey"_s), QStringList({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
}

void TestFrnLists::doubleClickOpens() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s});
    f.scan(src);
    f.sp.clearRecord();
    QTest::mouseDClick(f.view()->viewport(), Qt::LeftButton, {}, f.cellCenter(2, 3));
    QCOMPARE(f.sp.shellOpened, QStringList{src + u"/b.txt"_s});
    QVERIFY(f.sp.messages.isEmpty());

    // Below the last row there is nothing to open.
    QTest::mouseDClick(f.view()->viewport(), Qt::LeftButton, {},
                       QPoint(20, f.view()->viewport()->height() - 5));
    QCOMPARE(f.sp.messageLines(),
             QStringList{u"提示 / 数据窗口为空的情况下，不能通过双击打开源文件"_s});
}

void TestFrnLists::openExplorer() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s});
    const QString dst = f.makeTree(u"dst"_s, {});
    f.scan(src);
    f.click(u"cb_12"_s);
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    f.click(u"cb_12"_s);
    // The listed source folder, not the target chosen since.
    QCOMPARE(f.sp.foldersOpened, QStringList({src, src}));
}

QTEST_MAIN(TestFrnLists)
#include "test_frn_lists.moc"
