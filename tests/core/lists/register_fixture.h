#pragma once
// The register's database for the register tests: a new test database (the
// embedded file, or a schema on the test server in the server pass) and the
// transaction the tests use on it.

#include "core/db/transaction.h"
#include "support/tempdir.h"
#include "support/test_database.h"

#include <QString>

namespace zorv::test {

struct RegisterDb {
    // Connects tx with autocommit off, as the program's profile sets it;
    // false (with a warning) when the database cannot be reached.
    bool connect() {
        if (!database.isValid()) {
            qWarning("%s", qPrintable(database.error()));
            return false;
        }
        if (database.connect(tx, false) != 0) {
            qWarning("%s", qPrintable(tx.sqlerrtext()));
            return false;
        }
        return true;
    }
    // Makes the database refuse kind ("INSERT", "DELETE") of register rows
    // with message when condition (on NEW or OLD) holds; committed.
    bool refuse(const QString &kind, const QString &message, const QString &condition) {
        for (const QString &sql : database.refusal(QStringLiteral("refuse_") + kind.toLower(), kind,
                                                   QStringLiteral("htt1"), message, condition))
            if (tx.execute(sql) != 0) {
                qWarning("%s", qPrintable(tx.sqlerrtext()));
                return false;
            }
        return tx.commit() == 0;
    }
    // Lifts the refusal of kind again; committed.
    bool allow(const QString &kind) {
        return tx.execute(database.liftRefusal(QStringLiteral("refuse_") + kind.toLower(),
                                               QStringLiteral("htt1"))) == 0 &&
               tx.commit() == 0;
    }

    TestHome home;
    TestDatabase database{home};
    db::Transaction tx;
};

} // namespace zorv::test
