#include "core/app/login.h"

#include "core/app/database_choice.h"
#include "core/app/globals.h"
#include "core/config/profile.h"
#include "core/config/regodbc.h"
#include "core/db/odbc_state.h"
#include "core/db/statements.h"
#include "core/platform/platform.h"
#include "core/text/gbtext.h"

#include <QFileInfo>

namespace zorv::app {
namespace {

QString profileValue(const QString &section, const QString &key, const QString &def) {
    return config::readProfileString(globals().profile, section, key, def);
}

const QString kOdbc = QStringLiteral("ODBC");
const QString kStart = QStringLiteral("Start");
const QString kFirst = QStringLiteral("First");

} // namespace

LoginLogic::LoginLogic(db::Transaction &tx) : m_tx(tx) {}

QString LoginLogic::connectParameters() const {
    // The values go in as they are: the data source's driver reads them.
    return QStringLiteral("ConnectString='DSN=") + m_dsn + QStringLiteral(";UID=") + m_uid +
           QStringLiteral(";PWD=") + m_pwd + u'\'';
}

void LoginLogic::readAutoCommit() {
    m_tx.setAutoCommit(profileValue(kOdbc, QStringLiteral("AutoCommit"), QStringLiteral("true")) ==
                       u"true");
}

void LoginLogic::registerDataSource() {
    config::RegistryStore store;
    // A data source that the system's ODBC configuration defines (a team's
    // database server) and that this program never registered is used as it
    // is: registering its name for the desktop file would hide the server.
    if (!store.value(config::dataSourceKey(m_dsn), QStringLiteral("Driver")) &&
        db::odbcDataSourceExists(m_dsn))
        return;
    config::regodbc(store, m_dsn, m_database, globals().sysPath);
}

void LoginLogic::chooseDatabase() {
    const QString registered = registeredDatabase(config::RegistryStore(), m_dsn);
    if (isOtherFoldersDatabase(registered, m_database) &&
        askUseStartDatabase(registered, m_database))
        registerDataSource();
}

LoginStep LoginLogic::afterConnect() {
    return db::countNullAccount(m_tx) == 1 ? LoginStep::OpenMain : LoginStep::WaitForLogin;
}

LoginStep LoginLogic::open(const QString &startDir) {
    Globals &g = globals();
    g.lsPath = startDir;
    m_database = startDir + QStringLiteral("/zorv.mdb");
    g.profile = startDir + QStringLiteral("/zorv.ini");
    g.sysPath = config::odbcDriverFolder();

    if (!QFileInfo::exists(g.profile)) {
        const auto choice = platform().openFile(QStringLiteral("打开文件"), QStringLiteral("*.ini"),
                                                QStringLiteral("初始化文件,*.ini"));
        if (!choice || choice->path.isEmpty()) {
            platform().messageBox(QStringLiteral("提示"), QStringLiteral("无法打开初始化文件"));
            return LoginStep::EndProgram;
        }
        // The database stays in the start-up folder whichever file is chosen.
        g.profile = choice->path;
    }

    m_tx.setDbms(profileValue(kOdbc, QStringLiteral("DBMS"), QStringLiteral("ODBC")));
    const QString first = profileValue(kStart, kFirst, QStringLiteral("true"));
    m_dsn = profileValue(kOdbc, QStringLiteral("DSN_Name"), QStringLiteral("zorv"));
    m_uid = profileValue(kOdbc, QStringLiteral("USER_Name"), QString());
    m_pwd = profileValue(kOdbc, QStringLiteral("USER_pw"), QString());
    m_tx.setDbParm(connectParameters());
    readAutoCommit();

    if (first == u"true") {
        registerDataSource();
        config::writeProfileString(g.profile, kStart, kFirst, QStringLiteral("false"));
    } else {
        chooseDatabase();
    }

    if (m_tx.connect() == 0)
        return afterConnect();
    if (m_tx.databaseCreationFailed())
        platform().messageBox(QStringLiteral("提示"), m_tx.sqlerrtext(), MsgIcon::Warning);
    platform().messageBox(QStringLiteral("提示"),
                          QStringLiteral("请单击登录窗口中的注册按钮(自动对注册ODBC数据源)"));
    return LoginStep::OfferRegister;
}

LoginStep LoginLogic::registerClicked() {
    registerDataSource();
    m_tx.setDbms(profileValue(kOdbc, QStringLiteral("DBMS"), QString()));
    m_tx.setDbParm(connectParameters());
    readAutoCommit();
    if (m_tx.connect() == 0)
        return afterConnect();
    platform().messageBox(QStringLiteral("连接数据库失败"), m_tx.sqlerrtext(), MsgIcon::Error);
    platform().messageBox(QStringLiteral("请自行配制ODBC数据源"),
                          QStringLiteral("DNS名为:") + m_dsn + QStringLiteral("数据库名:") +
                              m_database);
    return LoginStep::EndProgram;
}

LoginStep LoginLogic::okClicked(const QString &name, const QString &password) {
    if (db::countNullAccount(m_tx) == 1)
        return LoginStep::OpenMain;
    const QString lsName = text::trim(name);
    const QString lsPw = text::trim(password);
    if (lsName.isEmpty())
        return LoginStep::Nothing;

    // No matching row, or a failed statement, is a failed try.
    const auto stored = db::selectPassword(m_tx, lsName);
    if (stored && (stored->isNull() || stored->toString() == lsPw))
        return LoginStep::OpenMain;

    if (m_failed == 3) {
        platform().messageBox(QStringLiteral("登录错误"),
                              QStringLiteral("对不起，你无权使用本系统!"), MsgIcon::Error);
        return LoginStep::EndProgram;
    }
    ++m_failed;
    platform().messageBox(QStringLiteral("登录错误"), QStringLiteral("请输入正确的用户名或密码"),
                          MsgIcon::Warning);
    return LoginStep::RetryLogin;
}

} // namespace zorv::app
