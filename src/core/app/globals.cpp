#include "core/app/globals.h"

#include "core/app/instance_lock.h"
#include "core/platform/platform.h"

namespace zorv::app {

Globals &globals() {
    static Globals g;
    return g;
}

QString defaultStatusText() {
    return QStringLiteral("Zorvane 办公数据工具箱 —— 由 Zorvane 开发组编写，欢迎使用");
}

bool applicationOpen(InstanceLock &lock) {
    platform().setStatusText(defaultStatusText());
    if (!lock.tryLock()) {
        platform().messageBox(QStringLiteral("提示"), QStringLiteral("系统已经运行"));
        return false;
    }
    return true;
}

} // namespace zorv::app
