#include "core/lists/compare_grids.h"

#include <QByteArray>

using namespace Qt::StringLiterals;

namespace zorv::lists {

QString sameMark() {
    return u"相同"_s;
}

QString differentMark() {
    return u"不同"_s;
}

std::unique_ptr<Grid> makeListGrid(int list) {
    auto g = std::make_unique<Grid>(QList<Column>{
        {u"md"_s, ColType::String, list == 1 ? u"名单1"_s : u"名单2"_s, 255},
        {u"xh"_s, ColType::Number, u"序号"_s},
        {u"jg"_s, ColType::String, u"结果"_s, 4},
    });
    g->setSummary(false);
    return g;
}

std::unique_ptr<Grid> makeDuplicateGrid(int list) {
    auto g = std::make_unique<Grid>(QList<Column>{
        {u"dmd"_s, ColType::String, list == 1 ? u"重复名单1"_s : u"重复名单2"_s, 500},
        {u"dxh"_s, ColType::Number, u"序号"_s},
    });
    g->setSummary(true, list == 1 ? u"总数:"_s : QString());
    return g;
}

void numberList(Grid &list) {
    const QByteArray mark = differentMark().toUtf8();
    list.fillRowNumbers(kXh);
    list.fillText(kJg, std::string_view(mark.constData(), std::size_t(mark.size())));
}

} // namespace zorv::lists
