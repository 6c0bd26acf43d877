#pragma once
// A library database for the SQL library tests: a temporary home (registry
// store inside it) with a new embedded database connected on sqlca(), plus
// direct access to sqlt that bypasses the code under test.

#include "core/config/regodbc.h"
#include "core/db/transaction.h"
#include "support/tempdir.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zorv::test {

class LibraryDb {
public:
    LibraryDb() {
        config::RegistryStore store;
        config::regodbc(store, QStringLiteral("zorv"), m_home.file(QStringLiteral("zorv.mdb")),
                        config::odbcDriverFolder());
        db::sqlca().setDbParm(QStringLiteral("ConnectString='DSN=zorv;UID=;PWD='"));
        db::sqlca().setAutoCommit(true);
        m_ok = db::sqlca().connect() == 0;
    }
    ~LibraryDb() { db::sqlca().disconnect(); }

    bool ok() const { return m_ok; }
    const TestHome &home() const { return m_home; }

    // Runs sql on the connection directly; false (with a warning) on failure.
    bool exec(const QString &sql, const QVariantList &args = {}) {
        QSqlQuery q(db::sqlca().database());
        q.prepare(sql);
        for (const QVariant &a : args)
            q.addBindValue(a);
        if (!q.exec()) {
            qWarning("%s", qPrintable(q.lastError().text()));
            return false;
        }
        return true;
    }
    bool add(const QVariant &sql, const QVariant &purpose, qint64 bh) {
        return exec(QStringLiteral("INSERT INTO sqlt (sql, purpose, bh) VALUES (?, ?, ?)"),
                    {sql, purpose, bh});
    }
    // Every entry as "bh:sql:purpose" (null written "~"), by number.
    QStringList entries() {
        QStringList out;
        QSqlQuery q(db::sqlca().database());
        q.exec(QStringLiteral("SELECT bh, sql, purpose FROM sqlt ORDER BY bh"));
        auto text = [](const QVariant &v) {
            return v.isNull() ? QStringLiteral("~") : v.toString();
        };
        while (q.next())
            out << q.value(0).toString() + u':' + text(q.value(1)) + u':' + text(q.value(2));
        return out;
    }
    // Makes the database refuse a kind of statement on sqlt ("INSERT",
    // "UPDATE" or "DELETE"), with condition (on NEW or OLD) when given.
    bool refuse(const QString &kind, const QString &when = {}) {
        return exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON sqlt %2 BEGIN "
                                   "SELECT RAISE(ABORT, 'refused by test'); END")
                        .arg(kind, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when));
    }

private:
    TestHome m_home;
    bool m_ok = false;
};

} // namespace zorv::test
