#pragma once
// The application's global variables, shared by every window, and the
// application open step that comes before the login window.

#include <QString>

namespace zorv::app {

class InstanceLock;

struct Globals {
    QString lsPath;  // the current directory at start-up
    QString profile; // full path of the configuration file in use
    QString sysPath; // the folder of the ODBC drivers (the system library folder)
    QString lTablen; // purpose text of the table last focused in the catalogue browser
};

Globals &globals();

// The status-line text the frame shows when nothing else has been written.
QString defaultStatusText();

// Sets the default status-line text and refuses a second running instance:
// when lock is held elsewhere shows "提示" / "系统已经运行" and returns false
// (the program ends).
bool applicationOpen(InstanceLock &lock);

} // namespace zorv::app
