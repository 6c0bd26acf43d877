// The list comparison window driven by objectName: loads, the comparison
// with its messages, the filter, the register save, the folder import, a
// stop by Esc and the menu item that opens it.
#include "core/db/transaction.h"
#include "core/grid/grid.h"
#include "core/sheet/sheet_fixture.h"
#include "core/text/gbtext.h"
#include "gui/app/w_main.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/w_htmd.h"
#include "gui/lists/w_htmtww.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"
#include "support/test_database.h"
#include "support/window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QJsonArray>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;
using zorv::Grid;
using zorv::test::ScriptedPlatform;

namespace {

struct Fixture : zorv::test::WindowFixture<w_htmd> {
    void paste(const QString &radio, const QString &text) {
        click(radio);
        sp.clipboard = text;
        click(u"cb_10"_s);
    }
};

QStringList rowsOf(const Grid &grid) {
    QStringList out;
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c <= grid.columnCount(); ++c)
            cells << grid.getItemString(r, c);
        out << cells.join(u'|');
    }
    return out;
}

} // namespace

class TestListsHtmd : public QObject {
    Q_OBJECT
private slots:
    void pasteCompareAndFilter() {
        Fixture f;
        QCOMPARE(f.get<QSpinBox>(u"em_1"_s)->value(), 1);
        f.paste(u"rb_1"_s, u"b\na\nb\nb\n"_s);
        f.paste(u"rb_2"_s, u"a\nc\n"_s);
        QCOMPARE(f.get<QSpinBox>(u"em_1"_s)->value(), 2);
        f.sp.clearRecord();
        f.click(u"cb_4"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 核对结束"_s});
        QCOMPARE(rowsOf(*f.w->list1()), (QStringList{u"a|2|相同"_s, u"b|1|不同"_s}));
        QCOMPARE(rowsOf(*f.w->list2()), (QStringList{u"a|1|相同"_s, u"c|2|不同"_s}));
        QCOMPARE(rowsOf(*f.w->duplicates1()), (QStringList{u"b|3"_s, u"b|4"_s}));
        QCOMPARE(f.w->duplicates1()->summaryText(), u"总数:2"_s);

        auto *show = f.get<QComboBox>(u"ddlb_1"_s);
        QCOMPARE(show->currentIndex(), -1);
        show->setCurrentIndex(1); // 相同
        QCOMPARE(rowsOf(*f.w->list1()), QStringList{u"a|2|相同"_s});
        QCOMPARE(rowsOf(*f.w->list2()), QStringList{u"a|1|相同"_s});
        show->setCurrentIndex(2); // 不同
        QCOMPARE(rowsOf(*f.w->list1()), QStringList{u"b|1|不同"_s});
        show->setCurrentIndex(0); // 全部
        QCOMPARE(f.w->list1()->rowCount(), qint64(2));

        // Pasting into a compared list renumbers it and resets its markers.
        f.paste(u"rb_1"_s, u"z"_s);
        QCOMPARE(rowsOf(*f.w->list1()), (QStringList{u"a|1|不同"_s, u"b|2|不同"_s, u"z|3|不同"_s}));
        // "清空" empties the selected list only.
        f.click(u"cb_2"_s);
        QCOMPARE(f.w->list1()->rowCount(), qint64(0));
        QCOMPARE(f.w->list2()->rowCount(), qint64(2));
    }

    // Names match by their exact text: case and a trailing blank make other
    // names, quotes are plain characters. An empty list 2 leaves every row
    // different; comparing again, or with "相同" shown, changes nothing.
    void exactNamesAndRepeatedComparisons() {
        Fixture f;
        f.paste(u"rb_1"_s, u"Tom\nO'Neil\ntom\nO'Neil's d'Arc\nTom \n"_s);
        f.sp.clearRecord();
        f.click(u"cb_4"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 核对结束"_s});
        QCOMPARE(rowsOf(*f.w->list1()),
                 (QStringList{u"O'Neil|2|不同"_s, u"O'Neil's d'Arc|4|不同"_s, u"Tom|1|不同"_s,
                              u"Tom |5|不同"_s, u"tom|3|不同"_s}));
        QCOMPARE(f.w->duplicates1()->rowCount(), qint64(0));

        f.paste(u"rb_2"_s, u"O'Neil's d'Arc\ntom\nO'Neil\n"_s);
        f.sp.clearRecord();
        f.click(u"cb_4"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 核对结束"_s});
        const QStringList once1{u"O'Neil|2|相同"_s, u"O'Neil's d'Arc|4|相同"_s, u"Tom|1|不同"_s,
                                u"Tom |5|不同"_s, u"tom|3|相同"_s};
        const QStringList once2{u"O'Neil|3|相同"_s, u"O'Neil's d'Arc|1|相同"_s, u"tom|2|相同"_s};
        QCOMPARE(rowsOf(*f.w->list1()), once1);
        QCOMPARE(rowsOf(*f.w->list2()), once2);

        f.click(u"cb_4"_s);
        QCOMPARE(rowsOf(*f.w->list1()), once1);
        QCOMPARE(rowsOf(*f.w->list2()), once2);
        QCOMPARE(f.w->duplicates1()->rowCount() + f.w->duplicates2()->rowCount(), qint64(0));

        auto *show = f.get<QComboBox>(u"ddlb_1"_s);
        show->setCurrentIndex(1); // 相同
        f.click(u"cb_4"_s);
        QCOMPARE(rowsOf(*f.w->list1()),
                 (QStringList{u"O'Neil|2|相同"_s, u"O'Neil's d'Arc|4|相同"_s, u"tom|3|相同"_s}));
        show->setCurrentIndex(0); // 全部
        QCOMPARE(rowsOf(*f.w->list1()), once1);
        QCOMPARE(rowsOf(*f.w->list2()), once2);
    }

    // Lists saved with CRLF line ends and a byte-order mark, or in GBK, load
    // from their files as the names they hold: the comparison gives the same
    // grids as for the lists in plain UTF-8.
    void encodedFilesCompareLikePlainOnes() {
        const QString one = u"张三\nTom \nO'Neil\n李四\n张三\n"_s, two = u"李四\nO'Neil\ntom\n"_s;
        auto crlfBom = [](const QString &t) -> QByteArray {
            return QByteArray("\xEF\xBB\xBF") + t.toUtf8().replace("\n", "\r\n");
        };
        auto compared = [](const QByteArray &bytes1, const QByteArray &bytes2) {
            Fixture f;
            const QString p1 = f.home.file(u"one.txt"_s), p2 = f.home.file(u"two.txt"_s);
            if (!zorv::test::writeFile(p1, bytes1) || !zorv::test::writeFile(p2, bytes2))
                return QStringList{u"not written"_s};
            f.click(u"rb_1"_s);
            f.sp.nextFile(p1);
            f.click(u"cb_1"_s);
            f.click(u"rb_2"_s);
            f.sp.nextFile(p2);
            f.click(u"cb_1"_s);
            f.click(u"cb_4"_s);
            return QStringList{f.sp.messageLines().join(u'/'), rowsOf(*f.w->list1()).join(u'/'),
                               rowsOf(*f.w->list2()).join(u'/'),
                               rowsOf(*f.w->duplicates1()).join(u'/'),
                               rowsOf(*f.w->duplicates2()).join(u'/')};
        };
        const QStringList plain = compared(one.toUtf8(), two.toUtf8());
        QCOMPARE(plain.value(0), u"信息提示 / 导入完成!/信息提示 / 导入完成!/提示 / 核对结束"_s);
        QCOMPARE(plain.value(1), u"O'Neil|3|相同/Tom |2|不同/张三|1|不同/李四|4|相同"_s);
        QCOMPARE(plain.value(3), u"张三|5"_s);
        QCOMPARE(compared(crlfBom(one), zorv::text::toGb18030(two)), plain);
        QCOMPARE(compared(zorv::text::toGb18030(one), crlfBom(two)), plain);
    }

    // A spreadsheet list from the edits: row 2, column 3 imports column C
    // from its second line, appended and numbered after the rows there.
    void spreadsheetRowAndColumn() {
        Fixture f;
        const QString path = f.home.file(u"l.xlsx"_s);
        const QJsonArray rows{QJsonArray{u"A1"_s, u"B1"_s, u"C1"_s},
                              QJsonArray{u"A2"_s, u"B2"_s, u"C2"_s},
                              QJsonArray{u"A3"_s, u"B3"_s, u"張三"_s}};
        const QString err =
            zorv::test::writeSheetFixture(u"shared"_s, path, zorv::test::oneSheet(rows));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        f.paste(u"rb_2"_s, u"old\n"_s);
        QCOMPARE(f.get<QSpinBox>(u"em_2"_s)->value(), 2);
        f.get<QSpinBox>(u"em_3"_s)->setValue(3);
        f.sp.clearRecord();
        f.sp.nextFile(path);
        f.click(u"cb_1"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"信息提示 / 导入完成!"_s});
        QCOMPARE(rowsOf(*f.w->list2()),
                 (QStringList{u"old|1|不同"_s, u"C2|2|不同"_s, u"張三|3|不同"_s}));
        QCOMPARE(f.w->list1()->rowCount(), qint64(0));
    }

    // Esc during the comparison leaves both lists as they were.
    void escStopsTheComparison() {
        Fixture f;
        f.paste(u"rb_1"_s, u"b\na\nb\n"_s);
        f.paste(u"rb_2"_s, u"a\n"_s);
        const QStringList before1 = rowsOf(*f.w->list1()), before2 = rowsOf(*f.w->list2());
        f.sp.clearRecord();
        f.sp.escAfterPolls = 0;
        f.click(u"cb_4"_s);
        f.sp.escAfterPolls = -1;
        QCOMPARE(rowsOf(*f.w->list1()), before1);
        QCOMPARE(rowsOf(*f.w->list2()), before2);
        QCOMPARE(f.w->duplicates1()->rowCount(), qint64(0));
        QVERIFY(f.sp.messages.isEmpty());
        QVERIFY(!f.w->busy());
    }

    void saveToRegister() {
        Fixture f;
        // The register on the test database of each home.
        zorv::test::TestDatabase database(f.home);
        ZORV_VERIFY_DATABASE(database);
        auto &tx = zorv::db::sqlca();
        QCOMPARE(database.connect(tx, false), 0);
        f.paste(u"rb_1"_s, u"x\n"_s);
        f.paste(u"rb_2"_s, u"y\nz\n"_s);
        f.sp.clearRecord();
        f.click(u"cb_6"_s);
        QVERIFY(f.sp.messages.isEmpty());
        QCOMPARE(f.w->list2()->rowCount(), qint64(0));
        QCOMPARE(f.w->list1()->rowCount(), qint64(1));
        const auto rows = tx.selectRows(u"SELECT bs, md FROM htt1 ORDER BY bh"_s);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].at(0).toInt(), 2);
        QCOMPARE(rows[1].at(1).toString(), u"z"_s);

        // A refused row: nothing of the list stays and the grid keeps its
        // rows, so saving again stores each row once.
        for (const QString &sql : database.refusal(u"refuse_insert"_s, u"INSERT"_s, u"htt1"_s,
                                                   u"no q here"_s, u"NEW.md = 'q'"_s))
            QVERIFY2(tx.execute(sql) == 0, qPrintable(tx.sqlerrtext()));
        QCOMPARE(tx.commit(), 0);
        f.paste(u"rb_2"_s, u"p\nq\nr\n"_s);
        f.sp.clearRecord();
        f.click(u"cb_6"_s);
        QCOMPARE(f.sp.messages.size(), 1);
        QCOMPARE(f.sp.messages[0].title, u"插入htt1表失败"_s);
        QVERIFY(f.sp.messages[0].text.startsWith(u"出错信息:"_s));
        QVERIFY(f.sp.messages[0].text.contains(u"no q here"_s));
        QVERIFY(f.sp.messages[0].text.contains(u"没有保存任何行"_s));
        QCOMPARE(f.w->list2()->rowCount(), qint64(3));
        QCOMPARE(tx.selectRows(u"SELECT md FROM htt1"_s).size(), 2);
        QCOMPARE(tx.execute(database.liftRefusal(u"refuse_insert"_s, u"htt1"_s)), 0);
        QCOMPARE(tx.commit(), 0);
        f.sp.clearRecord();
        f.click(u"cb_6"_s);
        QVERIFY(f.sp.messages.isEmpty());
        QCOMPARE(f.w->list2()->rowCount(), qint64(0));
        QCOMPARE(tx.selectRows(u"SELECT md FROM htt1"_s).size(), 5);

        // The register window finds them from "标识号起" 2, not from 3.
        {
            w_htmtww reg;
            reg.findChild<QSpinBox *>(u"em_2"_s)->setValue(2);
            QTest::mouseClick(reg.findChild<QAbstractButton *>(u"cb_1"_s), Qt::LeftButton);
            QCOMPARE(reg.grid()->rowCount(), qint64(5));
            reg.findChild<QSpinBox *>(u"em_2"_s)->setValue(3);
            QTest::mouseClick(reg.findChild<QAbstractButton *>(u"cb_1"_s), Qt::LeftButton);
            QCOMPARE(reg.grid()->rowCount(), qint64(0));
        }
        tx.disconnect();
    }

    void folderImport() {
        Fixture f;
        f.paste(u"rb_2"_s, u"kept\n"_s);
        f.sp.clearRecord();
        f.sp.nextFolderCancel();
        f.click(u"cb_3"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 文件夹选择被取消"_s});
        QVERIFY(zorv::test::writeFile(f.home.file(u"t/s/b.txt"_s), "x"));
        QVERIFY(zorv::test::writeFile(f.home.file(u"t/a.txt"_s), "x"));
        f.sp.clearRecord();
        f.sp.nextFolder(f.home.file(u"t"_s));
        f.click(u"cb_3"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 完成"_s});
        QCOMPARE(f.sp.dialogTitles.last(), u"选择欲批量更名的源文件所在文件夹"_s);
        const QString t = f.home.file(u"t/"_s);
        QCOMPARE(rowsOf(*f.w->list2()),
                 (QStringList{u"kept|1|不同"_s, t + u"s/b.txt|2|不同"_s, t + u"a.txt|3|不同"_s}));
        QCOMPARE(f.w->list1()->rowCount(), qint64(0));
    }

    void scaledOnSmallerScreens() {
        ScriptedPlatform sp;
        sp.screen = {1024, 768};
        w_htmd w;
        QCOMPARE(w.findChild<zorv::gui::GridView *>(u"dw_3"_s)->zoom(), 80);
        QVERIFY(w.findChild<QWidget *>(u"lb_1"_s)->isHidden());
    }

    void openedFromTheMenu() {
        ScriptedPlatform sp;
        zorv::gui::w_main frame;
        auto *item = frame.findChild<QAction *>(u"m_mdhd_mdhd"_s);
        auto *button = frame.findChild<QAction *>(u"tb_mdhd"_s);
        QVERIFY(item && item->isEnabled() && button && button->isEnabled());
        button->trigger();
        int found = 0;
        for (QMdiSubWindow *s : frame.findChild<QMdiArea *>(u"mdi_1"_s)->subWindowList())
            found += s->findChild<w_htmd *>() != nullptr;
        QCOMPARE(found, 1);
    }
};

QTEST_MAIN(TestListsHtmd)
#include "test_lists_htmd.moc"
