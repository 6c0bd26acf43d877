#pragma once
// The logic of the login window: the start-up steps from locating the
// configuration to the first connect, the register button, and the login
// check with its four tries. The window shows the step it is told to take.
// Messages and the open dialog go through zorv::platform().

#include "core/db/transaction.h"

#include <QString>

namespace zorv::app {

enum class LoginStep {
    OpenMain,      // open the main frame and close the login window
    WaitForLogin,  // connected: OK shown, register hidden
    OfferRegister, // not connected: register shown, OK hidden
    RetryLogin,    // a failed try: focus back to the user name
    Nothing,       // no user name typed: nothing happens
    EndProgram,    // the whole program ends
};

class LoginLogic {
public:
    explicit LoginLogic(db::Transaction &tx = db::sqlca());

    // The window's open: locate "zorv.ini" and "zorv.mdb" in startDir (asking
    // for another configuration file when it is missing), read the
    // configuration, register the data source on first run, connect, and
    // skip the login when no account is set. When the registered data source
    // opens a "zorv.mdb" of another folder while startDir has its own, asks
    // which to use first (re-registering for the start folder's). Fills globals().
    LoginStep open(const QString &startDir);
    // The register button: registers again, re-reads the connection settings
    // and retries the connect once; a second failure ends the program.
    LoginStep registerClicked();
    // The OK button: the login check.
    LoginStep okClicked(const QString &name, const QString &password);

    QString database() const { return m_database; } // ls_database
    QString dsnName() const { return m_dsn; }       // dns_name
    QString user() const { return m_uid; }          // ls_uid
    QString password() const { return m_pwd; }      // ls_pwd
    int failedTries() const { return m_failed; }    // ii_time

private:
    QString connectParameters() const;
    void readAutoCommit();
    LoginStep afterConnect();
    void registerDataSource();
    void chooseDatabase();

    db::Transaction &m_tx;
    QString m_database;
    QString m_dsn;
    QString m_uid;
    QString m_pwd;
    int m_failed = 0;
};

} // namespace zorv::app
