#include "core/app/data_home.h"
#include "gui/app/app_shell.h"
#include "gui/app/qt_chinese.h"
#include "gui/app/qt_platform.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    zorv::gui::installQtChinese(app);
    zorv::gui::QtPlatform platform;
    zorv::setPlatform(&platform);
    // --data-home (the desktop entry, ./run): work in the user's data folder
    // instead of the current directory.
    if (QCoreApplication::arguments().contains(QStringLiteral("--data-home")) &&
        !zorv::app::enterDataHome())
        return 1;
    zorv::gui::AppShell shell;
    if (!shell.start(QDir::currentPath()))
        return 0;
    return app.exec();
}
