#include "core/db/transaction.h"

#include "core/config/registry.h"
#include "core/config/regodbc.h"
#include "core/db/publish_file.h"
#include "core/db/schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>

namespace zorv::db {
namespace {

QString errorText(const QSqlError &e) {
    const QString t = e.databaseText().trimmed();
    return t.isEmpty() ? e.text().trimmed() : t;
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
    return m_sqlcode;
}

int Transaction::succeed(qint64 rows) {
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
        return fail(QStringLiteral("连接参数中没有数据源名(DSN): ") + m_dbParm);

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
    db.setDatabaseName(connectString);
    if (!db.open()) {
        fail(errorText(db.lastError()));
        return false;
    }
    return true;
}

bool Transaction::beginIfManual() {
    if (m_autoCommit || m_inTransaction)
        return true;
    QSqlDatabase db = database();
    if (!db.transaction()) {
        fail(errorText(db.lastError()));
        return false;
    }
    m_inTransaction = true;
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
    if (!beginIfManual())
        return std::nullopt;
    QSqlQuery q(database());
    q.setForwardOnly(forwardOnly);
    if (!q.prepare(sql)) {
        fail(errorText(q.lastError()));
        return std::nullopt;
    }
    for (const QVariant &a : args)
        q.addBindValue(a);
    if (!q.exec()) {
        fail(errorText(q.lastError()));
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
        fail(errorText(q.lastError()));
        return {};
    }
    succeed(rows.size());
    return rows;
}

int Transaction::begin() {
    if (!m_connected)
        return fail(QStringLiteral("未连接数据库"));
    if (!m_inTransaction) {
        QSqlDatabase db = database();
        if (!db.transaction())
            return fail(errorText(db.lastError()));
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
    QSqlDatabase db = database();
    if (!(keep ? db.commit() : db.rollback()))
        return fail(errorText(db.lastError()));
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

} // namespace zorv::db
