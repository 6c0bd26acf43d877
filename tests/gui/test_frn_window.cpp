// The file window as a user first meets it: captions, start state, the
// parameter layout of the string operations, edit masks, status-line help,
// the close guard, and the folder-creation dialog.

#include "test_frn_fixture.h"

#include "gui/app/w_main.h"
#include "gui/files/w_cjwjj.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using frntest::Fixture;

class TestFrnWindow : public QObject {
    Q_OBJECT
private slots:
    void openedFromTheMenu();
    void captions_data();
    void captions();
    void radioPairsSitInTheirFrames();
    void startState();
    void scalesToTheScreenAndGrows();
    void parameterLayout_data();
    void parameterLayout();
    void textEditMovesBackForReplacement();
    void masks_data();
    void masks();
    void focusHelp_data();
    void focusHelp();
    void focusLeavingHelpers();
    void mouseTags();
    void closeWhenIdle();
    void closeRefusedWhileLoopRuns();
    void createFolderDialog_data();
    void createFolderDialog();
    void createFolderThroughCb9();
    void createFolderCancelled();
};

void TestFrnWindow::openedFromTheMenu() {
    zorv::test::TestHome home;
    zorv::test::ScriptedPlatform sp;
    zorv::gui::w_main frame;
    frame.show();
    auto *item = frame.findChild<QAction *>(u"m_wjplcl"_s);
    auto *button = frame.findChild<QAction *>(u"tb_wjplcl"_s);
    QVERIFY(item->isEnabled() && button->isEnabled());
    button->trigger();
    QCOMPARE(frame.sheets(7).size(), 1);
    QWidget *sheet = frame.sheets(7).first();
    QCOMPARE(sheet->objectName(), u"w_frn"_s);
    QVERIFY(frame.mdi()->activeSubWindow()->isMaximized());
    // The close button closes the sheet's sub-window.
    QTest::mouseClick(sheet->findChild<QAbstractButton *>(u"cb_7"_s), Qt::LeftButton);
    QTRY_VERIFY(frame.sheets(7).isEmpty());
}

void TestFrnWindow::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const QList<std::pair<QString, QString>> rows = {
        {u"cb_1"_s, u"1、选择源文件夹"_s},
        {u"cbx_1"_s, u"累加"_s},
        {u"cbx_2"_s, u"包括子文件夹"_s},
        {u"cbx_4"_s, u"包括隐藏文件"_s},
        {u"cb_15"_s, u"1、导入文件"_s},
        {u"cb_16"_s, u"1、导入文件"_s},
        {u"cb_17"_s, u"1、粘贴导入"_s},
        {u"gb_1"_s, u"2、对应表操作"_s},
        {u"gb_2"_s, u"2、字符串操作"_s},
        {u"cb_14"_s, u"删除选中行"_s},
        {u"cb_13"_s, u"删除选中文件"_s},
        {u"cb_12"_s, u"打开资源管理器"_s},
        {u"cb_6"_s, u"复制"_s},
        {u"cb_11"_s, u"另存为"_s},
        {u"cb_8"_s, u"清空"_s},
        {u"cb_10"_s, u"导入名单筛选源文件"_s},
        {u"gb_4"_s, u"是否过滤"_s},
        {u"rb_4"_s, u"过滤"_s},
        {u"rb_3"_s, u"不过滤"_s},
        {u"st_5"_s, u"源文件名包含"_s},
        {u"st_4"_s, u"Excel文件导入列1至"_s},
        {u"cb_9"_s, u"创建文件夹"_s},
        {u"pb_1"_s, u"3、选择目标文件夹"_s},
        {u"cbx_3"_s, u"保留源文件夹子目录结构"_s},
        {u"gb_3"_s, u"操作方式"_s},
        {u"rb_6"_s, u"复制"_s},
        {u"rb_5"_s, u"移动"_s},
        {u"gb_5"_s, u"是否覆盖同名文件"_s},
        {u"rb_7"_s, u"是"_s},
        {u"rb_8"_s, u"否"_s},
        {u"cb_3"_s, u"4、执行"_s},
        {u"rb_1"_s, u"按源文件名操作"_s},
        {u"rb_2"_s, u"按目标文件名操作"_s},
        {u"cb_5"_s, u"预览"_s},
        {u"cb_4"_s, u"导入新文件名"_s},
        {u"cb_2"_s, u"导出源文件名"_s},
        {u"cb_7"_s, u"取消(&Q)"_s},
    };
    for (const auto &[name, caption] : rows)
        QTest::newRow(qPrintable(name)) << name << caption;
}

void TestFrnWindow::captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Fixture f;
    QWidget *c = f.get(name);
    if (auto *g = qobject_cast<QGroupBox *>(c))
        QCOMPARE(g->title(), caption);
    else
        QCOMPARE(c->property("text").toString(), caption);
}

void TestFrnWindow::radioPairsSitInTheirFrames() {
    Fixture f;
    const QList<std::tuple<QString, QString, QString>> pairs = {
        {u"rb_6"_s, u"rb_5"_s, u"gb_3"_s},
        {u"rb_4"_s, u"rb_3"_s, u"gb_4"_s},
        {u"rb_7"_s, u"rb_8"_s, u"gb_5"_s},
        {u"rb_1"_s, u"rb_2"_s, u"gb_2"_s},
    };
    for (const auto &[a, b, frame] : pairs) {
        QCOMPARE(f.get(a)->parentWidget()->objectName(), frame);
        QCOMPARE(f.get(b)->parentWidget()->objectName(), frame);
    }
    // Each pair is exclusive within itself only.
    f.click(u"rb_2"_s);
    f.click(u"rb_5"_s);
    f.click(u"rb_8"_s);
    QVERIFY(!f.get<QRadioButton>(u"rb_1"_s)->isChecked());
    QVERIFY(!f.get<QRadioButton>(u"rb_6"_s)->isChecked());
    QVERIFY(!f.get<QRadioButton>(u"rb_7"_s)->isChecked());
    QVERIFY(f.get<QRadioButton>(u"rb_3"_s)->isChecked());
    f.click(u"rb_1"_s);
    QVERIFY(!f.get<QRadioButton>(u"rb_2"_s)->isChecked());
    QVERIFY(f.get<QRadioButton>(u"rb_5"_s)->isChecked());
}

void TestFrnWindow::startState() {
    Fixture f;
    QCOMPARE(f.w->objectName(), u"w_frn"_s);
    QCOMPARE(f.grid().rowCount(), 0);
    for (const QString &on : {u"rb_1"_s, u"rb_6"_s, u"rb_7"_s, u"rb_3"_s})
        QVERIFY2(f.get<QRadioButton>(on)->isChecked(), qPrintable(on));
    for (const QString &off : {u"rb_2"_s, u"rb_5"_s, u"rb_8"_s, u"rb_4"_s, u"cbx_1"_s, u"cbx_2"_s,
                               u"cbx_3"_s, u"cbx_4"_s})
        QVERIFY2(!f.get<QAbstractButton>(off)->isChecked(), qPrintable(off));
    for (const QString &hidden :
         {u"st_1"_s, u"st_2"_s, u"st_3"_s, u"em_1"_s, u"em_2"_s, u"em_3"_s, u"cb_5"_s, u"lb_1"_s})
        QVERIFY2(f.get(hidden)->isHidden(), qPrintable(hidden));
    for (const QString &shown : {u"dw_1"_s, u"vpb_1"_s, u"cb_3"_s, u"ddlb_1"_s, u"sle_1"_s})
        QVERIFY2(f.get(shown)->isVisible(), qPrintable(shown));

    auto *ddlb = f.get<QComboBox>(u"ddlb_1"_s);
    QCOMPARE(ddlb->count(), 10);
    QCOMPARE(ddlb->currentText(), u".选择字符串操作方式"_s);
    QCOMPARE(ddlb->itemText(9), u"9.除去数字后加等差序号"_s);
    QCOMPARE(ddlb->itemText(6), u"6.截取连续英文字母"_s);

    auto *em4 = f.get<QSpinBox>(u"em_4"_s);
    QCOMPARE(em4->value(), 1);
    QCOMPARE(em4->minimum(), 1);
    QCOMPARE(em4->maximum(), 3);
    QCOMPARE(f.get<QProgressBar>(u"vpb_1"_s)->orientation(), Qt::Vertical);
    QCOMPARE(f.w->oldy1, f.get(u"st_3"_s)->y());
    QCOMPARE(f.w->oldy2, f.get(u"em_3"_s)->y());
    QVERIFY(f.w->canClose());
}

// On a 1024 x 768 screen everything shrinks to 80 % and the grid zooms to
// 80; a larger sheet gives its room to the grid.
void TestFrnWindow::scalesToTheScreenAndGrows() {
    zorv::test::TestHome home;
    zorv::test::ScriptedPlatform sp;
    w_frn design;
    const QRect cb1 = design.findChild<QWidget *>(u"cb_1"_s)->geometry();
    const QRect grid = design.findChild<QWidget *>(u"dw_1"_s)->geometry();
    const int oldy1 = design.oldy1;

    sp.screen = QSize(1024, 768);
    w_frn w;
    auto scaled = [](const QRect &r) {
        return QRect(qRound(r.x() * 0.8), qRound(r.y() * 0.8), qRound(r.width() * 0.8),
                     qRound(r.height() * 0.8));
    };
    QCOMPARE(w.findChild<QWidget *>(u"cb_1"_s)->geometry(), scaled(cb1));
    QCOMPARE(w.findChild<QWidget *>(u"dw_1"_s)->geometry(), scaled(grid));
    QCOMPARE(w.findChild<zorv::gui::GridView *>(u"dw_1"_s)->zoom(), 80);
    // The saved position of st_3 is the scaled one.
    QCOMPARE(w.oldy1, qRound(oldy1 * 0.8));

    w.show();
    auto *view = w.findChild<QWidget *>(u"dw_1"_s);
    QCOMPARE(view->geometry(), scaled(grid));
    auto *close = w.findChild<QWidget *>(u"cb_7"_s);
    const QRect before = view->geometry();
    const int gap = w.height() - close->geometry().bottom();
    w.resize(w.width() + 200, w.height() + 100);
    QCOMPARE(view->geometry(), before.adjusted(0, 0, 200, 100));
    QCOMPARE(w.height() - close->geometry().bottom(), gap);
    QCOMPARE(close->x(), scaled(design.findChild<QWidget *>(u"cb_7"_s)->geometry()).x() + 200);
}

void TestFrnWindow::parameterLayout_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("labels"); // st_1, st_2, st_3 of the shown ones
    QTest::addColumn<bool>("textUp");        // st_3/em_3 in the first row

    QTest::newRow("placeholder") << 0 << QStringList{} << QStringList{} << false;
    QTest::newRow("1 position") << 1 << QStringList{u"st_1"_s, u"st_2"_s, u"em_1"_s, u"em_2"_s}
                                << QStringList{u"从第几个开始截取"_s, u"字符截取总个数"_s} << false;
    QTest::newRow("2 marker") << 2 << QStringList{u"st_2"_s, u"st_3"_s, u"em_2"_s, u"em_3"_s}
                              << QStringList{u"字符截取总个数"_s, u"标致位置的字符"_s} << true;
    QTest::newRow("3 replace") << 3 << QStringList{u"st_1"_s, u"st_2"_s, u"st_3"_s,
                                                   u"em_1"_s, u"em_2"_s, u"em_3"_s}
                               << QStringList{u"从第几个开始替换"_s, u"要替换字符个数"_s,
                                              u"用来替换的字符"_s}
                               << false;
    QTest::newRow("4 lower") << 4 << QStringList{} << QStringList{} << false;
    QTest::newRow("5 upper") << 5 << QStringList{} << QStringList{} << false;
    QTest::newRow("6 letters") << 6 << QStringList{} << QStringList{} << false;
    QTest::newRow("7 extension") << 7 << QStringList{u"st_3"_s, u"em_3"_s}
                                 << QStringList{u"新文件扩展名"_s} << true;
    QTest::newRow("8 keep") << 8 << QStringList{} << QStringList{} << false;
    QTest::newRow("9 sequence") << 9 << QStringList{u"st_1"_s, u"em_1"_s}
                                << QStringList{u"等差数列的公差"_s} << false;
}

void TestFrnWindow::parameterLayout() {
    QFETCH(int, entry);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, labels);
    QFETCH(bool, textUp);
    Fixture f;
    // Coming from operation 3 shows everything first, so hiding is tested too.
    f.chooseOperation(3);
    f.chooseOperation(entry);
    for (const QString &c : {u"st_1"_s, u"st_2"_s, u"st_3"_s, u"em_1"_s, u"em_2"_s, u"em_3"_s})
        QVERIFY2(f.get(c)->isHidden() != shown.contains(c), qPrintable(c));
    QStringList shownLabels;
    for (const QString &c : shown)
        if (c.startsWith(u"st_"))
            shownLabels << f.get<QLabel>(c)->text();
    QCOMPARE(shownLabels, labels);
    QCOMPARE(f.get(u"cb_5"_s)->isHidden(), entry == 0);
    if (textUp) {
        QCOMPARE(f.get(u"st_3"_s)->y(), f.get(u"st_1"_s)->y());
        QCOMPARE(f.get(u"em_3"_s)->y(), f.get(u"em_1"_s)->y());
    }
}

void TestFrnWindow::textEditMovesBackForReplacement() {
    Fixture f;
    f.chooseOperation(7);
    QVERIFY(f.get(u"st_3"_s)->y() != f.w->oldy1);
    f.chooseOperation(3);
    QCOMPARE(f.get(u"st_3"_s)->y(), f.w->oldy1);
    QCOMPARE(f.get(u"em_3"_s)->y(), f.w->oldy2);
    // The three rows do not overlap once all are shown.
    QVERIFY(f.get(u"st_2"_s)->geometry().bottom() < f.get(u"st_3"_s)->y());
}

void TestFrnWindow::masks_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("50 is the largest") << u"em_1"_s << u"50"_s << u"50"_s;
    QTest::newRow("51 is refused") << u"em_2"_s << u"51"_s << u"5"_s;
    QTest::newRow("0 is refused") << u"em_1"_s << u"0"_s << QString();
    QTest::newRow("letters are refused") << u"em_2"_s << u"1a2"_s << u"12"_s;
    QTest::newRow("three digits are too many") << u"em_1"_s << u"123"_s << u"12"_s;
    QTest::newRow("text up to three characters") << u"em_3"_s << u"abcd"_s << u"abc"_s;
}

void TestFrnWindow::masks() {
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    Fixture f;
    f.chooseOperation(3);
    auto *e = f.get<QLineEdit>(edit);
    QTest::keyClicks(e, typed);
    QCOMPARE(e->text(), kept);

    auto *em4 = f.get<QSpinBox>(u"em_4"_s);
    em4->setValue(7);
    QCOMPARE(em4->value(), 3);
    em4->setValue(0);
    QCOMPARE(em4->value(), 1);
}

void TestFrnWindow::focusHelp_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("help");
    QTest::newRow("cbx_4") << u"cbx_4"_s << u"在点击\"选择源文件夹\"按钮前选择才有效"_s;
    QTest::newRow("cbx_1") << u"cbx_1"_s << u"在点击\"选择源文件夹\"按钮前选择在有效"_s;
    QTest::newRow("cb_10") << u"cb_10"_s
                           << u"按名单顺序在数据窗口源文件名列中查找，并保留找到的记录。"
                              u"在导入过程中按ESC键可中途退出"_s;
    QTest::newRow("sle_1") << u"sle_1"_s
                           << u"名单(用于筛选源文件)中需要加入统一的后缀名，也可在此输入后缀名，"
                              u"但不用输入."_s;
    QTest::newRow("em_4") << u"em_4"_s << u"输入的值只对导入Excel文件有效，且不能少于1,大于3"_s;
    QTest::newRow("cbx_3") << u"cbx_3"_s << u"在点击\"选择目标文件夹\"按钮前选择才有效"_s;
    QTest::newRow("cb_3") << u"cb_3"_s << u"在执行过程中按ESC键可中途退出"_s;
    QTest::newRow("rb_6") << u"rb_6"_s << u"复制文件只在源文件夹与目标文件夹不同时有效"_s;
    QTest::newRow("rb_5") << u"rb_5"_s << u"源文件夹可以和目标文件夹相同,相同时文件不移动"_s;
    QTest::newRow("rb_2") << u"rb_2"_s << u"目标文件名不为空时才能进行操作"_s;
    QTest::newRow("rb_1") << u"rb_1"_s << u"源文件名不为空时才能进行操作"_s;
}

void TestFrnWindow::focusHelp() {
    QFETCH(QString, control);
    QFETCH(QString, help);
    Fixture f;
    QApplication::setActiveWindow(f.w.get());
    QVERIFY(QTest::qWaitForWindowActive(f.w.get()));
    f.get(u"cb_8"_s)->setFocus(Qt::TabFocusReason);
    f.sp.setStatusText(QString());
    f.get(control)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(f.sp.statusText(), help);
}

void TestFrnWindow::focusLeavingHelpers() {
    Fixture f;
    QApplication::setActiveWindow(f.w.get());
    QVERIFY(QTest::qWaitForWindowActive(f.w.get()));
    // Leaving sle_1 clears its help again.
    f.get(u"sle_1"_s)->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!f.sp.statusText().isEmpty());
    f.get(u"cb_8"_s)->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(f.sp.statusText(), QString());

    // Leaving the copy/move choice enables "4、执行".
    auto *cb3 = f.get(u"cb_3"_s);
    cb3->setEnabled(false);
    f.get(u"rb_5"_s)->setFocus(Qt::TabFocusReason);
    QVERIFY(!cb3->isEnabled());
    f.get(u"cb_8"_s)->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(cb3->isEnabled());
}

void TestFrnWindow::mouseTags() {
    Fixture f;
    QTest::mouseMove(f.get(u"cbx_2"_s));
    QTRY_COMPARE(f.sp.statusText(), u"在点击\"选择源文件夹\"按钮前选择才有效"_s);
    QTest::mouseMove(f.get(u"cb_16"_s));
    QTRY_COMPARE(
        f.sp.statusText(),
        u"导入包含源文件路径及文件名信息的excel格式的文件(包含路径信息的文件名位于首列）"_s);
    QTest::mouseMove(f.get(u"cb_17"_s));
    QTRY_COMPARE(f.sp.statusText(), u"粘贴的内容与顺序与数据窗口列名要一致"_s);
    auto *view = f.get<zorv::gui::GridView>(u"dw_1"_s);
    QTest::mouseMove(view->viewport(), QPoint(40, 40));
    QTRY_COMPARE(f.sp.statusText(), u"在数据窗口中某行双击，能打开该行对应的文件。"_s);
}

void TestFrnWindow::closeWhenIdle() {
    Fixture f;
    QVERIFY(f.w->close());
    QVERIFY(f.sp.messages.isEmpty());
}

// A close request that arrives while a loop fills the grid is refused, and
// the loop finishes its work.
void TestFrnWindow::closeRefusedWhileLoopRuns() {
    Fixture f;
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names << u"f%1.txt"_s.arg(i, 2, 10, QChar(u'0'));
    const QString src = f.makeTree(u"src"_s, names);
    bool closed = true;
    QTimer::singleShot(0, f.w.get(), [&] { closed = f.w->close(); });
    f.scan(src);
    QVERIFY(!closed);
    QVERIFY(f.w->isVisible());
    QCOMPARE(f.sp.messageLines(), QStringList({u"提示 / 导入或导出操作未结束，不能关闭窗口。"_s,
                                               u"提示 / 源文件夹的相关信息已导入"_s}));
    QCOMPARE(f.grid().rowCount(), 40);
    QVERIFY(f.w->close());
}

void TestFrnWindow::createFolderDialog_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("created"); // relative to the parent, "" for none
    QTest::newRow("new") << u"新文件夹"_s << u"创建成功"_s << u"新文件夹"_s;
    QTest::newRow("blanks trimmed") << u"  trimmed \n"_s << u"创建成功"_s << u"trimmed"_s;
    QTest::newRow("exists") << u"old"_s << u"文件夹已存在"_s << QString();
    QTest::newRow("empty name is the parent") << u"  "_s << u"文件夹已存在"_s << QString();
    QTest::newRow("no nested path") << u"old/inner"_s << u"创建失败"_s << QString();
}

void TestFrnWindow::createFolderDialog() {
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QString, created);
    zorv::test::TestHome home;
    zorv::test::ScriptedPlatform sp;
    QDir().mkpath(home.file(u"old"_s));
    w_cjwjj d(home.path());
    d.show();
    QCOMPARE(d.windowTitle(), u"创建新文件夹"_s);
    QCOMPARE(d.findChild<QLabel *>(u"st_1"_s)->text(), home.path());
    QCOMPARE(d.findChild<QLabel *>(u"st_2"_s)->text(), u"路径:"_s);
    QCOMPARE(d.findChild<QLabel *>(u"st_3"_s)->text(), u"文件夹名:"_s);
    QCOMPARE(d.findChild<QAbstractButton *>(u"cb_1"_s)->text(), u"创建"_s);
    QCOMPARE(d.findChild<QAbstractButton *>(u"cb_2"_s)->text(), u"取消(&Q)"_s);

    d.findChild<QPlainTextEdit *>(u"mle_1"_s)->setPlainText(name);
    QTest::mouseClick(d.findChild<QAbstractButton *>(u"cb_1"_s), Qt::LeftButton);
    QCOMPARE(sp.messageLines(), QStringList{u"提示 / "_s + message});
    if (!created.isEmpty())
        QVERIFY(QFileInfo(home.file(created)).isDir());
    QVERIFY(!QFileInfo::exists(home.file(u"old/inner"_s)));
    // The dialog stays open until its close button.
    QVERIFY(d.isVisible());
    QTest::mouseClick(d.findChild<QAbstractButton *>(u"cb_2"_s), Qt::LeftButton);
    QVERIFY(!d.isVisible());
}

void TestFrnWindow::createFolderThroughCb9() {
    Fixture f;
    const QString parent = f.makeTree(u"parent"_s, {});
    f.sp.nextFolder(parent);
    QString shownParent;
    bool modal = false;
    QTimer::singleShot(0, f.w.get(), [&] {
        auto *d = qobject_cast<w_cjwjj *>(QApplication::activeModalWidget());
        if (!d)
            return;
        modal = d->isModal();
        shownParent = d->findChild<QLabel *>(u"st_1"_s)->text();
        d->findChild<QPlainTextEdit *>(u"mle_1"_s)->setPlainText(u"a"_s);
        QTest::mouseClick(d->findChild<QAbstractButton *>(u"cb_1"_s), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QAbstractButton *>(u"cb_1"_s), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QAbstractButton *>(u"cb_2"_s), Qt::LeftButton);
    });
    f.click(u"cb_9"_s);
    QVERIFY(modal);
    QCOMPARE(shownParent, parent);
    QCOMPARE(f.sp.dialogTitles, QStringList{u"选择文件夹（新文件夹在该文件夹下创建）"_s});
    QCOMPARE(f.sp.messageLines(), QStringList({u"提示 / 创建成功"_s, u"提示 / 文件夹已存在"_s}));
    QVERIFY(QFileInfo(parent + u"/a"_s).isDir());
    QCOMPARE(f.w->state().ls_path2, parent);
}

void TestFrnWindow::createFolderCancelled() {
    Fixture f;
    f.sp.nextFolderCancel();
    f.click(u"cb_9"_s);
    QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 目标文件夹选择被取消"_s});
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestFrnWindow)
#include "test_frn_window.moc"
