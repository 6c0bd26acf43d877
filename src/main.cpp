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
    zorv::gui::AppShell shell;
    if (!shell.start(QDir::currentPath()))
        return 0;
    return app.exec();
}
