#pragma once
// Registration of the ODBC data source that points at the desktop database
// file, written into the per-user registry store.

#include "core/config/registry.h"

#include <QString>

namespace zorv::config {

// "HKEY_CURRENT_USER\Software\ODBC\ODBC.INI"
QString odbcIniKey();
// The ODBC.INI key, "\" and the data source name.
QString dataSourceKey(const QString &dsn);
// The folder where ODBC drivers are installed (the system library folder of
// this platform), e.g. "/usr/lib/x86_64-linux-gnu/odbc".
QString odbcDriverFolder();
// The file name of the desktop-database driver: a data source whose Driver
// ends in it opens its DBQ file as the embedded database.
QString desktopDriverFile();

// Deletes the value dsn under the ODBC.INI key, then writes every value of
// the data source in a fixed order: Driver (sysPath + "/odbcjt32.dll"), DBQ
// (database), DriverId, FIL, SafeTransactions, UID, Engines; Jet;
// ImplicitCommitSync, UserCommitSync, MaxBufferSize, PageTimeout, Threads; and
// the entry under "ODBC Data Sources". The store file is written once at the
// end; failed operations do not stop the sequence. Returns true when every
// operation succeeded.
bool regodbc(RegistryStore &store, const QString &dsn, const QString &database,
             const QString &sysPath);

} // namespace zorv::config
