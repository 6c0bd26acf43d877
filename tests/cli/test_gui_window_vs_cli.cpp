// The file window itself (offscreen, driven through its controls by
// objectName with scripted dialog answers) against the command: the same grid,
// messages and files after every step of every case.
#include "cli_cases.h"
#include "support/scripted_platform.h"
#include "support/tempdir.h"

#include "gui/files/w_frn.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace zorv;
using namespace zorv::test;

namespace {

class GuiDriver final : public WindowDriver {
public:
    GuiDriver() { m_window.show(); }

    void step(const QStringList &args, const QString &root) override {
        m_platform.clearRecord();
        const QString sub = args.value(0);
        const QString arg = positional(args);
        const QString path = arg.isEmpty() ? QString() : QDir(root).absoluteFilePath(arg);
        if (sub == u"list") {
            check(u"cbx_1"_s, hasFlag(args, u"append"_s));
            check(u"cbx_2"_s, hasFlag(args, u"recursive"_s));
            check(u"cbx_4"_s, hasFlag(args, u"hidden"_s));
            m_platform.nextFolder(path);
            click(u"cb_1"_s);
        } else if (sub == u"names") {
            const int op = optionValue(args, u"op"_s).toInt(); // 0: the placeholder entry
            get<QComboBox>(u"ddlb_1"_s)->setCurrentIndex(op);
            get<QLineEdit>(u"em_1"_s)->setText(optionValue(args, op == 9 ? u"step"_s : u"start"_s));
            get<QLineEdit>(u"em_2"_s)->setText(optionValue(args, u"count"_s));
            get<QLineEdit>(u"em_3"_s)->setText(optionValue(args, u"text"_s));
            click(optionValue(args, u"on"_s) == u"target" ? u"rb_2"_s : u"rb_1"_s);
            click(u"cb_5"_s);
        } else if (sub == u"import-names") {
            const QString cols = optionValue(args, u"columns"_s);
            get<QSpinBox>(u"em_4"_s)->setValue(cols.isEmpty() ? 1 : cols.toInt());
            get<QLineEdit>(u"sle_1"_s)->setText(optionValue(args, u"rows"_s));
            m_platform.nextFile(path);
            click(u"cb_4"_s);
        } else if (sub == u"filter") {
            get<QLineEdit>(u"sle_1"_s)->setText(optionValue(args, u"suffix"_s));
            m_platform.nextFile(path);
            m_platform.nextAnswer(hasFlag(args, u"drop"_s) ? MsgAnswer::Cancel : MsgAnswer::Ok);
            click(u"cb_10"_s);
        } else if (sub == u"target") {
            check(u"cbx_3"_s, hasFlag(args, u"keep-tree"_s));
            m_platform.nextFolder(path);
            click(u"pb_1"_s);
        } else if (sub == u"run") {
            click(optionValue(args, u"mode"_s) == u"move" ? u"rb_5"_s : u"rb_6"_s);
            click(optionValue(args, u"overwrite"_s) == u"no" ? u"rb_8"_s : u"rb_7"_s);
            click(u"cb_3"_s);
        }
    }
    const Grid &grid() const override { return *m_window.grid(); }
    QStringList messages() const override {
        QStringList lines;
        for (const auto &r : m_platform.reviews) // before any message of the step
            lines << r.title + u": "_s + r.text;
        for (const ShownMessage &m : m_platform.messages)
            lines << QString(m.title + u": "_s + m.text).split(u'\n'); // as standard error shows it
        return lines;
    }
    // The window shows no return value; its grid and messages are compared.
    std::optional<bool> succeeded() const override { return std::nullopt; }

private:
    template <typename T> T *get(const QString &name) {
        T *c = m_window.findChild<T *>(name);
        if (!c)
            qFatal("w_frn has no control %s", qPrintable(name));
        return c;
    }
    // A click as the button takes it, also when the window hides it (the
    // preview button while no operation is chosen).
    void click(const QString &name) { get<QAbstractButton>(name)->click(); }
    void check(const QString &name, bool on) { get<QCheckBox>(name)->setChecked(on); }

    TestHome m_home;
    ScriptedPlatform m_platform;
    w_frn m_window;
};

} // namespace

class TestGuiWindowVsCli : public QObject {
    Q_OBJECT
private slots:
    void sameGridAsTheWindow_data() { addEquivalenceCases(); }
    void sameGridAsTheWindow() {
        GuiDriver window;
        checkEquivalence(window);
    }
};

QTEST_MAIN(TestGuiWindowVsCli)
#include "test_gui_window_vs_cli.moc"
