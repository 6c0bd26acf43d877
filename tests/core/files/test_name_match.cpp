#include "core/files/name_match.h"
#include "frn_test_util.h"
#include "support/scripted_platform.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace zorv;
using namespace zorv::files;
using zorv::files::test::addRow;
using zorv::files::test::column;
using zorv::files::test::EscSink;

namespace {

const QStringList kNames{u"0001.jpg"_s, u"a.txt"_s, u"it's o'k.txt"_s,
                         u"b~c.txt"_s,  u"x.txt"_s, u"0001.png"_s};

std::unique_ptr<Grid> fileGrid() {
    auto g = makeFrn1Grid();
    for (const QString &n : kNames)
        addRow(*g, {u"/p/"_s, n});
    return g;
}

// An opener that hands over the given lines and records the path asked for.
ListOpener linesOpener(const QStringList &lines, QString *asked = nullptr) {
    return [lines, asked](const QString &path) -> std::unique_ptr<ListSource> {
        if (asked)
            *asked = path;
        return std::make_unique<TextLines>(lines);
    };
}

const QStringList kList{u"b~c.txt"_s, u"0001"_s,         u"  a.txt \tmore text"_s,
                        QString(),    u"it's o'k.txt"_s, u"missing.txt"_s,
                        u"   "_s};

const QString kQuestion =
    u"提示 / 按确定将过滤丢未找到的记录，否则将删除未找到的记录(只在数据窗口中删除)"_s;

} // namespace

class TestNameMatch : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("xh");
        QTest::newRow("OK filters")
            << true << QStringList{u"0001.jpg"_s, u"a.txt"_s, u"it's o'k.txt"_s, u"b~c.txt"_s}
            << QStringList{u"2"_s, u"3"_s, u"4"_s, u"1"_s};
        QTest::newRow("Cancel deletes and sorts")
            << false << QStringList{u"b~c.txt"_s, u"0001.jpg"_s, u"a.txt"_s, u"it's o'k.txt"_s}
            << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s};
    }
    // Suffix for names without a dot, text before a tab, apostrophes and
    // tildes matched literally, list positions as numbers.
    void answers() {
        QFETCH(bool, ok);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, xh);
        zorv::test::ScriptedPlatform platform;
        auto g = fileGrid();
        platform.nextFile(u"/lists/names.txt"_s);
        platform.nextAnswer(ok ? MsgAnswer::Ok : MsgAnswer::Cancel);
        QString asked;
        EscSink sink;
        const MatchEnd end = matchNameListChosen(*g, u" jpg "_s, linesOpener(kList, &asked), sink);
        QCOMPARE(end, ok ? MatchEnd::Filtered : MatchEnd::Deleted);
        QCOMPARE(asked, u"/lists/names.txt"_s);
        QCOMPARE(column(*g, u"filey"_s), shown);
        QCOMPARE(column(*g, u"xh"_s), xh);
        QCOMPARE(column(*g, u"jg"_s), QStringList(4, u"找到"_s));
        QCOMPARE(platform.messageLines(), QStringList{kQuestion});
        QCOMPARE(platform.messages.first().buttons, MsgButtons::OkCancel);
        QCOMPARE(platform.messages.first().icon, MsgIcon::Question);
        QCOMPARE(platform.dialogTitles, QStringList{u"打开文件"_s});
        QCOMPARE(platform.dialogFilters,
                 QStringList{u"Excel文件 (*.xls),*.xls,文本文件 (*.TXT),*.TXT"_s});
        // The rows not found are still there behind the filter, or gone.
        clearFilter(*g);
        QCOMPARE(g->rowCount(), ok ? 6 : 4);
    }

    // A spreadsheet list: column 1 from row 1 to the first empty cell. A
    // name listed twice marks its row once, with the later position.
    void sheetList() {
        zorv::test::ScriptedPlatform platform;
        auto g = fileGrid();
        const QStringList cells{u"x.txt"_s, u"a.txt"_s, u"x.txt"_s, QString(), u"0001.png"_s};
        SheetCells sheet([&](qint64 row, int col) {
            return col == 1 && row <= cells.size() ? cells.at(row - 1) : QString();
        });
        EscSink sink;
        const MatchResult m = matchNameList(*g, sheet, QString(), sink);
        QCOMPARE(m.names, 3);
        QCOMPARE(m.found, 3);
        QCOMPARE(column(*g, u"xh"_s),
                 (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"3"_s, u"6"_s}));
        QCOMPARE(g->getItemString(6, u"jg"_s), QString());
    }

    void refusals() {
        zorv::test::ScriptedPlatform platform;
        auto empty = makeFrn1Grid();
        EscSink sink;
        QCOMPARE(matchNameListChosen(*empty, QString(), linesOpener(kList), sink),
                 MatchEnd::EmptyGrid);
        auto g = fileGrid();
        platform.nextFileCancel();
        QCOMPARE(matchNameListChosen(*g, QString(), linesOpener(kList), sink), MatchEnd::NoFile);
        platform.nextFile(u"/l.txt"_s);
        QCOMPARE(
            matchNameListChosen(*g, QString(), linesOpener({u"nothing.txt"_s, u"0001"_s}), sink),
            MatchEnd::NoneFound);
        platform.nextFile(u"/l.xls"_s);
        QCOMPARE(
            matchNameListChosen(
                *g, QString(), [](const QString &) { return std::unique_ptr<ListSource>(); }, sink),
            MatchEnd::Unreadable);
        QCOMPARE(platform.messageLines(),
                 (QStringList{u"提示 / 还没有源文件"_s, u"信息提示 / 没有指定导入文件!"_s,
                              u"提示 / 没有和名单相同的源文件"_s}));
        QCOMPARE(column(*g, u"jg"_s), QStringList(6, QString()));
        QCOMPARE(g->rowCount(), 6);
    }

    // Esc is polled before each name: the third poll stops, two names done,
    // no question, the grid as it was at that moment.
    void stopBeforeName() {
        zorv::test::ScriptedPlatform platform;
        platform.escAfterPolls = 2;
        auto g = fileGrid();
        platform.nextFile(u"/l.txt"_s);
        EscSink sink;
        QCOMPARE(matchNameListChosen(*g, u"jpg"_s, linesOpener(kList), sink), MatchEnd::Stopped);
        QVERIFY(platform.messages.isEmpty());
        QCOMPARE(column(*g, u"jg"_s),
                 (QStringList{u"找到"_s, QString(), QString(), u"找到"_s, QString(), QString()}));
        QCOMPARE(g->rowCount(), 6);
    }

    void names() {
        QCOMPARE(listMatchName(u"0001"_s, u"jpg"_s), u"0001.jpg"_s);
        QCOMPARE(listMatchName(u"0001"_s, u"  "_s), u"0001"_s);
        QCOMPARE(listMatchName(u"a.b"_s, u"jpg"_s), u"a.b"_s);
        QCOMPARE(listLineValue(u"\t a.txt\tb"_s), u"a.txt"_s);
    }

    void fragmentFilter_data() {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty: found rows") << u"  "_s << QStringList{u"a.txt"_s, u"x.txt"_s};
        QTest::newRow("fragment") << u"0001"_s << QStringList{u"0001.jpg"_s, u"0001.png"_s};
        QTest::newRow("apostrophe") << u"o'k"_s << QStringList{u"it's o'k.txt"_s};
        QTest::newRow("tilde") << u"~"_s << QStringList{u"b~c.txt"_s};
    }
    void fragmentFilter() {
        QFETCH(QString, fragment);
        QFETCH(QStringList, shown);
        zorv::test::ScriptedPlatform platform;
        auto g = fileGrid();
        g->setItem(2, u"jg"_s, u"找到"_s);
        g->setItem(5, u"jg"_s, u"找到"_s);
        QVERIFY(filterByFragment(*g, fragment));
        QCOMPARE(column(*g, u"filey"_s), shown);
        QCOMPARE(platform.statusText(),
                 fragment.trimmed().isEmpty()
                     ? u"提示在过滤的文件名为空的情况下，就过滤丢未找到的记录"_s
                     : QString());
        clearFilter(*g);
        QCOMPARE(column(*g, u"filey"_s), kNames);
        auto empty = makeFrn1Grid();
        QVERIFY(!filterByFragment(*empty, fragment));
        QCOMPARE(platform.messageLines(), QStringList{u"提示 / 还没有源文件"_s});
    }
};

QTEST_GUILESS_MAIN(TestNameMatch)
#include "test_name_match.moc"
