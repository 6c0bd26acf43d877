#include "gui/app/app_shell.h"

#include "core/app/globals.h"
#include "core/db/transaction.h"
#include "gui/app/app_icon.h"
#include "gui/app/w_login.h"
#include "gui/app/w_main.h"

#include <QApplication>
#include <QScreen>

namespace zorv::gui {

AppShell::AppShell(const QString &lockPath, QObject *parent) : QObject(parent), m_lock(lockPath) {
    QApplication::setApplicationName(QStringLiteral("zorvane"));
    // No display name: the desktop would append it to every window title, and
    // the frame's title already starts with "Zorvane" (with a maximised sheet
    // it reads "Zorvane - [文件批量处理]").
    // Ties the windows to the installed desktop entry (and its icon) on
    // desktops that match them by name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zorvane.Zorvane"));
    QApplication::setWindowIcon(appIcon());
    // The program ends only where it says so: closing the last window of the
    // moment (the open dialog before the message that follows it) must not
    // end it, and every ending path calls endProgram().
    QApplication::setQuitOnLastWindowClosed(false);
}

AppShell::~AppShell() {
    delete m_main;
    delete m_login;
    // The connection stays open for the life of the program and closes here.
    if (db::sqlca().isConnected())
        db::sqlca().disconnect();
}

bool AppShell::start(const QString &startDir) {
    if (!app::applicationOpen(m_lock))
        return false;
    m_login = new w_login;
    m_login->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_login, &w_login::openMainRequested, this, &AppShell::openMain);
    switch (m_login->open(startDir)) {
    case app::LoginStep::EndProgram:
        return false;
    case app::LoginStep::OpenMain:
        return true;
    default:
        m_login->show();
        return true;
    }
}

void AppShell::openMain() {
    if (m_main)
        return;
    m_main = new w_main;
    m_main->setAttribute(Qt::WA_DeleteOnClose);
    // The full work area also where no window manager maximises for us.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        m_main->setGeometry(screen->availableGeometry());
    m_main->showMaximized();
}

} // namespace zorv::gui
