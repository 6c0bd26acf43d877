#pragma once
// Fixed texts of the file batch window: drop-down entries, status-line help
// texts and button tags.

#include <QString>
#include <QStringList>

namespace frn {

inline QStringList operationEntries() {
    return {
        QStringLiteral(".选择字符串操作方式"), QStringLiteral("1.按位置与长度"),
        QStringLiteral("2.从某字符后开始"),    QStringLiteral("3.字符替换"),
        QStringLiteral("4.大写字母转小写"),    QStringLiteral("5.小写字母转大写"),
        QStringLiteral("6.截取连续英文字母"),  QStringLiteral("7.修改文件扩展名"),
        QStringLiteral("8.保留原文件名"),      QStringLiteral("9.除去数字后加等差序号"),
    };
}

// Help shown in the status line when a control gets focus (or, for the grid,
// when the mouse moves over it).
inline QString helpFor(const QString &control) {
    if (control == u"cbx_4")
        return QStringLiteral("在点击\"选择源文件夹\"按钮前选择才有效");
    if (control == u"cbx_1")
        return QStringLiteral("在点击\"选择源文件夹\"按钮前选择在有效");
    if (control == u"cb_10")
        return QStringLiteral("按名单顺序在数据窗口源文件名列中查找，并保留找到的记录。"
                              "在导入过程中按ESC键可中途退出");
    if (control == u"sle_1")
        return QStringLiteral("名单(用于筛选源文件)中需要加入统一的后缀名，"
                              "也可在此输入后缀名，但不用输入.");
    if (control == u"em_4")
        return QStringLiteral("输入的值只对导入Excel文件有效，且不能少于1,大于3");
    if (control == u"cbx_3")
        return QStringLiteral("在点击\"选择目标文件夹\"按钮前选择才有效");
    if (control == u"cb_3")
        return QStringLiteral("在执行过程中按ESC键可中途退出");
    if (control == u"rb_6")
        return QStringLiteral("复制文件只在源文件夹与目标文件夹不同时有效");
    if (control == u"rb_5")
        return QStringLiteral("源文件夹可以和目标文件夹相同,相同时文件不移动");
    if (control == u"rb_2")
        return QStringLiteral("目标文件名不为空时才能进行操作");
    if (control == u"rb_1")
        return QStringLiteral("源文件名不为空时才能进行操作");
    if (control == u"dw_1")
        return QStringLiteral("在数据窗口中某行双击，能打开该行对应的文件。");
    return {};
}

// Tags shown in the status line while the mouse is over the control (the
// check box cbx_2 and the import buttons).
inline QString tagFor(const QString &control) {
    if (control == u"cbx_2")
        return QStringLiteral("在点击\"选择源文件夹\"按钮前选择才有效");
    if (control == u"cb_15")
        return QStringLiteral("导入普通exce文件，通常用于批量筛选。第二列内容为空时结束导入。");
    if (control == u"cb_16")
        return QStringLiteral(
            "导入包含源文件路径及文件名信息的excel格式的文件(包含路径信息的文件名位于首列）");
    if (control == u"cb_17")
        return QStringLiteral("粘贴的内容与顺序与数据窗口列名要一致");
    return {};
}

} // namespace frn
