#include "core/files/name_ops.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;
using zorv::files::test::EscSink;

class TestNameOps : public QObject {
    Q_OBJECT
private slots:
    void operations_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        // The worked examples.
        QTest::newRow("1 position") << 1 << 2 << 3 << QString() << u"abcdef.txt"_s << u"bcd"_s;
        QTest::newRow("1 past end")
            << 1 << 2 << 20 << QString() << u"abcdef.txt"_s << u"bcdef.txt"_s;
        QTest::newRow("1 count 0") << 1 << 2 << 0 << QString() << u"abcdef.txt"_s << u"bcdef.txt"_s;
        QTest::newRow("2 marker") << 2 << 0 << 4 << u"_"_s << u"IMG_0001.jpg"_s << u"0001"_s;
        QTest::newRow("2 absent") << 2 << 0 << 4 << u"#"_s << u"IMG_0001.jpg"_s << u"IMG_"_s;
        QTest::newRow("2 absent count 0")
            << 2 << 0 << 0 << u"#"_s << u"IMG_0001.jpg"_s << u"IMG_0001.jpg"_s;
        QTest::newRow("3 replace") << 3 << 2 << 3 << u"X"_s << u"abcdef.txt"_s << u"aXef.txt"_s;
        QTest::newRow("3 count 0") << 3 << 2 << 0 << u"X"_s << u"abcdef.txt"_s << u"aX"_s;
        QTest::newRow("4 lower") << 4 << 0 << 0 << QString() << u"AbC.TXT"_s << u"abc.txt"_s;
        QTest::newRow("5 upper") << 5 << 0 << 0 << QString() << u"AbC.txt"_s << u"ABC.TXT"_s;
        QTest::newRow("6 letters")
            << 6 << 0 << 0 << QString() << u"abc123XYZ.txt"_s << u"XYZ.txt"_s;
        QTest::newRow("6 digit before dot")
            << 6 << 0 << 0 << QString() << u"photo_2020.jpg"_s << u".jpg"_s;
        QTest::newRow("6 no dot") << 6 << 0 << 0 << QString() << u"README"_s << u"README"_s;
        QTest::newRow("6 no dot digit end") << 6 << 0 << 0 << QString() << u"abc123"_s << QString();
        QTest::newRow("7 first dot") << 7 << 0 << 0 << u"doc"_s << u"a.b.txt"_s << u"a.doc"_s;
        QTest::newRow("7 no dot") << 7 << 0 << 0 << u"doc"_s << u"Makefile"_s << u"Makefile.doc"_s;
        // Chinese characters take two positions and are never cut in half.
        QTest::newRow("1 chinese") << 1 << 3 << 4 << QString() << u"中文名abc.txt"_s << u"文名"_s;
        QTest::newRow("1 chinese half")
            << 1 << 2 << 3 << QString() << u"中文名abc.txt"_s << u"文"_s;
        QTest::newRow("2 chinese marker")
            << 2 << 0 << 2 << u"中"_s << u"照片_中01.jpg"_s << u"01"_s;
        QTest::newRow("2 ascii marker in chinese")
            << 2 << 0 << 0 << u"_"_s << u"照片_01.jpg"_s << u"01.jpg"_s;
        // 乢 is 81 5F in GBK: its trail byte is "_" but no marker starts there.
        QTest::newRow("2 marker on boundary")
            << 2 << 0 << 2 << u"_"_s << u"乢x_01.jpg"_s << u"01"_s;
        QTest::newRow("3 chinese") << 3 << 3 << 2 << u"X"_s << u"中文abc.txt"_s << u"中Xabc.txt"_s;
        // 丄 is 81 41: its trail byte is "A" yet it is no letter.
        QTest::newRow("6 trail byte") << 6 << 0 << 0 << QString() << u"丄.txt"_s << u".txt"_s;
        QTest::newRow("6 letters after chinese")
            << 6 << 0 << 0 << QString() << u"照片abc.jpg"_s << u"abc.jpg"_s;
        QTest::newRow("7 chinese") << 7 << 0 << 0 << u"文"_s << u"照片.jpg"_s << u"照片.文"_s;
        // U+20000 takes four bytes.
        QTest::newRow("1 four-byte") << 1 << 5 << 1 << QString() << u"\U00020000a.txt"_s << u"a"_s;
        QTest::newRow("1 four-byte inside")
            << 1 << 2 << 3 << QString() << u"\U00020000a.txt"_s << QString();
        QTest::newRow("3 four-byte")
            << 3 << 1 << 4 << u"b"_s << u"\U00020000a.txt"_s << u"ba.txt"_s;
    }
    void operations() {
        QFETCH(int, op);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        NameOpParams p;
        p.op = op;
        p.start = start;
        p.count = count;
        p.text = text;
        QCOMPARE(applyNameOp(p, name), expected);
    }

    void sequence_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QStringList>("prefixes");
        QStringList one, five, none;
        for (int i = 1; i <= 12; ++i) {
            one << QString::number(i).rightJustified(2, u'0');
            five << QString::number(1 + (i - 1) * 5).rightJustified(2, u'0');
            none << u"1"_s;
        }
        QTest::newRow("step 1") << 1 << one;
        QTest::newRow("step 5") << 5 << five;
        QTest::newRow("empty step") << 0 << none;
    }
    void sequence() {
        QFETCH(int, step);
        QFETCH(QStringList, prefixes);
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {u"/a/"_s, u"123abc.txt"_s});
        for (int i = 2; i <= 12; ++i)
            addRow(*g, {u"/a/"_s, u"x"_s + QString::number(i) + u".jpg"_s});
        NameOpParams p;
        p.op = 9;
        p.step = step;
        EscSink sink;
        QCOMPARE(computeNames(*g, p, false, sink), ComputeResult::Done);
        const QStringList names = column(*g, u"filen"_s);
        QCOMPARE(names.size(), 12);
        QCOMPARE(names.first(), prefixes.first() + u"abc.txt"_s);
        for (int i = 1; i < 12; ++i)
            QCOMPARE(names.at(i), prefixes.at(i) + u"x"_s + QString::number(i + 1) + u".jpg"_s);
        QVERIFY(platform.messages.isEmpty());
    }

    // Rows whose working name is empty leave the grid as the loop reaches
    // them, and the width follows the row total of that moment.
    void emptyRowsRemoved() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {u"/a/"_s, u"a.txt"_s});
        addRow(*g, {u"/a/"_s, QString()});
        for (int i = 2; i <= 9; ++i)
            addRow(*g, {u"/a/"_s, QString::number(i) + u"n.txt"_s});
        addRow(*g, {u"/a/"_s, QString()});
        NameOpParams p;
        p.op = 9;
        p.step = 1;
        EscSink sink;
        computeNames(*g, p, false, sink);
        // 11 rows at the first row, 10 after the second is gone: width 2.
        QStringList expected{u"01a.txt"_s};
        for (int i = 2; i <= 9; ++i)
            expected << u"0"_s + QString::number(i) + u"n.txt"_s;
        QCOMPARE(column(*g, u"filen"_s), expected);
        QCOMPARE(g->rowCount(), 9);
    }

    void widthShrinksWithRows() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {u"/a/"_s, QString()});
        for (int i = 1; i <= 9; ++i)
            addRow(*g, {u"/a/"_s, u"n.txt"_s});
        NameOpParams p;
        p.op = 9;
        p.step = 1;
        EscSink sink;
        computeNames(*g, p, false, sink);
        QCOMPARE(g->rowCount(), 9);
        QCOMPARE(column(*g, u"filen"_s).first(), u"1n.txt"_s); // 9 rows: one digit
        QCOMPARE(column(*g, u"filen"_s).last(), u"9n.txt"_s);
    }

    void targetModeChains() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        addRow(*g, {u"/a/"_s, u" IMG_1.JPG "_s});
        addRow(*g, {u"/a/"_s, u"b.txt"_s});
        EscSink sink;
        NameOpParams keep;
        keep.op = 8;
        computeNames(*g, keep, false, sink);
        QCOMPARE(column(*g, u"filen"_s), (QStringList{u"IMG_1.JPG"_s, u"b.txt"_s}));
        g->setItem(2, u"filen"_s, QString());
        NameOpParams lower;
        lower.op = 4;
        computeNames(*g, lower, true, sink);
        QCOMPARE(column(*g, u"filen"_s), QStringList{u"img_1.jpg"_s});
        NameOpParams ext;
        ext.op = 7;
        ext.text = u"png"_s;
        computeNames(*g, ext, true, sink);
        QCOMPARE(column(*g, u"filen"_s), QStringList{u"img_1.png"_s});
        // Operation 8 always starts again from the source name.
        computeNames(*g, keep, true, sink);
        QCOMPARE(column(*g, u"filen"_s), QStringList{u"IMG_1.JPG"_s});
    }

    // The working name is trimmed before every operation, in both modes: the
    // blanks at its ends never count as positions, letters or digits, and
    // never reach the new name.
    void blankEnds_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString name = u"  ab cD12.txt\t "_s;
        QTest::newRow("1 position") << 1 << 2 << 3 << QString() << name << u"b c"_s;
        QTest::newRow("1 to the end") << 1 << 4 << 0 << QString() << name << u"cD12.txt"_s;
        QTest::newRow("2 marker") << 2 << 0 << 0 << u"c"_s << name << u"D12.txt"_s;
        QTest::newRow("2 absent") << 2 << 0 << 4 << u"#"_s << name << u"ab c"_s;
        QTest::newRow("3 replace") << 3 << 1 << 2 << u"X"_s << name << u"X cD12.txt"_s;
        QTest::newRow("3 count 0") << 3 << 9 << 0 << u"md"_s << name << u"ab cD12.md"_s;
        QTest::newRow("4 lower") << 4 << 0 << 0 << QString() << name << u"ab cd12.txt"_s;
        QTest::newRow("5 upper") << 5 << 0 << 0 << QString() << name << u"AB CD12.TXT"_s;
        QTest::newRow("6 letters") << 6 << 0 << 0 << QString() << u" x AbC.jpg  "_s << u"AbC.jpg"_s;
        QTest::newRow("6 no dot") << 6 << 0 << 0 << QString() << u"  ab cD "_s << u"cD"_s;
        QTest::newRow("7 extension") << 7 << 0 << 0 << u"doc"_s << name << u"ab cD12.doc"_s;
        QTest::newRow("7 no dot") << 7 << 0 << 0 << u"doc"_s << u" Makefile  "_s
                                  << u"Makefile.doc"_s;
        QTest::newRow("9 leading digits")
            << 9 << 1 << 0 << QString() << u"  12ab.txt "_s << u"1ab.txt"_s;
    }
    void blankEnds() {
        QFETCH(int, op);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        NameOpParams p;
        p.op = op;
        p.start = start;
        p.count = count;
        p.text = text;
        p.step = op == 9 ? start : 0;
        for (const bool onTarget : {false, true}) {
            zorv::test::ScriptedPlatform platform;
            auto g = makeFrn1Grid();
            addRow(*g, {u"/a/"_s, name, name});
            EscSink sink;
            QCOMPARE(computeNames(*g, p, onTarget, sink), ComputeResult::Done);
            QCOMPARE(column(*g, u"filen"_s), QStringList{expected});
            QCOMPARE(column(*g, u"filey"_s), QStringList{name}); // the source name stays
        }
    }

    void refusals() {
        zorv::test::ScriptedPlatform platform;
        auto g = makeFrn1Grid();
        EscSink sink;
        NameOpParams p;
        p.op = 1;
        QCOMPARE(computeNames(*g, p, false, sink), ComputeResult::EmptyGrid);
        addRow(*g, {u"/a/"_s, u"a.txt"_s});
        p.op = 0;
        QCOMPARE(computeNames(*g, p, false, sink), ComputeResult::NoOperation);
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 还没有源文件"_s, u"提示 / 请在1至9中选择字符串操作方式"_s}));
        QCOMPARE(g->getItemString(1, u"filen"_s), QString());
    }

    void parameters() {
        QCOMPARE(operationCode(u".选择字符串操作方式"_s), 0);
        QCOMPARE(operationCode(u"9.除去数字后加等差序号"_s), 9);
        QCOMPARE(editValue(QString()), 0);
        QCOMPARE(editValue(u" 12 "_s), 12);
        QCOMPARE(sequenceWidth(12, 5), 2);
        QCOMPARE(sequenceWidth(12, 0), 1);
        NameOpParams p;
        p.op = 9;
        QCOMPARE(applyNameOp(p, u"abc"_s, 100, 2), u"100abc"_s);
        QCOMPARE(applyNameOp(p, u"2020照片"_s, 3, 3), u"003照片"_s);
    }
};

QTEST_GUILESS_MAIN(TestNameOps)
#include "test_name_ops.moc"
