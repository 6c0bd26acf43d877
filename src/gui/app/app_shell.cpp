#include "gui/app/app_shell.h"

#include "core/app/globals.h"
#include "core/db/transaction.h"
#include "gui/app/app_icon.h"
#include "gui/app/w_login.h"
#include "gui/app/w_main.h"

#include <QApplication>

namespace zorv::gui {

AppShell::AppShell(const QString &lockPath, QObject *parent) : QObject(parent), m_lock(lockPath) {
    QApplication::setApplicationName(QStringLiteral("zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));
    QApplication::setWindowIcon(appIcon());
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
    m_main->showMaximized();
}

} // namespace zorv::gui
