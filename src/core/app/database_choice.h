#pragma once
// Which database file start-up connects to when the data source registered
// for this user and the start-up folder disagree: the registration may still
// point at a "zorv.mdb" in a folder the program was started from before (or
// another user's copy), while the folder of this start holds its own.
// Nothing is ever chosen silently: the user is asked.

#include "core/config/registry.h"

#include <QString>

namespace zorv::app {

// The database file the data source dsn opens as the embedded database (its
// DBQ), empty when the source is not registered with the desktop driver.
QString registeredDatabase(const config::RegistryStore &store, const QString &dsn);

// True when registered names a "zorv.mdb" that is not the same file as
// startDatabase while startDatabase exists. Files are compared by identity,
// so another spelling of the same path (a symbolic link, "..") is the same.
bool isOtherFoldersDatabase(const QString &registered, const QString &startDatabase);

// Asks "提示" with both paths which file to use; true when the user chooses
// the start-up folder's file.
bool askUseStartDatabase(const QString &registered, const QString &startDatabase);

} // namespace zorv::app
