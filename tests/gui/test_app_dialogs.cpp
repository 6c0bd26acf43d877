// The desktop platform's dialogs and openers: Qt's own buttons in Chinese,
// one-line window titles, and an opener's failure reported instead of lost.
#include "gui/app/qt_chinese.h"
#include "gui/app/qt_platform.h"
#include "support/tempdir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using zorv::gui::QtPlatform;

namespace {

QStringList buttonTexts(QWidget *dialog) {
    QStringList out;
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        if (b->isVisible() && qobject_cast<QDialogButtonBox *>(b->parentWidget()))
            out << b->text().remove(u'&').remove(QRegularExpression(u"\\(\\w\\)$"_s));
    out.sort();
    return out;
}

} // namespace

class TestAppDialogs : public QObject {
    Q_OBJECT
private slots:
    void qtButtonsReadInChinese();
    void openerFailuresAreReported_data();
    void openerFailuresAreReported();
};

void TestAppDialogs::qtButtonsReadInChinese() {
    zorv::test::TestHome home;
    QTranslator *chinese = zorv::gui::installQtChinese(*qApp);
    if (!chinese)
        QSKIP("Qt's Chinese translation is not installed (Debian qt6-translations-l10n)");
    QtPlatform qp;
    zorv::setPlatform(&qp);

    QStringList boxButtons;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxButtons = buttonTexts(box);
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(qp.messageBox(u"提示"_s, u"按确定将删除文件"_s, zorv::MsgIcon::Question,
                           zorv::MsgButtons::OkCancel),
             zorv::MsgAnswer::Ok);
    QCOMPARE(boxButtons, (QStringList{u"取消"_s, u"确定"_s}));

    // A title written with a line break shows on one line.
    QString title;
    QStringList folderButtons;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        folderButtons = buttonTexts(dialog);
        dialog->reject();
    });
    QVERIFY(!qp.chooseFolder(
        u"选择欲放置更名后的文件所在的目标文件夹\r\n（目标文件夹允许和源文件夹相同）"_s));
    QCOMPARE(title, u"选择欲放置更名后的文件所在的目标文件夹 （目标文件夹允许和源文件夹相同）"_s);
    QCOMPARE(folderButtons, (QStringList{u"取消"_s, u"选择"_s}));

    QCoreApplication::removeTranslator(chinese);
    delete chinese;
}

void TestAppDialogs::openerFailuresAreReported_data() {
    QTest::addColumn<QString>("script"); // the opener's body; empty: no opener at all
    QTest::addColumn<bool>("opens");
    QTest::newRow("opener succeeds") << u"exit 0"_s << true;
    QTest::newRow("no program for the file") << u"echo 'no method' >&2; exit 4"_s << false;
    QTest::newRow("no opener installed") << QString() << false;
}

void TestAppDialogs::openerFailuresAreReported() {
    QFETCH(QString, script);
    QFETCH(bool, opens);
    zorv::test::TestHome home;
    const QString bin = home.file(u"bin"_s);
    QVERIFY(zorv::test::writeFile(home.file(u"a b.txt"_s), "x"));
    QVERIFY(zorv::test::writeFile(bin + u"/keep"_s, ""));
    if (!script.isEmpty()) {
        const QString opener = bin + u"/xdg-open"_s;
        QVERIFY(zorv::test::writeFile(opener, "#!/bin/sh\n" + script.toUtf8() + '\n'));
        QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    QtPlatform qp;
    const bool available = qp.shellAvailable();
    const int code = qp.shellOpen(home.file(u"a b.txt"_s));
    const bool folder = qp.openFolder(home.path());
    const bool url = qp.openUrl(u"https://www.zorvane.example/"_s);
    qputenv("PATH", oldPath);

    QCOMPARE(available, !script.isEmpty());
    QCOMPARE(code > 32, opens);
    QCOMPARE(folder, opens);
    QCOMPARE(url, opens);
}

QTEST_MAIN(TestAppDialogs)
#include "test_app_dialogs.moc"
