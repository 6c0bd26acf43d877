#include "core/text/gbtext.h"

#include <QTest>

using namespace zorv::text;

class TestGbText : public QObject {
    Q_OBJECT
private slots:
    void lengths_data() {
        QTest::addColumn<QString>("s");
        QTest::addColumn<int>("len");
        QTest::newRow("ascii") << QStringLiteral("abc.txt") << 7;
        QTest::newRow("chinese") << QStringLiteral("中文测试ABC") << 11;
        QTest::newRow("four-byte") << QString::fromUcs4(U"a\U00020000b") << 6;
        QTest::newRow("empty") << QString() << 0;
    }
    void lengths() {
        QFETCH(QString, s);
        QFETCH(int, len);
        QCOMPARE(gbLen(s), len);
        QCOMPARE(toGb18030(s).size(), len);
        QCOMPARE(fromGb18030(toGb18030(s)), s);
    }

    void cutsNeverSplitCharacters() {
        const QString s = QStringLiteral("ab中文cd");   // a1 b2 中3-4 文5-6 c7 d8
        QCOMPARE(gbMid(s, 3, 2), QStringLiteral("中"));
        QCOMPARE(gbMid(s, 4, 2), QStringLiteral("文")); // 中 starts at 3: outside
        QCOMPARE(gbMid(s, 2, 2), QStringLiteral("b中")); // 中 starts inside the range
        QCOMPARE(gbMid(s, 9), QString());
        QCOMPARE(gbLeft(s, 3), QStringLiteral("ab中"));
        QCOMPARE(gbRight(s, 3), QStringLiteral("cd")); // 文 starts at byte 5
        QCOMPARE(gbRight(s, 4), QStringLiteral("文cd"));
        QCOMPARE(gbReplace(QStringLiteral("abcdef.txt"), 2, 3, QStringLiteral("X")),
                 QStringLiteral("aXef.txt"));
    }

    void positionsOnBoundariesOnly() {
        const QString s = QStringLiteral("中a中.txt");
        QCOMPARE(gbPos(s, QStringLiteral(".")), 6);
        QCOMPARE(gbPos(s, QStringLiteral("中"), 2), 4);
        QCOMPARE(gbPos(s, QStringLiteral("#")), 0);
        QCOMPARE(gbPos(s, QString()), 0);
    }

    void trimsBlanks() {
        QCOMPARE(trim(QStringLiteral("  a b \t")), QStringLiteral("a b"));
        QCOMPARE(trim(QStringLiteral("   ")), QString());
    }

    void decodesEveryInputEncoding() {
        const QString s = QStringLiteral("名单一");
        QCOMPARE(decodeText(s.toUtf8()), s);
        QCOMPARE(decodeText("\xEF\xBB\xBF" + s.toUtf8()), s);
        QCOMPARE(decodeText(toGb18030(s)), s);
        QByteArray le("\xFF\xFE");
        for (QChar c : s) {
            le.append(char(c.unicode() & 0xFF));
            le.append(char(c.unicode() >> 8));
        }
        QCOMPARE(decodeText(le), s);
    }
};

QTEST_GUILESS_MAIN(TestGbText)
#include "test_gbtext.moc"
