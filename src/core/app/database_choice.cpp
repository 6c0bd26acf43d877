#include "core/app/database_choice.h"

#include "core/config/regodbc.h"
#include "core/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace zorv::app {
namespace {

const QString kDatabaseName = QStringLiteral("zorv.mdb");

bool sameFile(const QString &a, const QString &b) {
#ifdef Q_OS_UNIX
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#else
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
#endif
}

} // namespace

QString registeredDatabase(const config::RegistryStore &store, const QString &dsn) {
    const QString key = config::dataSourceKey(dsn);
    const auto driver = store.value(key, QStringLiteral("Driver"));
    if (!driver || !driver->text.endsWith(config::desktopDriverFile(), Qt::CaseInsensitive))
        return {};
    const auto dbq = store.value(key, QStringLiteral("DBQ"));
    return dbq ? dbq->text : QString();
}

bool isOtherFoldersDatabase(const QString &registered, const QString &startDatabase) {
    if (registered.trimmed().isEmpty() || QFileInfo(registered).fileName() != kDatabaseName)
        return false;
    if (!QFileInfo(startDatabase).isFile())
        return false;
    // A registered file that is missing is another file too: connecting
    // would create a new, empty database in its folder.
    return !sameFile(registered, startDatabase);
}

bool askUseStartDatabase(const QString &registered, const QString &startDatabase) {
    const QString text =
        QStringLiteral("数据源登记的数据库文件在另一个文件夹中：\n%1\n\n"
                       "本次启动的文件夹中也有数据库文件：\n%2\n\n"
                       "是否改用启动文件夹中的数据库文件？\n"
                       "选“是”使用启动文件夹中的文件，并把数据源重新登记到该文件；"
                       "选“否”继续使用数据源登记的文件。")
            .arg(QDir::toNativeSeparators(registered), QDir::toNativeSeparators(startDatabase));
    return platform().messageBox(QStringLiteral("提示"), text, MsgIcon::Question,
                                 MsgButtons::YesNo) == MsgAnswer::Yes;
}

} // namespace zorv::app
