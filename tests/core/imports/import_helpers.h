#pragma once
// Grids and sinks shared by the import tests.

#include "core/grid/grid.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QList>
#include <QStringList>

namespace zorv::test {

// The file window's list grid.
inline QList<Column> fileListColumns() {
    return {{QStringLiteral("xh"), ColType::Number, QStringLiteral("序号")},
            {QStringLiteral("ypath"), ColType::String, QStringLiteral("源文件路径")},
            {QStringLiteral("filey"), ColType::String, QStringLiteral("源文件名")},
            {QStringLiteral("filen"), ColType::String, QStringLiteral("目标文件名")},
            {QStringLiteral("npath"), ColType::String, QStringLiteral("目标文件路径")},
            {QStringLiteral("jg"), ColType::String, QStringLiteral("结果")},
            {QStringLiteral("zml"), ColType::String, QStringLiteral("源文件夹子目录")}};
}

// A list grid of the comparison window: name, number, marker.
inline QList<Column> nameListColumns() {
    return {{QStringLiteral("md"), ColType::String, QStringLiteral("名单1")},
            {QStringLiteral("xh"), ColType::Number, QStringLiteral("序号")},
            {QStringLiteral("jg"), ColType::String, QStringLiteral("结果")}};
}

// Every row of the grid, shown and filtered out, as text.
inline QList<QStringList> snapshot(const Grid &grid) {
    QList<QStringList> rows;
    for (qint64 r = 1; r <= grid.rowCount(); ++r) {
        QStringList fields;
        for (int c = 1; c <= grid.columnCount(); ++c)
            fields << grid.getItemString(r, c);
        rows << fields;
    }
    rows << QStringList{QStringLiteral("filtered out: %1").arg(grid.filteredCount())};
    return rows;
}

// A grid with two rows already in it.
inline void addTwoRows(Grid &grid) {
    for (int i = 1; i <= 2; ++i) {
        const qint64 r = grid.insertRow(0);
        grid.setItem(r, 1, QString::number(i * 10));
        grid.setItem(r, 2, QStringLiteral("旧%1").arg(i));
    }
}

// Asks the platform for Esc once per poll, as the windows' busy guard does,
// and records the status texts it is given.
class EscSink : public ProgressSink {
public:
    QStringList statuses;
    void progress(qint64, qint64, const QString &status) override {
        if (!status.isEmpty())
            statuses << status;
    }
    bool stopRequested() override { return platform().escPressed(); }
};

} // namespace zorv::test
