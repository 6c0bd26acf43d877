#pragma once
// Qt's own texts (standard buttons, file and folder dialogs) in Chinese, from
// the translations installed with the system's Qt.

class QCoreApplication;
class QTranslator;

namespace zorv::gui {

// Installs the Chinese translation of Qt on app (which owns it); call before
// any window is built. nullptr when the translation is not installed (Qt's
// English stays).
QTranslator *installQtChinese(QCoreApplication &app);

} // namespace zorv::gui
