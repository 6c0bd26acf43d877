#pragma once
// The user's data folder: the folder the program works in when started from
// the desktop menu or from ./run (option --data-home). It holds zorv.ini and
// zorv.mdb, so the program needs nothing from the folder it was built in.

#include <QByteArray>
#include <QString>

namespace zorv::app {

// $ZORVANE_HOME when set and not empty, else ~/.local/share/zorvane; a
// relative $ZORVANE_HOME is taken from the current directory. Absolute.
QString dataHomePath();

// The zorv.ini a new data folder starts with: the embedded database through
// data source "zorv", autocommit on, first start pending (CR LF lines).
QByteArray defaultProfileBytes();

// Creates dir and its parents when missing and, when dir holds no zorv.ini,
// writes one with defaultProfileBytes(). An existing zorv.ini is left as it
// is. False with *error filled when the folder or the file cannot be made.
bool prepareDataHome(const QString &dir, QString *error);

// Prepares dataHomePath() and makes it the current directory. On failure
// shows the reason (also on standard error), changes nothing further and
// returns false: the program ends.
bool enterDataHome();

} // namespace zorv::app
