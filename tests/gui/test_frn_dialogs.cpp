// Every file and folder dialog of the file window, shown by the desktop
// platform while the window's busy guard may be active: a path typed with "/"
// opens the completion list, the list takes the next keys, Esc closes only
// the list, and Return accepts the dialog.
#include "core/grid/grid.h"
#include "gui/app/qt_platform.h"
#include "gui/files/w_frn.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

bool waitFor(const std::function<bool()> &done) {
    for (int i = 0; i < 500 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

// Keys as the window system delivers them: to the dialog's window, from where
// Qt routes them to an open pop-up.
void typeInto(QWindow *window, const QString &text) {
    for (QChar ch : text)
        QTest::keyClick(window, ch.toLatin1());
}

// Answers whatever modal window the handler under test opens.
class DialogDriver : public QObject {
public:
    QString home;
    QString acceptPath; // typed into the file dialog before Return
    int fileDialogs = 0;
    bool accepted = false;
    QStringList failures;
    QStringList messages;
    // Replaces the typing script when set.
    std::function<void(QFileDialog *)> custom;

    DialogDriver() {
        connect(&m_timer, &QTimer::timeout, this, &DialogDriver::poll);
        m_timer.start(20);
    }

private:
    void poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_inside)
            return;
        m_inside = true;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            driveFileDialog(dialog);
        else if (auto *box = qobject_cast<QMessageBox *>(modal))
            answer(box);
        else if (auto *other = qobject_cast<QDialog *>(modal))
            other->reject();
        m_inside = false;
    }

    void fail(QFileDialog *dialog, const QString &why) {
        failures << why;
        dialog->reject();
    }

    void driveFileDialog(QFileDialog *dialog) {
        ++fileDialogs;
        if (custom) {
            custom(dialog);
            if (!waitFor([&] { return !dialog->isVisible(); }))
                return fail(dialog, u"the dialog did not accept"_s);
            accepted = dialog->result() == QDialog::Accepted;
            return;
        }
        auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        QWindow *window = dialog->windowHandle();
        if (!edit || !window || !edit->completer())
            return fail(dialog, u"no name box with completion"_s);
        // A user types once the dialog has come up as the active window;
        // the window system's activation arrives after the dialog is shown.
        if (!waitFor([&] { return QApplication::activeWindow() == dialog; }))
            return fail(dialog, u"the dialog never became the active window"_s);
        dialog->setDirectory(home);
        edit->setFocus();
        edit->clear();
        // The completion list of "<home>/da" offers data1 and data2; the
        // folder is read in the background, so retype until it shows.
        QAbstractItemView *popup = edit->completer()->popup();
        const bool shown = waitFor([&] {
            if (!popup->isVisible()) {
                edit->clear();
                typeInto(window, home + u"/da"_s);
            }
            return popup->isVisible();
        });
        if (!shown)
            return fail(dialog, u"the completion list did not open"_s);
        typeInto(window, u"ta"_s); // "data" still has two completions
        if (edit->text() != home + u"/data"_s)
            return fail(dialog, u"keys did not reach the name box: "_s + edit->text());
        QTest::keyClick(window, Qt::Key_Escape);
        if (!waitFor([&] { return !popup->isVisible(); }) || !dialog->isVisible())
            return fail(dialog, u"Esc did more than close the completion list"_s);
        edit->setText(acceptPath);
        // The dialog enables its accept button only for a name its folder
        // model has read; the folder is read in the background, and the
        // button is judged again on the next key, so a user who sees it
        // greyed types on. Return is pressed once it is enabled.
        auto *buttons = dialog->findChild<QDialogButtonBox *>(u"buttonBox"_s);
        QPushButton *accept = buttons
                                  ? buttons->button(dialog->acceptMode() == QFileDialog::AcceptOpen
                                                        ? QDialogButtonBox::Open
                                                        : QDialogButtonBox::Save)
                                  : nullptr;
        // The folder read in the background may bring the list back: close
        // it before Return, which would otherwise only pick from it.
        const bool closed = waitFor([&] {
            if (popup->isVisible()) {
                QTest::keyClick(window, Qt::Key_Escape);
            } else if (accept && !accept->isEnabled()) {
                QTest::keyClick(window, Qt::Key_Backspace);
                typeInto(window, acceptPath.right(1));
            } else if (dialog->isVisible()) {
                QTest::keyClick(window, Qt::Key_Return);
            }
            return !dialog->isVisible();
        });
        if (!closed) {
            QWidget *focus = QApplication::focusWidget();
            return fail(
                dialog,
                u"Return did not accept "_s + acceptPath +
                    QStringLiteral(" [popup %1 button %2 text %3 focus %4 modal %5 active %6]")
                        .arg(popup->isVisible())
                        .arg(accept ? accept->isEnabled() : -1)
                        .arg(edit->text())
                        .arg(focus ? QString::fromLatin1(focus->metaObject()->className()) +
                                         focus->objectName()
                                   : u"none"_s)
                        .arg(QApplication::activeModalWidget() == dialog)
                        .arg(QApplication::activeWindow()
                                 ? QApplication::activeWindow()->objectName()
                                 : u"none"_s));
        }
        accepted = dialog->result() == QDialog::Accepted;
    }

    void answer(QMessageBox *box) {
        messages << box->windowTitle() + u'|' + box->text();
        QAbstractButton *button = box->defaultButton();
        if (!button)
            button = box->buttons().value(0);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            box->reject();
    }

    QTimer m_timer;
    bool m_inside = false;
};

} // namespace

class TestFrnDialogs : public QObject {
    Q_OBJECT
private slots:
    void everyDialogTakesTypedPaths_data();
    void everyDialogTakesTypedPaths();
    void saveAsWritesTheChosenType_data();
    void saveAsWritesTheChosenType();
};

void TestFrnDialogs::everyDialogTakesTypedPaths_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("withRows");
    QTest::addColumn<QString>("accept"); // relative to the home folder

    QTest::newRow("cb_1 source folder") << u"cb_1"_s << false << u"data1"_s;
    QTest::newRow("pb_1 target folder") << u"pb_1"_s << true << u"data2"_s;
    QTest::newRow("cb_9 parent of a new folder") << u"cb_9"_s << true << u"data2"_s;
    QTest::newRow("cb_15 saved list") << u"cb_15"_s << false << u"data1/names.xls"_s;
    QTest::newRow("cb_16 full paths") << u"cb_16"_s << false << u"data1/names.xls"_s;
    QTest::newRow("cb_4 new names") << u"cb_4"_s << true << u"data1/names.xls"_s;
    QTest::newRow("cb_10 name list") << u"cb_10"_s << true << u"data1/names.xls"_s;
    QTest::newRow("cb_2 source names out") << u"cb_2"_s << true << u"out_names.txt"_s;
    QTest::newRow("cb_11 save as") << u"cb_11"_s << true << u"out_grid.txt"_s;
}

void TestFrnDialogs::everyDialogTakesTypedPaths() {
    QFETCH(QString, button);
    QFETCH(bool, withRows);
    QFETCH(QString, accept);

    zorv::test::TestHome home;
    // A file the dialogs' first type shows (its content is no spreadsheet:
    // the handlers say so, which is not what is tested here).
    QVERIFY(zorv::test::writeFile(home.file(u"data1/names.xls"_s), "a.txt\nb.txt\n"));
    QVERIFY(zorv::test::writeFile(home.file(u"data2/keep.txt"_s), "x"));
    zorv::gui::QtPlatform desktop;
    zorv::setPlatform(&desktop);

    w_frn w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (withRows) {
        const QString row = u"1\t"_s + home.path() + u"/data1/\tnames.txt\tnew.txt\t\t\t\n"_s;
        QVERIFY(w.grid()->importText(row).ok());
    }

    DialogDriver driver;
    driver.home = home.path();
    driver.acceptPath = home.file(accept);
    QTest::mouseClick(w.findChild<QAbstractButton *>(button), Qt::LeftButton);

    QVERIFY2(driver.failures.isEmpty(), qPrintable(driver.failures.join(u"; "_s)));
    QCOMPARE(driver.fileDialogs, 1);
    QVERIFY(driver.accepted);
    QVERIFY2(!driver.messages.contains(u"提示|目标文件夹选择被取消"_s),
             qPrintable(driver.messages.join(u"; "_s)));
    if (button == u"cb_1")
        QVERIFY(w.grid()->rowCount() > 0);
    if (button == u"cb_2" || button == u"cb_11")
        QVERIFY(QFile::exists(home.file(accept)));
}

void TestFrnDialogs::saveAsWritesTheChosenType_data() {
    QTest::addColumn<QString>("type"); // the start of the type's caption
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("Excel type, bare name")
        << u"Excel"_s << u"结果表"_s << u"结果表.xlsx"_s << QByteArray("PK");
    QTest::newRow("text type, typed .xlsx")
        << u"文本"_s << u"结果2.xlsx"_s << u"结果2.xlsx"_s << QByteArray("PK");
    QTest::newRow("CSV type, bare name")
        << u"CSV"_s << u"名单"_s << u"名单.csv"_s << QByteArray("\xEF\xBB\xBF序号,");
    QTest::newRow("text type, bare name")
        << u"文本"_s << u"名单"_s << u"名单.txt"_s << QByteArray("\xEF\xBB\xBF序号\t");
}

// "另存为" through the real save dialog: the type chosen in the dialog and
// the typed name decide the file, which gets the user's ordinary permissions.
void TestFrnDialogs::saveAsWritesTheChosenType() {
    QFETCH(QString, type);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, starts);

    zorv::test::TestHome home;
    zorv::gui::QtPlatform desktop;
    zorv::setPlatform(&desktop);
    w_frn w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.grid()->importText(u"1\t/d/\ta.txt\tb.txt\t\t\t\n"_s).ok());

    DialogDriver driver;
    driver.custom = [&](QFileDialog *dialog) {
        auto *types = dialog->findChild<QComboBox *>(u"fileTypeCombo"_s);
        const int index = types ? types->findText(type, Qt::MatchStartsWith) : -1;
        if (index < 0)
            return dialog->reject();
        // What the drop-down sends when the user picks a type.
        types->setCurrentIndex(index);
        emit types->activated(index);
        emit types->textActivated(types->itemText(index));
        dialog->findChild<QLineEdit *>(u"fileNameEdit"_s)->setText(home.file(typed));
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
    };
    const mode_t oldMask = ::umask(022);
    QTest::mouseClick(w.findChild<QAbstractButton *>(u"cb_11"_s), Qt::LeftButton);
    ::umask(oldMask);

    QVERIFY(driver.accepted);
    QVERIFY2(driver.messages.isEmpty(), qPrintable(driver.messages.join(u"; "_s)));
    QFile file(home.file(written));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(QDir(home.path()).entryList().join(u' ')));
    QVERIFY(file.read(starts.size()) == starts);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(home.file(written)).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0644);
    // Nothing else was written beside it.
    QCOMPARE(QDir(home.path()).entryList(QDir::Files).size(), 1);
}

QTEST_MAIN(TestFrnDialogs)
#include "test_frn_dialogs.moc"
