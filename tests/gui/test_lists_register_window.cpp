// The register window w_htmtww and its remark dialog w_jbz, offscreen, driven
// by objectName against a new test database of each home.
#include "core/db/statements.h"
#include "core/grid/grid.h"
#include "gui/app/w_main.h"
#include "gui/grid/grid_view.h"
#include "gui/lists/w_htmtww.h"
#include "gui/lists/w_jbz.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"
#include "support/test_database.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace zorv;

namespace {

struct Fixture {
    test::TestHome home;
    test::TestDatabase database{home};
    test::ScriptedPlatform p;
    std::unique_ptr<w_htmtww> w;

    Fixture() {
        if (!database.isValid())
            qFatal("no database: %s", qPrintable(database.error()));
        if (database.connect(db::sqlca(), false) != 0)
            qFatal("no database: %s", qPrintable(db::sqlca().sqlerrtext()));
        w = std::make_unique<w_htmtww>();
        w->show();
    }
    ~Fixture() {
        w.reset();
        db::sqlca().disconnect();
    }
    void insert(int bs, const QString &md, const QString &jg) {
        db::insertRegister(db::sqlca(), 1, bs, QDateTime(QDate::currentDate(), QTime(0, 0)), md,
                           jg);
        db::sqlca().commit();
    }
    template <typename T = QWidget> T *get(const QString &name) const {
        T *c = w->findChild<T *>(name);
        if (!c)
            qFatal("no control %s", qPrintable(name));
        return c;
    }
    void click(const QString &name) const { get<QPushButton>(name)->click(); }
    gui::GridView *view() const { return get<gui::GridView>(u"dw_1"_s); }
    Grid &grid() const { return *w->grid(); }
    QVariant stored(const QString &column, qint64 bh) const {
        const auto row =
            db::sqlca().selectRow(u"SELECT "_s + column + u" FROM htt1 WHERE bh = ?"_s, {bh});
        return row ? row->value(0) : QVariant();
    }
};

} // namespace

class TestListsRegisterWindow : public QObject {
    Q_OBJECT
private slots:
    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char *, QString>> rows{
            {"st_2", u"结果"_s},     {"st_5", u"名单"_s},     {"st_14", u"日期起"_s},
            {"st_3", u"标识号起"_s}, {"st_10", u"日期止"_s},  {"st_4", u"标识号止"_s},
            {"cb_1", u"查询"_s},     {"cb_4", u"删除选中"_s}, {"cb_3", u"删除全部"_s},
            {"cb_2", u"另存为"_s},   {"cb_5", u"取消(&Q)"_s}, {"rb_1", u"打开文件"_s},
            {"rb_2", u"添加备注"_s}, {"gb_1", u"查询条件"_s}, {"gb_2", u"双击"_s}};
        for (const auto &[name, text] : rows)
            QTest::newRow(name) << QString::fromLatin1(name) << text;
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Fixture f;
        QWidget *c = f.get(name);
        QString shown;
        if (auto *l = qobject_cast<QLabel *>(c))
            shown = l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(c))
            shown = b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(c))
            shown = g->title();
        QCOMPARE(shown, text);
    }

    void startState() {
        Fixture f;
        QCOMPARE(f.w->windowTitle(), u"名单查询、修改、删除"_s);
        QVERIFY(f.get<QRadioButton>(u"rb_1"_s)->isChecked());
        for (const char *name : {"sle_1", "sle_3"})
            QVERIFY(f.get<QLineEdit>(QString::fromLatin1(name))->text().isEmpty());
        QCOMPARE(f.get<QLineEdit>(u"em_srsq1"_s)->text(), u"--"_s);
        QCOMPARE(f.get<QSpinBox>(u"em_2"_s)->cleanText(), QString());
        QCOMPARE(f.get<QSpinBox>(u"em_3"_s)->maximum(), 99999);
        QCOMPARE(f.grid().rowCount(), qint64(0));
        const QStringList captions{u"编号"_s, u"序号"_s, u"标识号"_s, u"日期"_s,
                                   u"名单"_s, u"结果"_s, u"备注"_s};
        for (int c = 0; c < captions.size(); ++c)
            QCOMPARE(f.grid().columns()[c].caption, captions[c]);
    }

    void openedFromTheMenu() {
        test::TestHome home;
        test::ScriptedPlatform p;
        gui::w_main frame;
        frame.show();
        for (const char *item : {"m_mdcxwh", "m_hbbl", "m_zhal"})
            QVERIFY2(frame.findChild<QAction *>(QString::fromLatin1(item))->isEnabled(), item);
        frame.findChild<QAction *>(u"m_mdcxwh"_s)->trigger();
        QCOMPARE(frame.sheets(7).size(), 1);
        QCOMPARE(frame.sheets(7).constFirst()->objectName(), u"w_htmtww"_s);
        frame.findChild<QAction *>(u"m_hbbl"_s)->trigger();
        frame.findChild<QAction *>(u"m_zhal"_s)->trigger();
        frame.findChild<QAction *>(u"m_hbbl"_s)->trigger();
        QCOMPARE(frame.findChildren<QWidget *>(u"w_hbbl"_s).size(), 1);
        QWidget *cfal = frame.findChild<QWidget *>(u"w_cfal"_s);
        QVERIFY(cfal && cfal->isWindow() && cfal->isVisible());
        QCOMPARE(cfal->windowTitle(), u"A列复合字段转单一字段"_s);
    }

    void queryByTheFields() {
        Fixture f;
        f.insert(2, u"张三"_s, u"相同"_s);
        f.insert(2, u"李四"_s, u"不同"_s);
        f.insert(1, u"王五"_s, u"相同"_s);
        f.insert(12, u"赵六"_s, u"不同"_s);
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().rowCount(), qint64(3)); // bs 0 to 9
        f.get<QSpinBox>(u"em_2"_s)->setValue(2);
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().rowCount(), qint64(2));
        QCOMPARE(f.grid().getItemString(1, u"md"_s), u"张三"_s);
        f.get<QLineEdit>(u"sle_1"_s)->setText(u"不"_s);
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().rowCount(), qint64(1));
        f.get<QSpinBox>(u"em_2"_s)->setValue(10);
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().getItemString(1, u"md"_s), u"赵六"_s);
        QVERIFY(f.p.messages.isEmpty());

        f.get<QLineEdit>(u"em_srsq1"_s)->setText(u"2026-02-30"_s);
        f.click(u"cb_1"_s);
        QCOMPARE(f.p.messageLines(), QStringList{u"提示 / 请正确输入输入日期起"_s});
        QCOMPARE(f.grid().rowCount(), qint64(1));
    }

    void patternFieldsHint() {
        Fixture f;
        for (const char *name : {"sle_3", "sle_1"}) {
            f.p.setStatusText(QString());
            QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(f.get(QString::fromLatin1(name)), &in);
            QCOMPARE(f.p.statusText(), w_htmtww::patternHint());
        }
    }

    void deleteSelectedByCtrlClick() {
        Fixture f;
        for (int i = 0; i < 4; ++i)
            f.insert(1, u"n%1"_s.arg(i), u"相同"_s);
        f.click(u"cb_1"_s);
        // A plain click selects nothing; Ctrl-clicks do.
        emit f.view()->clicked(1, u"md"_s);
        QCOMPARE(f.grid().selectedCount(), qint64(0));
        f.p.ctrl = true;
        emit f.view()->clicked(2, u"md"_s);
        emit f.view()->clicked(4, u"md"_s);
        f.p.ctrl = false;
        f.click(u"cb_4"_s);
        QCOMPARE(f.p.messageLines(), QStringList{u"提示 / 删除成功，共删除 2 行。"_s});
        QCOMPARE(f.grid().rowCount(), qint64(4));
        f.p.clearRecord();
        f.click(u"cb_3"_s);
        QCOMPARE(f.p.messageLines(), QStringList{u"提示 / 删除成功，共删除 2 行。"_s});
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().rowCount(), qint64(0));
    }

    void doubleClickOpensTheFile() {
        Fixture f;
        emit f.view()->doubleClicked(0, QString());
        const QString file = f.home.file(u"名单.txt"_s);
        QVERIFY(test::writeFile(file, "x"));
        f.insert(1, u"  "_s + file + u" "_s, u"相同"_s);
        f.insert(1, f.home.file(u"missing.txt"_s), u"相同"_s);
        f.click(u"cb_1"_s);
        emit f.view()->doubleClicked(1, u"md"_s);
        emit f.view()->doubleClicked(2, u"md"_s);
        QCOMPARE(f.p.shellOpened, QStringList{file});
        QCOMPARE(f.p.messageLines(),
                 (QStringList{u"提示 / 数据窗口为空的情况下，不能通过双击打开源文件"_s,
                              u"提示 / 你要打开的文件不存在"_s}));
    }

    void doubleClickAddsRemark() {
        Fixture f;
        f.insert(1, u"张三"_s, u"相同"_s);
        f.click(u"cb_1"_s);
        const qint64 bh = qint64(f.grid().getItemNumber(1, u"bh"_s));
        f.get<QRadioButton>(u"rb_2"_s)->setChecked(true);
        QString number, title;
        int typed = -1;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<w_jbz *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            number = dialog->findChild<QLabel *>(u"st_1"_s)->text();
            auto *edit = dialog->findChild<QPlainTextEdit *>(u"mle_1"_s);
            edit->setPlainText(u" "_s + QString(60, u'备'));
            typed = int(edit->toPlainText().size());
            dialog->findChild<QPushButton *>(u"cb_1"_s)->click();
            dialog->findChild<QPushButton *>(u"cb_2"_s)->click();
        });
        emit f.view()->doubleClicked(1, u"md"_s);
        QCOMPARE(title, u"添加备注"_s);
        QCOMPARE(number, QString::number(bh));
        QCOMPARE(typed, 50);
        QCOMPARE(f.p.messageLines(), QStringList{u"提示 / 保存成功!"_s});
        QCOMPARE(f.stored(u"bz"_s, bh).toString(), QString(49, u'备'));
        // The grid shows the remark after the next query only.
        QCOMPARE(f.grid().getItemString(1, u"bz"_s), QString());
        f.click(u"cb_1"_s);
        QCOMPARE(f.grid().getItemString(1, u"bz"_s), QString(49, u'备'));
    }
};

QTEST_MAIN(TestListsRegisterWindow)
#include "test_lists_register_window.moc"
