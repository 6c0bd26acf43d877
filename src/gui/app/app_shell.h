#pragma once
// The application object: holds the one-instance lock, runs the start-up
// through the login window and opens the frame.

#include "core/app/instance_lock.h"
#include "gui/app/w_login.h"
#include "gui/app/w_main.h"

#include <QObject>
#include <QPointer>

namespace zorv::gui {

class AppShell : public QObject {
    Q_OBJECT
public:
    explicit AppShell(const QString &lockPath = app::InstanceLock::defaultPath(),
                      QObject *parent = nullptr);
    ~AppShell() override;

    // Runs the start-up in startDir. False when the program ended during it
    // (second instance, no configuration file); otherwise the frame or the
    // login window is open and the event loop takes over.
    bool start(const QString &startDir);

    w_main *frame() const { return m_main; }
    w_login *login() const { return m_login; }

private:
    void openMain();

    app::InstanceLock m_lock;
    QPointer<w_login> m_login;
    QPointer<w_main> m_main;
};

} // namespace zorv::gui
