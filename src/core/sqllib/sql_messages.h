#pragma once
// The fixed titles and texts the SQL library windows show.

#include <QString>

namespace zorv::sqllib::msg {

inline QString hint() {
    return QStringLiteral("提示");
}
inline QString saved() {
    return QStringLiteral("保存成功!");
}
inline QString saveFailedTitle() {
    return QStringLiteral("保存失败");
}
inline QString deleteFailedTitle() {
    return QStringLiteral("删除失败");
}
inline QString errorInfo() {
    return QStringLiteral("出错信息:");
}
inline QString readFailedTitle() {
    return QStringLiteral("失败");
}
inline QString readFailed() {
    return QStringLiteral("查询失败!");
}
inline QString confirmDelete() {
    return QStringLiteral("真的要删除数据吗？");
}
inline QString deleted() {
    return QStringLiteral("删除数据成功!");
}
inline QString contentEmpty() {
    return QStringLiteral("内容不能为空");
}
inline QString entryGone() {
    return QStringLiteral("这条SQL语句已不存在（可能已被删除），没有保存任何内容");
}
inline QString pasteTag() {
    return QStringLiteral("粘贴的内容与顺序与数据窗口列名要一致");
}
inline QString saving() {
    return QStringLiteral("正在保存...");
}
inline QString sweeping() {
    return QStringLiteral("正在清除重复的SQL语句...");
}
inline QString saveStopped() {
    return QStringLiteral("保存已中止，没有保存任何行。");
}

} // namespace zorv::sqllib::msg
