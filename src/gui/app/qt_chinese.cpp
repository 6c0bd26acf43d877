#include "gui/app/qt_chinese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zorv::gui {

QTranslator *installQtChinese(QCoreApplication &app) {
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

} // namespace zorv::gui
