// The file window's main road, driven through its controls: list a folder
// tree, compute new names, choose a target folder and execute, stop with Esc.

#include "test_frn_fixture.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using frntest::Fixture;
using zorv::test::readFile;

namespace {

// A tree with hidden files and folders at two depths.
const QStringList kTree = {u"a.txt"_s,       u"b.txt"_s,          u".h.txt"_s,    u"sub/c.txt"_s,
                           u"sub/.hs.txt"_s, u"sub/deep/d.txt"_s, u".hid/e.txt"_s};

} // namespace

class TestFrnFlows : public QObject {
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void scanAccumulates();
    void scanCancelled();
    void compute_data();
    void compute();
    void sequenceNumbers_data();
    void sequenceNumbers();
    void chainOnTargetNames();
    void computeWithoutRows();
    void renameInPlace();
    void copyKeepingTree();
    void escStopsRun();
    void inputIgnoredWhileRunning();
    void filteredRun();
};

void TestFrnFlows::scan_data() {
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("zml");
    // Sub-folders, written "[name]", sort before lower-case names.
    QTest::newRow("flat") << false << false << QStringList{u"a.txt"_s, u"b.txt"_s}
                          << QStringList{QString(), QString()};
    QTest::newRow("flat hidden") << false << true
                                 << QStringList{u".h.txt"_s, u"a.txt"_s, u"b.txt"_s}
                                 << QStringList{QString(), QString(), QString()};
    QTest::newRow("recursive") << true << false
                               << QStringList{u"d.txt"_s, u"c.txt"_s, u"a.txt"_s, u"b.txt"_s}
                               << QStringList{u"sub/deep/"_s, u"sub/"_s, QString(), QString()};
    QTest::newRow("recursive hidden")
        << true << true << QStringList{u".h.txt"_s, u"e.txt"_s, u".hs.txt"_s, u"d.txt"_s,
                                       u"c.txt"_s,  u"a.txt"_s, u"b.txt"_s}
        << QStringList{QString(), u".hid/"_s, u"sub/"_s, u"sub/deep/"_s,
                       u"sub/"_s, QString(),  QString()};
}

void TestFrnFlows::scan() {
    QFETCH(bool, recursive);
    QFETCH(bool, hidden);
    QFETCH(QStringList, names);
    QFETCH(QStringList, zml);
    Fixture f;
    const QString src = f.makeTree(u"src"_s, kTree);
    f.get<QCheckBox>(u"cbx_2"_s)->setChecked(recursive);
    f.get<QCheckBox>(u"cbx_4"_s)->setChecked(hidden);
    f.scan(src);

    QCOMPARE(f.sp.dialogTitles, QStringList{u"选择欲批量更名的源文件所在文件夹"_s});
    // Without hidden files the message names the ones left out: ".h.txt",
    // and "sub/.hs.txt" when recursive.
    QString done = u"提示 / 源文件夹的相关信息已导入"_s;
    if (!hidden)
        done +=
            u"\n另有%1个只读或隐藏文件未列出，勾选“包括隐藏文件”可列出"_s.arg(recursive ? 2 : 1);
    QCOMPARE(f.sp.messageLines(), QStringList{done});
    QCOMPARE(f.column(u"filey"_s), names);
    QCOMPARE(f.column(u"zml"_s), zml);
    for (qint64 r = 1; r <= f.grid().rowCount(); ++r) {
        QCOMPARE(f.grid().getItemNumber(r, u"xh"_s), double(r));
        QCOMPARE(f.grid().getItemString(r, u"ypath"_s), src + u'/' + zml.at(r - 1));
    }
    QCOMPARE(f.w->state().ls_path1, src);
    // The preview button stays hidden while no operation is chosen.
    QVERIFY(f.get(u"cb_5"_s)->isHidden());
}

void TestFrnFlows::scanAccumulates() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s});
    f.chooseOperation(4);
    f.scan(src);
    f.scan(src);
    QCOMPARE(f.grid().rowCount(), 2);
    f.get<QCheckBox>(u"cbx_1"_s)->setChecked(true);
    f.scan(src);
    QCOMPARE(f.column(u"filey"_s), QStringList({u"a.txt"_s, u"b.txt"_s, u"a.txt"_s, u"b.txt"_s}));
    QCOMPARE(f.column(u"xh"_s), QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QVERIFY(!f.get(u"cb_5"_s)->isHidden());
}

void TestFrnFlows::scanCancelled() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s});
    f.scan(src);
    f.sp.clearRecord();
    f.sp.nextFolderCancel();
    f.click(u"cb_1"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 文件夹选择被取消"_s});
    QCOMPARE(f.grid().rowCount(), 1);
}

void TestFrnFlows::compute_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("em1");
    QTest::addColumn<QString>("em2");
    QTest::addColumn<QString>("em3");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1 chinese") << 1 << u"3"_s << u"4"_s << QString() << u"中文名.txt"_s
                               << u"文名"_s;
    QTest::newRow("2 after marker")
        << 2 << QString() << u"4"_s << u"_"_s << u"IMG_0001.jpg"_s << u"0001"_s;
    QTest::newRow("3 replace") << 3 << u"2"_s << u"3"_s << u"X"_s << u"abcdef.txt"_s
                               << u"aXef.txt"_s;
    QTest::newRow("5 upper") << 5 << QString() << QString() << QString() << u"abc.txt"_s
                             << u"ABC.TXT"_s;
    QTest::newRow("6 digit before dot")
        << 6 << QString() << QString() << QString() << u"photo_2020.jpg"_s << u".jpg"_s;
    QTest::newRow("7 first dot") << 7 << QString() << QString() << u"doc"_s << u"a.b.txt"_s
                                 << u"a.doc"_s;
}

void TestFrnFlows::compute() {
    QFETCH(int, op);
    QFETCH(QString, em1);
    QFETCH(QString, em2);
    QFETCH(QString, em3);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {name}));
    f.get(u"cb_3"_s)->setEnabled(false);
    f.chooseOperation(op);
    f.setText(u"em_1"_s, em1);
    f.setText(u"em_2"_s, em2);
    f.setText(u"em_3"_s, em3);
    f.click(u"cb_5"_s);
    QCOMPARE(f.column(u"filen"_s), QStringList{expected});
    QVERIFY(f.get(u"cb_3"_s)->isEnabled());
    auto *bar = f.get<QProgressBar>(u"vpb_1"_s);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestFrnFlows::sequenceNumbers_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("prefixes");
    QStringList fives, empty;
    for (int i = 0; i < 12; ++i) {
        fives << u"%1"_s.arg(1 + 5 * i, 2, 10, QChar(u'0'));
        empty << u"1"_s;
    }
    QTest::newRow("step 5") << u"5"_s << fives;
    QTest::newRow("no step") << QString() << empty;
}

void TestFrnFlows::sequenceNumbers() {
    QFETCH(QString, step);
    QFETCH(QStringList, prefixes);
    Fixture f;
    QStringList names{u"123abc.txt"_s};
    for (int i = 1; i < 12; ++i)
        names << u"n%1.txt"_s.arg(i, 2, 10, QChar(u'0'));
    f.scan(f.makeTree(u"src"_s, names));
    f.chooseOperation(9);
    f.setText(u"em_1"_s, step);
    f.click(u"cb_5"_s);
    const QStringList filen = f.column(u"filen"_s);
    QCOMPARE(filen.size(), 12);
    QCOMPARE(filen.first(), prefixes.first() + u"abc.txt"_s);
    for (int i = 1; i < 12; ++i)
        QCOMPARE(filen.at(i), prefixes.at(i) + names.at(i));
}

void TestFrnFlows::chainOnTargetNames() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"abc.txt"_s, u"def.txt"_s}));
    f.chooseOperation(8);
    f.click(u"cb_5"_s);
    f.grid().setItem(2, u"filen"_s, QString());
    f.click(u"rb_2"_s);
    f.chooseOperation(5);
    f.click(u"cb_5"_s);
    // The target names are worked on; a row without one leaves the grid.
    QCOMPARE(f.column(u"filen"_s), QStringList{u"ABC.TXT"_s});
    QCOMPARE(f.column(u"filey"_s), QStringList{u"abc.txt"_s});
}

void TestFrnFlows::computeWithoutRows() {
    Fixture f;
    f.chooseOperation(4);
    f.click(u"cb_5"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 还没有源文件"_s});
}

void TestFrnFlows::renameInPlace() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a1.txt"_s, u"a2.txt"_s, u"b.txt"_s, u"b.bak"_s});
    f.scan(src);
    f.chooseOperation(7);
    f.setText(u"em_3"_s, u"bak"_s);
    f.click(u"cb_5"_s);
    f.sp.nextFolder(src);
    f.click(u"pb_1"_s);
    QCOMPARE(f.sp.dialogTitles.last(),
             u"选择欲放置更名后的文件所在的目标文件夹\r\n（目标文件夹允许和源文件夹相同）"_s);
    f.click(u"rb_5"_s);
    f.sp.clearRecord();
    f.click(u"cb_3"_s);

    QCOMPARE(f.column(u"filey"_s), QStringList({u"a1.txt"_s, u"a2.txt"_s, u"b.bak"_s, u"b.txt"_s}));
    // b.bak keeps its name and b.txt would replace it: both refused.
    QCOMPARE(f.column(u"jg"_s), QStringList({u"成功"_s, u"成功"_s, u"无效"_s, u"无效"_s}));
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 操作完成\n成功 2，无效 2"_s});
    QCOMPARE(readFile(src + u"/a1.bak"_s), QByteArray("a1.txt"));
    QCOMPARE(readFile(src + u"/a2.bak"_s), QByteArray("a2.txt"));
    QCOMPARE(readFile(src + u"/b.bak"_s), QByteArray("b.bak"));
    QVERIFY(QFileInfo::exists(src + u"/b.txt"_s));
    QVERIFY(!QFileInfo::exists(src + u"/a1.txt"_s));
    QVERIFY(f.get(u"cb_3"_s)->isEnabled());
    QVERIFY(f.sp.statusHistory.contains(u"正在执行：1"_s));
    // The run is over: the status line no longer says it is running.
    QCOMPARE(f.sp.statusText(), QString());
}

void TestFrnFlows::copyKeepingTree() {
    Fixture f;
    const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"sub/c.txt"_s, u"sub/deep/d.txt"_s});
    const QString dst = f.makeTree(u"dst"_s, {u"a.txt"_s});
    f.get<QCheckBox>(u"cbx_2"_s)->setChecked(true);
    f.scan(src);
    f.chooseOperation(5);
    f.click(u"cb_5"_s);
    f.get<QCheckBox>(u"cbx_3"_s)->setChecked(true);
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    QCOMPARE(f.column(u"npath"_s),
             QStringList({dst + u"/sub/deep/"_s, dst + u"/sub/"_s, dst + u'/'}));
    f.click(u"rb_8"_s); // do not overwrite
    f.click(u"cb_3"_s);

    QCOMPARE(f.column(u"jg"_s), QStringList({u"成功"_s, u"成功"_s, u"成功"_s}));
    QCOMPARE(readFile(dst + u"/sub/deep/D.TXT"_s), QByteArray("sub/deep/d.txt"));
    QCOMPARE(readFile(dst + u"/sub/C.TXT"_s), QByteArray("sub/c.txt"));
    QCOMPARE(readFile(dst + u"/A.TXT"_s), QByteArray("a.txt"));
    QVERIFY(QFileInfo::exists(src + u"/sub/deep/d.txt"_s));

    // A second run meets the copies: overwriting is off, so nothing is done.
    f.sp.clearRecord();
    f.click(u"cb_3"_s);
    QCOMPARE(f.column(u"jg"_s), QStringList({u"取消"_s, u"取消"_s, u"取消"_s}));
}

void TestFrnFlows::escStopsRun() {
    Fixture f;
    QStringList names;
    for (int i = 1; i <= 5; ++i)
        names << u"f%1.txt"_s.arg(i);
    f.scan(f.makeTree(u"src"_s, names));
    const QString dst = f.makeTree(u"dst"_s, {});
    f.chooseOperation(8);
    f.click(u"cb_5"_s);
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    // A first run copies every file; the second is stopped after two rows
    // and must not leave the first run's "成功" on the rows it never reached.
    f.click(u"cb_3"_s);
    QCOMPARE(f.column(u"jg"_s), QStringList(5, u"成功"_s));
    QVERIFY(QFile::remove(dst + u"/f3.txt"_s));
    f.sp.clearRecord();
    f.sp.escAfterPolls = 2;
    f.click(u"cb_3"_s);

    QCOMPARE(f.column(u"jg"_s),
             QStringList({u"成功"_s, u"成功"_s, QString(), QString(), QString()}));
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 执行已停止\n已执行 2 行：成功 2"_s});
    QCOMPARE(f.sp.statusText(), QString());
    QVERIFY(QFileInfo::exists(dst + u"/f2.txt"_s));
    QVERIFY(!QFileInfo::exists(dst + u"/f3.txt"_s));
    // A run that was stopped leaves "4、执行" disabled until a new target.
    QVERIFY(!f.get(u"cb_3"_s)->isEnabled());
    f.sp.escAfterPolls = -1;
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    QVERIFY(f.get(u"cb_3"_s)->isEnabled());
    // A new target, like a new preview, drops the results of the old one.
    QCOMPARE(f.column(u"jg"_s), QStringList(5, QString()));
    f.click(u"cb_3"_s);
    QCOMPARE(f.column(u"jg"_s), QStringList(5, u"成功"_s));
    f.click(u"cb_5"_s);
    QCOMPARE(f.column(u"jg"_s), QStringList(5, QString()));
}

// Clicks that arrive while a run works on the grid are dropped: "清空", a
// header and a second "4、执行" change nothing.
void TestFrnFlows::inputIgnoredWhileRunning() {
    Fixture f;
    QStringList names;
    for (int i = 1; i <= 30; ++i)
        names << u"f%1.txt"_s.arg(i, 2, 10, QChar(u'0'));
    f.scan(f.makeTree(u"src"_s, names));
    const QString dst = f.makeTree(u"dst"_s, {});
    f.chooseOperation(8);
    f.click(u"cb_5"_s);
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    f.sp.clearRecord();
    bool fired = false;
    bool busy = false;
    QTimer::singleShot(0, f.w.get(), [&] {
        fired = true;
        busy = !f.w->canClose();
        f.click(u"cb_8"_s);
        f.clickHeader(3);
        f.click(u"cb_3"_s);
    });
    f.click(u"cb_3"_s);
    QVERIFY(fired);
    QVERIFY(busy);
    QCOMPARE(f.grid().rowCount(), 30);
    QCOMPARE(f.column(u"filey"_s), names);
    QCOMPARE(f.column(u"jg"_s).count(u"成功"_s), 30);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 操作完成\n成功 30"_s});
    // Afterwards the window takes clicks again.
    f.click(u"cb_8"_s);
    QCOMPARE(f.grid().rowCount(), 0);
}

void TestFrnFlows::filteredRun() {
    Fixture f;
    f.scan(f.makeTree(u"src"_s, {u"x1.dat"_s, u"y1.dat"_s, u"x2.dat"_s}));
    const QString dst = f.makeTree(u"dst"_s, {});
    f.chooseOperation(8);
    f.click(u"cb_5"_s);
    f.sp.nextFolder(dst);
    f.click(u"pb_1"_s);
    f.setText(u"sle_1"_s, u"x"_s);
    f.click(u"rb_4"_s);
    QCOMPARE(f.grid().rowCount(), 2);
    f.click(u"cb_3"_s);
    // Only the shown rows were run; afterwards every row is shown again.
    QCOMPARE(f.grid().rowCount(), 3);
    for (qint64 r = 1; r <= 3; ++r) {
        const bool shown = f.grid().getItemString(r, u"filey"_s).startsWith(u'x');
        QCOMPARE(f.grid().getItemString(r, u"jg"_s), shown ? u"成功"_s : QString());
    }
    QVERIFY(QFileInfo::exists(dst + u"/x2.dat"_s));
    QVERIFY(!QFileInfo::exists(dst + u"/y1.dat"_s));
    QVERIFY(f.get<QRadioButton>(u"rb_3"_s)->isChecked());
}

QTEST_MAIN(TestFrnFlows)
#include "test_frn_flows.moc"
