// "撤销上次执行" beside "4、执行": the last run of the window is taken back,
// each row showing its result in "结果", once only.

#include "test_frn_fixture.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;
using frntest::Fixture;
using zorv::test::readFile;
using zorv::test::writeFile;

class TestFrnUndo : public QObject {
    Q_OBJECT
private slots:
    void undoLastRun() {
        Fixture f;
        const QString src = f.makeTree(u"src"_s, {u"1"_s, u"2"_s, u"3"_s});
        f.scan(src);
        for (qint64 r = 1; r <= 3; ++r)
            f.grid().setItem(r, u"filen"_s, QString::number(r + 1));
        f.sp.nextFolder(src);
        f.click(u"pb_1"_s);
        f.click(u"rb_5"_s);
        f.click(u"cb_3"_s);
        QCOMPARE(f.column(u"jg"_s), (QStringList{u"成功"_s, u"成功"_s, u"成功"_s}));
        // The journal lies beside the data folder's zorv.ini.
        QCOMPARE(QDir(f.home.file(u"journal"_s)).entryList(QDir::Files).size(), 1);
        QVERIFY(writeFile(src + u"/4"_s, "changed")); // row 3's file, changed since

        f.sp.clearRecord();
        f.click(u"cb_undo"_s);
        QCOMPARE(f.column(u"jg"_s), (QStringList{u"已撤销"_s, u"已撤销"_s, u"目标已变"_s}));
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 撤销完成\n已撤销 2，目标已变 1"_s});
        QCOMPARE(readFile(src + u"/1"_s), QByteArray("1"));
        QCOMPARE(readFile(src + u"/2"_s), QByteArray("2"));
        QCOMPARE(readFile(src + u"/4"_s), QByteArray("changed"));
        QVERIFY(!QFileInfo::exists(src + u"/3"_s));

        f.sp.clearRecord();
        f.click(u"cb_undo"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 上次执行已撤销，未做任何改动"_s});
        QCOMPARE(readFile(src + u"/1"_s), QByteArray("1"));
    }

    void nothingToUndo() {
        Fixture f;
        f.click(u"cb_undo"_s);
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 没有可撤销的执行"_s});
    }
};

QTEST_MAIN(TestFrnUndo)
#include "test_frn_undo.moc"
