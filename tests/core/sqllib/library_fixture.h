#pragma once
// A library database for the SQL library tests: a temporary home with a new
// test database (the embedded file, or a schema on the test server in the
// server pass) connected on sqlca(), plus direct access to sqlt that
// bypasses the code under test.

#include "core/db/dialect.h"
#include "core/db/transaction.h"
#include "support/tempdir.h"
#include "support/test_database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zorv::test {

class LibraryDb {
public:
    LibraryDb() : m_database(m_home) {
        if (!m_database.isValid()) {
            qWarning("%s", qPrintable(m_database.error()));
            return;
        }
        m_ok = m_database.connect(db::sqlca()) == 0;
        if (!m_ok)
            qWarning("%s", qPrintable(db::sqlca().sqlerrtext()));
    }
    ~LibraryDb() { db::sqlca().disconnect(); }

    bool ok() const { return m_ok; }
    const TestHome &home() const { return m_home; }
    const TestDatabase &database() const { return m_database; }

    // Runs sql on the connection directly; false (with a warning) on failure.
    bool exec(const QString &sql, const QVariantList &args = {}) {
        QSqlQuery q(db::sqlca().database());
        q.prepare(db::forDriver(db::sqlca().database(), sql));
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
    // "UPDATE" or "DELETE") with the text "refused by test", when condition
    // (on NEW or OLD) holds if one is given.
    bool refuse(const QString &kind, const QString &when = {}) {
        for (const QString &sql :
             m_database.refusal(QStringLiteral("refuse_") + kind.toLower(), kind,
                                QStringLiteral("sqlt"), QStringLiteral("refused by test"), when))
            if (!exec(sql))
                return false;
        return true;
    }
    // Lifts the refusal of kind again.
    bool allow(const QString &kind) {
        return exec(m_database.liftRefusal(QStringLiteral("refuse_") + kind.toLower(),
                                           QStringLiteral("sqlt")));
    }

private:
    TestHome m_home;
    TestDatabase m_database;
    bool m_ok = false;
};

} // namespace zorv::test
