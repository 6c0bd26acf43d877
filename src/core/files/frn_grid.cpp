#include "core/files/frn_grid.h"

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {

QList<Column> frn1Columns() {
    return {
        {u"xh"_s, ColType::Number, u"序号"_s, 8},
        {u"ypath"_s, ColType::String, u"源文件路径"_s, 255},
        {u"filey"_s, ColType::String, u"源文件名"_s, 255},
        {u"filen"_s, ColType::String, u"目标文件名"_s, 255},
        {u"npath"_s, ColType::String, u"目标文件路径"_s, 255},
        {u"jg"_s, ColType::String, u"结果"_s, 20},
        {u"zml"_s, ColType::String, u"源文件夹子目录"_s, 255},
    };
}

std::unique_ptr<Grid> makeFrn1Grid(QObject *parent) {
    return std::make_unique<Grid>(frn1Columns(), parent);
}

FrnColumns::FrnColumns(const Grid &grid)
    : xh(grid.columnNumber(u"xh"_s)), ypath(grid.columnNumber(u"ypath"_s)),
      filey(grid.columnNumber(u"filey"_s)), filen(grid.columnNumber(u"filen"_s)),
      npath(grid.columnNumber(u"npath"_s)), jg(grid.columnNumber(u"jg"_s)),
      zml(grid.columnNumber(u"zml"_s)) {}

QString outcomeText(Outcome o) {
    switch (o) {
    case Outcome::Success:
        return u"成功"_s;
    case Outcome::Failed:
        return u"失败"_s;
    case Outcome::SameName:
        return u"同名"_s;
    case Outcome::Invalid:
        return u"无效"_s;
    case Outcome::Cancelled:
        return u"取消"_s;
    }
    return {};
}

void clearOutcome(Grid &grid, qint64 row, int jg) {
    const QString v = grid.getItemString(row, jg);
    if (v.isEmpty())
        return;
    for (int k = 0; k < kOutcomeKinds; ++k)
        if (v == outcomeText(Outcome(k))) {
            grid.setItem(row, jg, QString());
            return;
        }
}

QString foundText() {
    return u"找到"_s;
}

} // namespace zorv::files
