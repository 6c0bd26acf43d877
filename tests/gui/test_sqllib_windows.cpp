// The SQL library windows driven by their controls' names: browser,
// maintenance, entry, save and import windows, the menu items that open
// them and the statement colouring.
#include "core/grid/grid.h"
#include "core/sqllib/library_fixture.h"
#include "gui/app/w_main.h"
#include "gui/grid/grid_view.h"
#include "gui/sqllib/sql_highlighter.h"
#include "gui/sqllib/w_cxsql.h"
#include "gui/sqllib/w_drsql.h"
#include "gui/sqllib/w_isql.h"
#include "gui/sqllib/w_ssql.h"
#include "gui/sqllib/w_upsql.h"
#include "support/scripted_platform.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace zorv;
using namespace zorv::gui;
using namespace Qt::StringLiterals;
using zorv::test::LibraryDb;
using zorv::test::ScriptedPlatform;

namespace {

template <typename T = QWidget> T *child(QWidget &w, const char *name) {
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qWarning("no control %s", name);
    return c;
}

QPushButton *button(QWidget &w, const char *name) {
    return child<QPushButton>(w, name);
}
QPlainTextEdit *mle(QWidget &w, const char *name) {
    return child<QPlainTextEdit>(w, name);
}

// The format the highlighter gave the character at pos of doc.
QTextCharFormat formatAt(QTextDocument &doc, int pos) {
    const QTextBlock block = doc.findBlock(pos);
    for (const QTextLayout::FormatRange &r : block.layout()->formats())
        if (pos - block.position() >= r.start && pos - block.position() < r.start + r.length)
            return r.format;
    return {};
}

} // namespace

class TestSqllibWindows : public QObject {
    Q_OBJECT
private slots:
    void browserQueriesAndOpensTheCurrentEntry() {
        LibraryDb lib;
        QVERIFY(lib.add(u"select 1 from a"_s, u"乙"_s, 1));
        QVERIFY(lib.add(u"select 2 from a"_s, u"甲"_s, 2));
        QVERIFY(lib.add(u"select 3 from b"_s, u"丙"_s, 3));
        ScriptedPlatform platform;
        w_cxsql w;
        QCOMPARE(w.windowTitle(), u"查询保存的SQL语句"_s);
        QCOMPARE(child<QLabel>(w, "st_1")->text(), u"Sql语句:"_s);
        QCOMPARE(child<QLabel>(w, "st_2")->text(), u"用途:"_s);
        QCOMPARE(button(w, "cb_1")->text(), u"查询"_s);
        QCOMPARE(button(w, "cb_3")->text(), u"另存为"_s);
        QCOMPARE(button(w, "cb_2")->text(), u"取消(&Q)"_s);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *view = child<GridView>(w, "dw_1");
        QVERIFY(view->isColumnHidden(2)); // bh is read, not shown

        // Double-clicking an empty grid opens nothing.
        emit view->doubleClicked(0, QString());
        QVERIFY(!w.findChild<w_upsql *>());

        child<QLineEdit>(w, "sle_1")->setText(u" from a "_s);
        child<QLineEdit>(w, "sle_1")->setFocus();
        QTRY_COMPARE(platform.statusText(), u"Logon   successful"_s);
        button(w, "cb_1")->click();
        QCOMPARE(w.grid().rowCount(), qint64(2));
        // Ordered by purpose: 乙 (U+4E59) before 甲 (U+7532).
        QCOMPARE(w.grid().getItemString(1, u"sql"_s), u"select 1 from a"_s);
        QCOMPARE(w.grid().getItemString(2, u"purpose"_s), u"甲"_s);

        w.grid().setRow(2);
        emit view->doubleClicked(0, u"sql_t"_s); // on the header: the current row counts
        auto *up = w.findChild<w_upsql *>();
        QVERIFY(up);
        QCOMPARE(up->number(), qint64(2));
        QCOMPARE(mle(*up, "mle_1")->toPlainText(), u"select 2 from a"_s);
        QCOMPARE(mle(*up, "mle_2")->toPlainText(), u"甲"_s);
        QVERIFY(up->isModal());
        up->close();

        // Empty edits list every entry that has a text and a purpose; "%"
        // and "_" typed in an edit act as wildcards.
        QVERIFY(lib.add(QVariant(), u"丁"_s, 4));
        QVERIFY(lib.add(u"select 5 from a"_s, QVariant(), 5));
        QVERIFY(lib.add(u"sel_ct 6 from c"_s, u"戊"_s, 6));
        auto listed = [&] {
            QStringList out;
            for (qint64 r = 1; r <= w.grid().rowCount(); ++r)
                out << w.grid().getItemString(r, u"sql"_s);
            out.sort();
            return out;
        };
        child<QLineEdit>(w, "sle_1")->clear();
        child<QLineEdit>(w, "sle_2")->setText(u"  "_s);
        button(w, "cb_1")->click();
        QCOMPARE(listed(), (QStringList{u"sel_ct 6 from c"_s, u"select 1 from a"_s,
                                        u"select 2 from a"_s, u"select 3 from b"_s}));
        child<QLineEdit>(w, "sle_1")->setText(u"from%c"_s);
        button(w, "cb_1")->click();
        QCOMPARE(listed(), QStringList{u"sel_ct 6 from c"_s});
        child<QLineEdit>(w, "sle_1")->setText(u"select _ from _"_s);
        button(w, "cb_1")->click();
        QCOMPARE(listed(),
                 (QStringList{u"select 1 from a"_s, u"select 2 from a"_s, u"select 3 from b"_s}));
        child<QLineEdit>(w, "sle_1")->setText(u"sel_ct"_s);
        child<QLineEdit>(w, "sle_2")->setText(u"戊"_s);
        button(w, "cb_1")->click();
        QCOMPARE(listed(), QStringList{u"sel_ct 6 from c"_s});
        QVERIFY(platform.messages.isEmpty());
    }

    void maintenanceCopiesChangesAndDeletes() {
        LibraryDb lib;
        QVERIFY(lib.add(u"select 1"_s, u"p"_s, 5));
        ScriptedPlatform platform;
        w_upsql w(5);
        QCOMPARE(w.windowTitle(), u"SQL语句维护与应用"_s);
        QCOMPARE(button(w, "cb_4")->text(), u"复制SQL"_s);
        QCOMPARE(button(w, "cb_3")->text(), u"删除"_s);
        QCOMPARE(button(w, "cb_1")->text(), u"修改"_s);

        mle(w, "mle_1")->setPlainText(u"select 2  "_s);
        button(w, "cb_4")->click();
        QCOMPARE(platform.clipboard, u"select 2  "_s); // as shown, unsaved edits included

        platform.nextAnswer(MsgAnswer::Cancel);
        button(w, "cb_3")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 真的要删除数据吗？"_s});
        QVERIFY(platform.messages.first().buttons == MsgButtons::OkCancel);
        QCOMPARE(lib.entries().size(), qsizetype(1));

        platform.clearRecord();
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QCOMPARE(lib.entries(), QStringList{u"5:select 2:p"_s});

        platform.clearRecord();
        platform.nextAnswer(MsgAnswer::Ok);
        button(w, "cb_3")->click();
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 真的要删除数据吗？"_s, u"提示 / 删除数据成功!"_s}));
        QVERIFY(lib.entries().isEmpty());
        QCOMPARE(mle(w, "mle_1")->toPlainText(), u"select 2  "_s); // the window keeps its texts

        // "修改" after the delete: nothing is stored, and the window says so.
        platform.clearRecord();
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(),
                 QStringList{u"提示 / 这条SQL语句已不存在（可能已被删除），没有保存任何内容"_s});
        QVERIFY(lib.entries().isEmpty());

        // A database that refuses: the failure and its text, never success.
        QVERIFY(lib.add(u"select 1"_s, u"p"_s, 5));
        QVERIFY(lib.refuse(u"UPDATE"_s));
        QVERIFY(lib.refuse(u"DELETE"_s));
        platform.clearRecord();
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"保存失败 / 出错信息:refused by test"_s});
        platform.clearRecord();
        platform.nextAnswer(MsgAnswer::Ok);
        button(w, "cb_3")->click();
        QCOMPARE(platform.messageLines(), (QStringList{u"提示 / 真的要删除数据吗？"_s,
                                                       u"删除失败 / 出错信息:refused by test"_s}));
        QCOMPARE(lib.entries(), QStringList{u"5:select 1:p"_s});
    }

    void maintenanceOfAMissingNumberShowsEmptyEdits() {
        LibraryDb lib;
        ScriptedPlatform platform;
        w_upsql w(42);
        QVERIFY(mle(w, "mle_1")->toPlainText().isEmpty());
        QVERIFY(mle(w, "mle_2")->toPlainText().isEmpty());
        QVERIFY(platform.messages.isEmpty());
    }

    void entryWindowStoresAndRefuses() {
        LibraryDb lib;
        ScriptedPlatform platform;
        w_isql w;
        QCOMPARE(w.windowTitle(), u"录入SQL语句"_s);
        QCOMPARE(child<QLabel>(w, "st_3")->text(), u"SQL语句:"_s);
        QCOMPARE(button(w, "cb_1")->text(), u"保存(&S)"_s);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // The 61st purpose character is refused by the edit.
        mle(w, "mle_2")->setFocus();
        QTest::keyClicks(mle(w, "mle_2"), QString(61, u'x'));
        QCOMPARE(mle(w, "mle_2")->toPlainText(), QString(60, u'x'));
        QTest::keyClick(mle(w, "mle_2"), Qt::Key_Home);
        QTest::keyClicks(mle(w, "mle_2"), u"y"_s);
        QCOMPARE(mle(w, "mle_2")->toPlainText(), QString(60, u'x'));

        button(w, "cb_1")->click(); // no statement yet
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 内容不能为空"_s});
        QCOMPARE(mle(w, "mle_2")->toPlainText(), QString(60, u'x'));

        platform.clearRecord();
        mle(w, "mle_1")->setPlainText(u" select * from t ;"_s);
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QVERIFY(mle(w, "mle_1")->toPlainText().isEmpty());
        QVERIFY(mle(w, "mle_2")->toPlainText().isEmpty());
        QCOMPARE(lib.entries(), QStringList{u"1:select * from t ;:"_s + QString(60, u'x')});

        // The next number follows the largest one, whatever the count.
        QVERIFY(lib.add(u"select 57"_s, u"p"_s, 57));
        platform.clearRecord();
        mle(w, "mle_1")->setPlainText(u"select 58"_s);
        mle(w, "mle_2")->setPlainText(u"q"_s);
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QCOMPARE(lib.entries().last(), u"58:select 58:q"_s);
    }

    void saveWindowOpensWithTheStatement() {
        LibraryDb lib;
        ScriptedPlatform platform;
        w_ssql w(u"select a,b from t where a = 1 ;"_s);
        QCOMPARE(w.windowTitle(), u"输入SQL语句"_s);
        QCOMPARE(mle(w, "mle_1")->toPlainText(), u"select a,b from t where a = 1 ;"_s);
        mle(w, "mle_2")->setPlainText(u"用途"_s);
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QCOMPARE(lib.entries(), QStringList{u"1:select a,b from t where a = 1 ;:用途"_s});
        QVERIFY(mle(w, "mle_1")->toPlainText().isEmpty());

        // A refused insert shows the database's text and keeps both edits.
        QVERIFY(lib.refuse(u"INSERT"_s));
        platform.clearRecord();
        mle(w, "mle_1")->setPlainText(u"select 2"_s);
        mle(w, "mle_2")->setPlainText(u"其他"_s);
        button(w, "cb_1")->click();
        QCOMPARE(platform.messageLines(), QStringList{u"保存失败 / 出错信息:refused by test"_s});
        QCOMPARE(mle(w, "mle_1")->toPlainText(), u"select 2"_s);
        QCOMPARE(mle(w, "mle_2")->toPlainText(), u"其他"_s);
        QCOMPARE(lib.entries().size(), qsizetype(1));
    }

    void importWindowStates() {
        LibraryDb lib;
        QVERIFY(lib.add(u"old"_s, u"p"_s, 57));
        ScriptedPlatform platform;
        w_drsql w;
        QCOMPARE(w.windowTitle(), u"导入SQL语句"_s);
        QCOMPARE(button(w, "cb_17")->text(), u"粘贴导入"_s);
        QCOMPARE(button(w, "cb_17")->property("tag").toString(),
                 u"粘贴的内容与顺序与数据窗口列名要一致"_s);
        QCOMPARE(button(w, "cb_1")->text(), u"文件导入"_s);
        QCOMPARE(button(w, "cb_2")->text(), u"保存"_s);
        QVERIFY(child<QProgressBar>(w, "hpb_1"));
        QVERIFY(!button(w, "cb_2")->isEnabled());

        platform.clipboard = u"new 1\tq\nold\tp\nbad\tq\n"_s;
        button(w, "cb_17")->click();
        QCOMPARE(w.grid().rowCount(), qint64(3));
        QVERIFY(button(w, "cb_2")->isEnabled());

        // A refused row: nothing stored, the rows and the state stay.
        QVERIFY(lib.refuse(u"INSERT"_s, u"NEW.sql = 'bad'"_s));
        button(w, "cb_2")->click();
        QCOMPARE(platform.messageLines(),
                 QStringList{u"保存失败 / 第 3 行保存失败。\n出错信息:refused by test\n"
                             "本次没有保存任何行。"_s});
        QCOMPARE(w.grid().rowCount(), qint64(3));
        QVERIFY(button(w, "cb_2")->isEnabled());
        QCOMPARE(lib.entries(), QStringList{u"57:old:p"_s});

        QVERIFY(lib.allow(u"INSERT"_s));
        platform.clearRecord();
        button(w, "cb_2")->click();
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(w.grid().rowCount(), qint64(0));
        QVERIFY(!button(w, "cb_2")->isEnabled());
        QVERIFY(button(w, "cb_1")->isEnabled());
        QCOMPARE(lib.entries(), (QStringList{u"57:old:p"_s, u"58:new 1:q"_s, u"60:bad:q"_s}));
    }

    void menuItemsOpenTheWindows() {
        LibraryDb lib;
        ScriptedPlatform platform;
        w_main frame;
        frame.show();
        frame.findChild<QAction *>(u"m_sqlyjbcx"_s)->trigger();
        QCOMPARE(frame.sheets(7).size(), qsizetype(1));
        QCOMPARE(frame.sheets(7).first()->objectName(), u"w_cxsql"_s);
        frame.findChild<QAction *>(u"m_lrsqlyj"_s)->trigger();
        frame.findChild<QAction *>(u"m_drsqlyj"_s)->trigger();
        for (const QString &name : {u"w_isql"_s, u"w_drsql"_s}) {
            QWidget *w = frame.findChild<QWidget *>(name);
            QVERIFY2(w && w->isWindow() && w->isVisible(), qPrintable(name));
            QVERIFY(frame.sheets(7).size() == 1); // windows of their own, not sheets
            w->close();
        }
    }

    void statementsAreColoured() {
        QTextDocument doc;
        auto *h = new SqlHighlighter(&doc);
        doc.setPlainText(u"SELECT name, 'it''s' FROM t1 -- note\nwhere /* a\nb */ x = 42"_s);
        h->rehighlight();
        const QString text = doc.toPlainText();
        auto at = [&](const QString &piece, int offset = 0) {
            return formatAt(doc, int(text.indexOf(piece)) + offset);
        };
        QCOMPARE(at(u"SELECT"_s), h->keywordFormat());
        QCOMPARE(at(u"where"_s), h->keywordFormat());
        QCOMPARE(at(u"'it"_s, 3), h->stringFormat()); // the doubled quote stays inside
        QCOMPARE(at(u"-- note"_s, 4), h->commentFormat());
        QCOMPARE(at(u"b */"_s), h->commentFormat()); // a comment over two lines
        QCOMPARE(at(u"42"_s), h->numberFormat());
        QVERIFY(at(u"name"_s) != h->keywordFormat());
        QVERIFY(at(u"t1"_s, 1) != h->numberFormat()); // a digit inside a name
    }
};

QTEST_MAIN(TestSqllibWindows)
#include "test_sqllib_windows.moc"
