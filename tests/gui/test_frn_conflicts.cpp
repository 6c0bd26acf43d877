// "4、执行" over rows that clash: the window shows the clashing rows first and
// runs nothing on "取消", the other rows on "继续".

#include "test_frn_fixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;
using frntest::Fixture;
using zorv::test::readFile;

class TestFrnConflicts : public QObject {
    Q_OBJECT
private slots:
    void review_data() {
        QTest::addColumn<bool>("proceed");
        QTest::newRow("取消") << false;
        QTest::newRow("继续") << true;
    }
    // The same folder listed twice, names kept, copied to another folder.
    void review() {
        QFETCH(bool, proceed);
        Fixture f;
        const QString src = f.makeTree(u"src"_s, {u"a.txt"_s, u"b.txt"_s});
        const QString dst = f.makeTree(u"dst"_s, {});
        f.scan(src);
        f.get<QCheckBox>(u"cbx_1"_s)->setChecked(true);
        f.scan(src);
        f.chooseOperation(8);
        f.click(u"cb_5"_s);
        f.sp.nextFolder(dst);
        f.click(u"pb_1"_s);
        f.sp.clearRecord();
        f.sp.reviewAnswers.enqueue(proceed);
        f.click(u"cb_3"_s);

        QCOMPARE(f.sp.reviews.size(), 1);
        const auto &review = f.sp.reviews[0];
        QCOMPARE(review.title, u"提示"_s);
        QCOMPARE(review.cancelCaption, u"取消"_s);
        QCOMPARE(review.proceedCaption, u"继续"_s);
        QCOMPARE(review.rows.size(), 2);
        QCOMPARE(review.rows[0], (QStringList{u"3"_s, src + u"/a.txt"_s, dst + u"/a.txt"_s,
                                              u"目标文件与第 1 行相同"_s}));
        QCOMPARE(review.note, QString());
        QVERIFY(f.get(u"cb_3"_s)->isEnabled());
        if (!proceed) {
            QVERIFY(f.sp.messages.isEmpty());
            QCOMPARE(f.column(u"jg"_s), QStringList(4, QString()));
            QVERIFY(!QFileInfo::exists(dst + u"/a.txt"_s));
            return;
        }
        QCOMPARE(f.sp.messageLines(), QStringList{u"提示 / 操作完成\n成功 2，失败 2"_s});
        QCOMPARE(f.column(u"jg"_s), (QStringList{u"成功"_s, u"成功"_s, u"失败"_s, u"失败"_s}));
        QCOMPARE(readFile(dst + u"/b.txt"_s), QByteArray("b.txt"));
    }

    // Names shifted by one in place: no review, every file renamed.
    void shiftInPlace() {
        Fixture f;
        const QString src = f.makeTree(u"src"_s, {u"1"_s, u"2"_s, u"3"_s});
        f.scan(src);
        for (qint64 r = 1; r <= 3; ++r)
            f.grid().setItem(r, u"filen"_s, QString::number(r + 1));
        f.sp.nextFolder(src);
        f.click(u"pb_1"_s);
        f.click(u"rb_5"_s);
        f.sp.clearRecord();
        f.click(u"cb_3"_s);
        QVERIFY(f.sp.reviews.isEmpty());
        QCOMPARE(f.column(u"jg"_s), (QStringList{u"成功"_s, u"成功"_s, u"成功"_s}));
        QVERIFY(!QFileInfo::exists(src + u"/1"_s));
        QCOMPARE(readFile(src + u"/2"_s), QByteArray("1"));
        QCOMPARE(readFile(src + u"/4"_s), QByteArray("3"));
    }
};

QTEST_MAIN(TestFrnConflicts)
#include "test_frn_conflicts.moc"
