#include "core/db/transaction.h"

#include "core/config/registry.h"
#include "core/config/regodbc.h"
#include "core/db/odbc_state.h"
#include "core/db/publish_file.h"
#include "core/db/schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <algorithm>

namespace zorv::db {
namespace {

QString errorText(const QSqlError &e) {
    const QString t = e.databaseText().trimmed();
    return t.isEmpty() ? e.text().trimmed() : t;
}

// Qt's ODBC driver puts "DSN=" in front of the name it is given unless the
// text names a driver or server itself: it is given the data source name
// first and the other keys after it.
QString odbcDatabaseName(const QString &connectString) {
    if (connectString.contains(u"DRIVER=", Qt::CaseInsensitive) ||
        connectString.contains(u"SERVER=", Qt::CaseInsensitive) ||
        connectString.contains(u".dsn", Qt::CaseInsensitive))
        return connectString;
    QString dsn;
    QStringList rest;
    for (const QString &part : connectString.split(u';')) {
        const qsizetype eq = part.indexOf(u'=');
        if (dsn.isEmpty() && eq > 0 &&
            part.left(eq).trimmed().compare(u"DSN", Qt::CaseInsensitive) == 0)
            dsn = part.mid(eq + 1).trimmed();
        else
            rest << part;
    }
    rest.prepend(dsn);
    return rest.join(u';');
}

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("zorv_transaction_%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

} // namespace

Transaction::Transaction() : m_name(nextConnectionName()) {}

Transaction::~Transaction() {
    if (m_connected)
        disconnect();
    closeConnection();
}

QSqlDatabase Transaction::database() const {
    return m_connected ? QSqlDatabase::database(m_name, false) : QSqlDatabase();
}

int Transaction::fail(const QString &text, int code) {
    m_sqlcode = code;
    m_sqlnrows = 0;
    m_sqlerrtext = text;
    m_sqlstate.clear();
    m_conflict = false;
    m_keyTaken = false;
    return m_sqlcode;
}

// A failure the database reported: its text, and what its code says about
// another writer or the connection.
int Transaction::failOn(const QSqlError &error, const QString &state) {
    fail(m_dialect == Dialect::PostgreSQL ? serverMessage(errorText(error)) : errorText(error));
    m_sqlstate = state;
    if (m_dialect == Dialect::Embedded) {
        // SQLite's primary codes 5 (busy) and 6 (locked), also inside an extended code.
        const int extended = error.nativeErrorCode().toInt();
        const int code = extended & 0xff;
        m_conflict = code == 5 || code == 6;
        // SQLITE_CONSTRAINT_PRIMARYKEY and SQLITE_CONSTRAINT_UNIQUE.
        m_keyTaken = extended == 1555 || extended == 2067 ||
                     (extended == 19 && m_sqlerrtext.contains(u"UNIQUE constraint failed"));
    } else {
        m_conflict = isConflictState(state);
        m_keyTaken = state == u"23505";
        if (isConnectionState(state) || !database().isOpen() || odbcConnectionDead(database()))
            m_lost = true;
    }
    return m_sqlcode;
}

int Transaction::reportQueryFailure(const QSqlQuery &query) {
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    return failOn(query.lastError(), odbcState(database(), query));
}

int Transaction::succeed(qint64 rows) {
    m_sqlstate.clear();
    m_conflict = false;
    m_keyTaken = false;
    m_sqlcode = 0;
    m_sqlnrows = rows;
    m_sqlerrtext.clear();
    return 0;
}

void Transaction::closeConnection() {
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_connected = false;
    m_inTransaction = false;
    m_begun = false;
    m_lost = false;
    m_dialect = Dialect::Embedded;
    m_file.clear();
    ++m_serial;
}

int Transaction::connect() {
    if (m_connected)
        disconnect();
    closeConnection();
    m_created = false;
    m_creationFailed = false;

    // Only the ODBC interface exists; an empty name (a profile without the
    // key) means it too rather than a connection that can never succeed.
    const QString dbms = m_dbms.trimmed();
    if (!dbms.isEmpty() && dbms.compare(u"ODBC", Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("不支持的数据库接口: ") + dbms);

    const QString connectString = connectStringOf(m_dbParm);
    const QString dsn = connectValue(connectString, QStringLiteral("DSN"));
    if (dsn.isEmpty())
        return fail(QStringLiteral("连接参数中没有数据源名(DSN): ") + withoutPassword(m_dbParm));

    config::RegistryStore store;
    const QString key = config::dataSourceKey(dsn);
    const auto driver = store.value(key, QStringLiteral("Driver"));
    const bool desktop =
        driver && driver->text.endsWith(config::desktopDriverFile(), Qt::CaseInsensitive);
    const bool opened =
        desktop ? openDesktopDatabase(
                      store.value(key, QStringLiteral("DBQ")).value_or(config::RegValue{}).text)
                : openOdbc(connectString);
    if (!opened) {
        closeConnection();
        return m_sqlcode;
    }
    m_connected = true;
    if (!beginIfManual()) {
        const QString text = m_sqlerrtext;
        closeConnection();
        return fail(text);
    }
    return succeed();
}

bool Transaction::createDesktopDatabase(const QString &path) {
    const QFileInfo fi(path);
    const QString folder = QDir::toNativeSeparators(fi.absolutePath());
    auto cannotCreate = [&](const QString &why) {
        m_creationFailed = true;
        fail(QStringLiteral("无法在文件夹“%1”中创建数据库文件“%2”：%3")
                 .arg(folder, fi.fileName(), why));
        return false;
    };
    if (!fi.absoluteDir().exists())
        return cannotCreate(QStringLiteral("文件夹不存在"));

    // The schema is built in a temporary file beside the target and published
    // under the final name only when complete, so a crash never leaves a
    // half-made database behind.
    QTemporaryFile tmp(fi.absolutePath() + QStringLiteral("/.") + fi.fileName() +
                       QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return cannotCreate(tmp.errorString());
    const QString tmpPath = tmp.fileName();
    tmp.close();

    QString error;
    bool ok = false;
    {
        const QString name = m_name + QStringLiteral("_create");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(tmpPath);
            if (!db.open())
                error = errorText(db.lastError());
            else
                ok = createSchema(db, &error);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    bool exists = false;
    if (ok && !publishNoReplace(tmpPath, path, &error, &exists)) {
        // Someone else created the file meanwhile: theirs is used.
        ok = exists;
    }
    QFile::remove(tmpPath);
    QFile::remove(tmpPath + QStringLiteral("-journal"));
    if (!ok)
        return cannotCreate(error);
    m_created = true;
    return true;
}

bool Transaction::openDesktopDatabase(const QString &path) {
    if (path.trimmed().isEmpty()) {
        fail(QStringLiteral("数据源没有指定数据库文件(DBQ)"));
        return false;
    }
    if (!QFileInfo::exists(path) && !createDesktopDatabase(path))
        return false;
    if (QFileInfo(path).isDir()) {
        fail(QStringLiteral("“%1”是文件夹，不是数据库文件").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!db.isValid()) {
        fail(errorText(db.lastError()));
        return false;
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        fail(errorText(db.lastError()));
        return false;
    }
    // SQLite opens any file; the first read tells whether it is a database.
    QString error;
    if (!checkSchema(db, &error)) {
        fail(error);
        return false;
    }
    m_file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return true;
}

bool Transaction::openOdbc(const QString &connectString) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    if (!db.isValid()) {
        fail(QStringLiteral("ODBC驱动程序不可用: ") + errorText(db.lastError()));
        return false;
    }
    db.setDatabaseName(odbcDatabaseName(connectString));
    if (!db.open()) {
        fail(withoutPassword(errorText(db.lastError())));
        return false;
    }
    m_dialect = dialectOf(db);
    return !m_requireSchema || checkServerSchema();
}

// A server database that lacks the program's tables is refused at once with
// the way to create them, instead of failing at every statement later.
bool Transaction::checkServerSchema() {
    if (m_dialect != Dialect::PostgreSQL)
        return true;
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    if (!q.exec(QStringLiteral("SELECT table_name FROM information_schema.tables "
                               "WHERE table_schema = current_schema()"))) {
        fail(errorText(q.lastError()));
        return false;
    }
    QStringList present;
    while (q.next())
        present << q.value(0).toString().toLower();
    QStringList missing;
    for (const QString &t : tableNames())
        if (!present.contains(t))
            missing << t;
    if (missing.isEmpty())
        return true;
    const QString dsn = connectValue(connectStringOf(m_dbParm), QStringLiteral("DSN"));
    fail(QStringLiteral("数据库中没有本系统的表(%1)，请先用“zorv db init --dsn %2”建立")
             .arg(missing.join(QStringLiteral(", ")), dsn));
    return false;
}

bool Transaction::beginIfManual() {
    if (m_autoCommit || m_inTransaction)
        return true;
    QSqlDatabase db = database();
    if (!db.transaction()) {
        failOn(db.lastError(), odbcState(db));
        return false;
    }
    m_inTransaction = true;
    return true;
}

// After the server connection was lost, the next statement that does not
// belong to a transaction begun before the loss connects again. Work of such
// a transaction is gone with the connection: its statements fail until the
// owner ends it, so nothing after the loss is stored as if it were whole.
bool Transaction::reconnectIfLost() {
    if (!m_lost)
        return true;
    if (m_begun) {
        fail(QStringLiteral("与数据库的连接已断开，本事务中的修改没有保存"));
        m_lost = true;
        return false;
    }
    if (connect() != 0)
        return false;
    return true;
}

int Transaction::disconnect() {
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    int code = 0;
    if (m_inTransaction) {
        // Work begun through begin() and never committed is its owner's to
        // keep; closing drops it rather than deciding for the owner.
        QSqlDatabase db = database();
        if (!(m_begun ? db.rollback() : db.commit()))
            code = fail(errorText(db.lastError()));
    }
    closeConnection();
    return code == 0 ? succeed() : code;
}

// The steps every statement shares: connected, in a transaction when
// autocommit is off, prepared, bound and run. Nothing (sqlcode set) on failure.
std::optional<QSqlQuery> Transaction::runStatement(const QString &sql, const QVariantList &args,
                                                   bool forwardOnly) {
    if (!m_connected) {
        fail(QStringLiteral("未连接数据库"));
        return std::nullopt;
    }
    if (!reconnectIfLost() || !beginIfManual())
        return std::nullopt;
    QSqlDatabase db = database();
    QSqlQuery q(db);
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(forDialect(m_dialect, sql))) {
        failOn(q.lastError(), odbcState(db, q));
        return std::nullopt;
    }
    for (const QVariant &a : args)
        q.addBindValue(a);
    if (!q.exec()) {
        failOn(q.lastError(), odbcState(db, q));
        return std::nullopt;
    }
    return q;
}

int Transaction::execute(const QString &sql, const QVariantList &args) {
    const std::optional<QSqlQuery> q = runStatement(sql, args, false);
    if (!q)
        return m_sqlcode;
    const int changed = q->isSelect() ? 0 : q->numRowsAffected();
    return succeed(changed < 0 ? 0 : changed);
}

int Transaction::insertRows(const QString &table, const QStringList &columns,
                            const QList<QVariantList> &rows) {
    // At most 900 values a statement: under the embedded database's limit
    // of 999 host variables in one statement.
    const qsizetype perStatement =
        std::max<qsizetype>(1, 900 / std::max<qsizetype>(1, columns.size()));
    QString one = QStringLiteral("(");
    for (qsizetype c = 0; c < columns.size(); ++c)
        one += c == 0 ? QStringLiteral("?") : QStringLiteral(",?");
    one += u')';
    const QString head = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                         columns.join(u',') + QStringLiteral(") VALUES ");
    auto statement = [&](qsizetype n) {
        QString sql = head;
        sql.reserve(head.size() + n * (one.size() + 1));
        for (qsizetype r = 0; r < n; ++r) {
            if (r > 0)
                sql += u',';
            sql += one;
        }
        return sql;
    };
    if (rows.isEmpty())
        return succeed(0);
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    if (!reconnectIfLost() || !beginIfManual())
        return m_sqlcode;
    QSqlDatabase db = database();
    QSqlQuery q(db);
    qsizetype prepared = -1;
    qint64 stored = 0;
    for (qsizetype at = 0; at < rows.size(); at += perStatement) {
        const qsizetype n = std::min(perStatement, rows.size() - at);
        if (n != prepared) {
            if (!q.prepare(forDialect(m_dialect, statement(n))))
                return failOn(q.lastError(), odbcState(db, q));
            prepared = n;
        }
        int i = 0;
        for (qsizetype r = at; r < at + n; ++r)
            for (int c = 0; c < columns.size(); ++c)
                q.bindValue(i++, rows[r].value(c));
        if (!q.exec())
            return failOn(q.lastError(), odbcState(db, q));
        stored += n;
    }
    return succeed(stored);
}

std::optional<QVariantList> Transaction::selectRow(const QString &sql, const QVariantList &args) {
    const QList<QVariantList> rows = selectRows(sql, args);
    if (m_sqlcode != 0)
        return std::nullopt;
    if (rows.isEmpty()) {
        fail(QString(), 100);
        return std::nullopt;
    }
    succeed(1);
    return rows.first();
}

QList<QVariantList> Transaction::selectRows(const QString &sql, const QVariantList &args) {
    QList<QVariantList> rows;
    std::optional<QSqlQuery> run = runStatement(sql, args, true);
    if (!run)
        return rows;
    QSqlQuery &q = *run;
    const int columns = q.record().count();
    while (q.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row << q.value(c);
        rows << row;
    }
    if (q.lastError().isValid()) {
        failOn(q.lastError(), odbcState(database(), q));
        return {};
    }
    succeed(rows.size());
    return rows;
}

int Transaction::begin() {
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    if (m_lost && !m_begun && connect() != 0)
        return m_sqlcode;
    if (!m_inTransaction) {
        QSqlDatabase db = database();
        if (!db.transaction())
            return failOn(db.lastError(), odbcState(db));
        m_inTransaction = true;
    }
    m_begun = true;
    return succeed();
}

int Transaction::commit() {
    return endTransaction(true);
}

int Transaction::rollback() {
    return endTransaction(false);
}

// Ends the open transaction (keeping or dropping its work) and, with
// autocommit off, begins the next one.
int Transaction::endTransaction(bool keep) {
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    if (!m_inTransaction) {
        if (keep)
            return succeed();
        return fail(QStringLiteral("没有可回滚的事务：自动提交方式下每条语句执行后已单独提交"));
    }
    if (keep && m_lost) {
        // The server dropped the transaction's work with the connection; the
        // driver may still report the commit as done, which would be false.
        m_inTransaction = false;
        m_begun = false;
        ++m_serial;
        fail(QStringLiteral("与数据库的连接已断开，本事务中的修改没有保存"));
        m_lost = true;
        return m_sqlcode;
    }
    QSqlDatabase db = database();
    if (!(keep ? db.commit() : db.rollback())) {
        failOn(db.lastError(), odbcState(db));
        if (!m_lost)
            return m_sqlcode;
        // The server dropped the transaction with the connection: it is over.
        const int code = m_sqlcode;
        const QString text = m_sqlerrtext;
        m_inTransaction = false;
        m_begun = false;
        ++m_serial;
        fail(text, code);
        m_lost = true;
        return code;
    }
    m_inTransaction = false;
    m_begun = false;
    ++m_serial;
    if (!beginIfManual())
        return m_sqlcode;
    return succeed();
}

Transaction &sqlca() {
    // Never destroyed: it must outlive every grid that holds its connection,
    // and Qt's connection registry is gone by the time statics are destroyed.
    static Transaction *shared = new Transaction;
    return *shared;
}

QString connectStringOf(const QString &dbParm) {
    static const QString keyword = QStringLiteral("ConnectString='");
    const qsizetype at = dbParm.indexOf(keyword, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + keyword.size();
    const qsizetype end = dbParm.lastIndexOf(u'\'');
    return end < start ? dbParm.mid(start) : dbParm.mid(start, end - start);
}

QString connectValue(const QString &connectString, const QString &key) {
    for (const QString &part : connectString.split(u';')) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return {};
}

QString withoutPassword(const QString &text) {
    static const QRegularExpression pwd(QStringLiteral("\\b(PWD|Password)\\s*=[^;']*"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    out.replace(pwd, QStringLiteral("\\1=***"));
    return out;
}

} // namespace zorv::db
