// The merge window w_hbbl and the split window w_cfal, offscreen, driven by
// objectName with a scripted clipboard and file dialogs.
#include "core/grid/grid.h"
#include "gui/app/uo_button.h"
#include "gui/lists/w_cfal.h"
#include "gui/lists/w_hbbl.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;

namespace {

template <typename T = QWidget> T *get(QWidget &w, const QString &name) {
    T *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

void click(QWidget &w, const QString &name) {
    get<QPushButton>(w, name)->click();
}

QStringList rowsOf(const Grid &grid) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r)
        out << grid.getItemString(r, 1) + u"|"_s + grid.getItemString(r, 2);
    return out;
}

QString textOf(QWidget *c) {
    if (auto *l = qobject_cast<QLabel *>(c))
        return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(c))
        return b->text();
    if (auto *g = qobject_cast<QGroupBox *>(c))
        return g->title();
    if (auto *e = qobject_cast<QLineEdit *>(c))
        return e->text();
    return {};
}

} // namespace

class TestListsColumnsWindow : public QObject {
    Q_OBJECT
private slots:
    void captions_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char *, QString>> common{
            {"cb_1", u"1、导入文件"_s}, {"cb_17", u"1、粘贴导入"_s}, {"st_7", u"分隔符："_s},
            {"cb_8", u"清空"_s},        {"cb_3", u"重复过滤"_s},     {"cb_4", u"取消过滤"_s},
            {"cb_2", u"另存为"_s},      {"cb_6", u"复制"_s},         {"cb_7", u"取消(&Q)"_s}};
        for (bool split : {false, true})
            for (const auto &[name, text] : common)
                QTest::newRow(
                    QByteArray(QByteArray(split ? "w_cfal " : "w_hbbl ") + name).constData())
                    << split << QString::fromLatin1(name) << text;
        QTest::newRow("w_hbbl cb_11") << false << u"cb_11"_s << u"2、合    并"_s;
        QTest::newRow("w_hbbl sle_1") << false << u"sle_1"_s << u"；"_s;
        QTest::newRow("w_cfal cb_11") << true << u"cb_11"_s << u"2、转    换"_s;
        QTest::newRow("w_cfal sle_1") << true << u"sle_1"_s << u","_s;
        QTest::newRow("w_cfal st_1") << true << u"st_1"_s << u"数据窗口一"_s;
        QTest::newRow("w_cfal st_2") << true << u"st_2"_s << u"数据窗口二"_s;
        QTest::newRow("w_cfal gb_1") << true << u"gb_1"_s << u"选择"_s;
        QTest::newRow("w_cfal rb_1") << true << u"rb_1"_s << u"数据窗口一"_s;
        QTest::newRow("w_cfal rb_2") << true << u"rb_2"_s << u"数据窗口二"_s;
    }
    void captions() {
        QFETCH(bool, split);
        QFETCH(QString, name);
        QFETCH(QString, text);
        test::ScriptedPlatform p;
        std::unique_ptr<QWidget> w(split ? static_cast<QWidget *>(new w_cfal)
                                         : static_cast<QWidget *>(new w_hbbl));
        QCOMPARE(textOf(get(*w, name)), text);
        QCOMPARE(w->windowTitle(), split ? u"A列复合字段转单一字段"_s : u"合并B列（A列相同时）"_s);
        QCOMPARE(get<gui::uo_button>(*w, u"cb_1"_s)->tag(), u"导入excel格式的文件"_s);
        QCOMPARE(get<gui::uo_button>(*w, u"cb_17"_s)->tag(),
                 u"粘贴的内容与顺序与数据窗口列名要一致"_s);
    }

    void mergeRoundTrip() {
        test::ScriptedPlatform p;
        w_hbbl w;
        w.show();
        QCOMPARE(w.grid()->columns()[0].caption, u"A列"_s);
        QCOMPARE(w.grid()->columns()[1].caption, u"B列"_s);
        click(w, u"cb_17"_s);
        QCOMPARE(p.messageLines(), QStringList{u"提示 / 剪贴板中没有内容或不能粘贴"_s});
        p.clearRecord();
        p.clipboard = u"x\t1\ny\t2\nx\t3\n"_s;
        click(w, u"cb_17"_s);
        QVERIFY(p.messages.isEmpty());
        QCOMPARE(w.grid()->summaryText(), u"总数3"_s);
        click(w, u"cb_11"_s);
        QCOMPARE(p.messageLines(), QStringList{u" / 合并结束"_s});
        QCOMPARE(rowsOf(*w.grid()), (QStringList{u"x|1；3"_s, u"x|1；3"_s, u"y|2"_s}));
        click(w, u"cb_3"_s);
        QCOMPARE(rowsOf(*w.grid()), (QStringList{u"x|1；3"_s, u"y|2"_s}));
        click(w, u"cb_6"_s);
        QCOMPARE(p.clipboard, u"x\t1；3\r\ny\t2\r\n"_s);
        click(w, u"cb_4"_s);
        QCOMPARE(w.grid()->rowCount(), qint64(3));
        click(w, u"cb_8"_s);
        QCOMPARE(w.grid()->rowCount(), qint64(0));
        // Merging an empty table only says it is done.
        p.clearRecord();
        click(w, u"cb_11"_s);
        QCOMPARE(p.messageLines(), QStringList{u" / 合并结束"_s});
    }

    // The spreadsheet import reads the whole sheet from row 1; a saved copy
    // of the grid comes back with its header row as a row.
    void importAndSave() {
        test::TestHome home;
        test::ScriptedPlatform p;
        w_hbbl w;
        p.clipboard = u"k\tv\n"_s;
        click(w, u"cb_17"_s);
        const QString xlsx = home.file(u"表.xlsx"_s);
        p.nextFile(xlsx);
        click(w, u"cb_2"_s);
        QVERIFY(QFile::exists(xlsx));
        p.nextFileCancel();
        click(w, u"cb_1"_s);
        p.nextFile(xlsx);
        click(w, u"cb_1"_s);
        QCOMPARE(p.messageLines(),
                 (QStringList{u"提示 / 文件选择失败!"_s, u"信息提示 / 导入完成!"_s}));
        QCOMPARE(p.dialogTitles.value(1), u"选择文件"_s);
        QCOMPARE(rowsOf(*w.grid()), (QStringList{u"k|v"_s, u"A列|B列"_s, u"k|v"_s}));
    }

    void splitWithTheRadioChoice() {
        test::ScriptedPlatform p;
        w_cfal w;
        w.show();
        QVERIFY(get<QRadioButton>(w, u"rb_2"_s)->isChecked());
        // Nothing to convert: the second grid keeps what it has.
        click(w, u"cb_11"_s);
        p.clipboard = u"a,b,,c\tx\n,a,\t y \n"_s;
        click(w, u"cb_17"_s);
        click(w, u"cb_11"_s);
        QVERIFY(p.messages.isEmpty());
        const QStringList converted{u"a|x"_s, u"b|x"_s, u"c|x"_s, u"a|y"_s};
        QCOMPARE(rowsOf(*w.target()), converted);
        QCOMPARE(w.source()->rowCount(), qint64(2));

        // The duplicate filter and copy act on the chosen grid.
        click(w, u"cb_3"_s);
        QCOMPARE(rowsOf(*w.target()), (QStringList{u"a|x"_s, u"b|x"_s, u"c|x"_s}));
        click(w, u"cb_6"_s);
        QCOMPARE(p.clipboard, u"a\tx\r\nb\tx\r\nc\tx\r\n"_s);
        get<QRadioButton>(w, u"rb_1"_s)->setChecked(true);
        click(w, u"cb_6"_s);
        QCOMPARE(p.clipboard, u"a,b,,c\tx\r\n,a,\t y \r\n"_s);
        get<QRadioButton>(w, u"rb_2"_s)->setChecked(true);
        click(w, u"cb_4"_s);
        QCOMPARE(w.target()->rowCount(), qint64(4));

        // "清空" empties the first grid only; a new conversion starts afresh.
        click(w, u"cb_8"_s);
        QCOMPARE(w.source()->rowCount(), qint64(0));
        QCOMPARE(w.target()->rowCount(), qint64(4));
        p.clipboard = u"p；q;r\tz\n"_s;
        click(w, u"cb_17"_s);
        get<QLineEdit>(w, u"sle_1"_s)->setText(u" ； "_s);
        click(w, u"cb_11"_s);
        QCOMPARE(rowsOf(*w.target()), (QStringList{u"p|z"_s, u"q;r|z"_s}));
    }
};

QTEST_MAIN(TestListsColumnsWindow)
#include "test_lists_columns_window.moc"
