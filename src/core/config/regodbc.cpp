#include "core/config/regodbc.h"

#include <QFileInfo>
#include <QSysInfo>

namespace zorv::config {

QString odbcIniKey() {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI");
}

QString dataSourceKey(const QString &dsn) {
    return odbcIniKey() + u'\\' + dsn;
}

QString desktopDriverFile() {
    return QStringLiteral("odbcjt32.dll");
}

QString odbcDriverFolder() {
    // Debian keeps ODBC drivers in the multiarch library folder; other
    // systems use the plain library folders.
    QString arch = QSysInfo::buildCpuArchitecture();
    if (arch == u"x86_64")
        arch = QStringLiteral("x86_64-linux-gnu");
    else if (arch == u"arm64")
        arch = QStringLiteral("aarch64-linux-gnu");
    else if (arch == u"i386")
        arch = QStringLiteral("i386-linux-gnu");
    const QStringList candidates = {
        QStringLiteral("/usr/lib/") + arch + QStringLiteral("/odbc"),
        QStringLiteral("/usr/lib64/odbc"),
        QStringLiteral("/usr/lib/odbc"),
        QStringLiteral("/usr/local/lib/odbc"),
    };
    for (const QString &c : candidates)
        if (QFileInfo(c).isDir())
            return c;
    return candidates.first();
}

bool regodbc(RegistryStore &store, const QString &dsn, const QString &database,
             const QString &sysPath) {
    const QString key = dataSourceKey(dsn);
    const QString engines = key + QStringLiteral("\\Engines");
    const QString jet = engines + QStringLiteral("\\Jet");
    const QString sources = odbcIniKey() + QStringLiteral("\\ODBC Data Sources");

    // One write of the store for the whole registration.
    store.beginBatch();
    bool ok = store.deleteValue(odbcIniKey(), dsn);
    ok &= store.setString(key, QStringLiteral("Driver"), sysPath + u'/' + desktopDriverFile());
    ok &= store.setString(key, QStringLiteral("DBQ"), database);
    ok &= store.setNumber(key, QStringLiteral("DriverId"), 25);
    ok &= store.setString(key, QStringLiteral("FIL"), QStringLiteral("MS Access;"));
    ok &= store.setNumber(key, QStringLiteral("SafeTransactions"), 0);
    ok &= store.setString(key, QStringLiteral("UID"), QString());
    ok &= store.setString(key, QStringLiteral("Engines"), QString());
    ok &= store.setString(engines, QStringLiteral("Jet"), QString());
    ok &= store.setString(jet, QStringLiteral("ImplicitCommitSync"), QString());
    ok &= store.setString(jet, QStringLiteral("UserCommitSync"), QStringLiteral("Yes"));
    ok &= store.setNumber(jet, QStringLiteral("MaxBufferSize"), 2048);
    ok &= store.setNumber(jet, QStringLiteral("PageTimeout"), 5);
    ok &= store.setNumber(jet, QStringLiteral("Threads"), 3);
    ok &= store.setString(sources, dsn, QStringLiteral("Microsoft Access Driver (*.mdb)"));
    return store.endBatch() && ok;
}

} // namespace zorv::config
