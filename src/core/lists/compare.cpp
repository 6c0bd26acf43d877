#include "core/lists/compare.h"

#include "core/lists/compare_grids.h"
#include "core/lists/compare_table.h"
#include "core/lists/normalize.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

std::vector<std::string_view> shownNames(const Grid &list) {
    const qint64 n = list.rowCount();
    std::vector<std::string_view> names(static_cast<std::size_t>(n));
    for (qint64 r = 1; r <= n; ++r)
        names[std::size_t(r - 1)] = list.textView(r, kMd);
    return names;
}

// The matching keys of a list's names: the names themselves, or their folds.
std::vector<std::string_view> keysOf(const std::vector<std::string_view> &names,
                                     NameFolder *folder) {
    return folder ? folder->fold(names) : names;
}

// Every distinct non-empty key of a list.
NameTable tableOf(const std::vector<std::string_view> &keys) {
    NameTable table(keys.size());
    bool inserted;
    for (std::string_view k : keys)
        if (!k.empty())
            table.insert(k, &inserted);
    return table;
}

// What one list turns into once sorted: the rows to mark "相同", the rows
// that move to the duplicate grid, and those rows' names and numbers (copied,
// since the grid's text moves once it changes).
struct ListChange {
    std::vector<qint64> marked;
    QList<qint64> repeated;
    std::string repeatedText;
    std::vector<std::pair<std::size_t, std::size_t>> repeatedNames; // offset, length
    std::vector<std::optional<double>> repeatedNumbers;
};

// Sorts list by name and works out its change: a row repeats when its key
// was met on an earlier row of the sorted list; a kept row is marked when
// its key is in `other`. own is the table of this list's keys.
ListChange sortAndPlan(Grid &list, const NameTable &own, const NameTable &other,
                       NameFolder *folder) {
    list.setSort(u"md   A"_s);
    list.sort();
    ListChange change;
    std::vector<std::uint8_t> seen(folder ? own.size() : 0, 0);
    std::string_view previous;
    const qint64 n = list.rowCount();
    for (qint64 r = 1; r <= n; ++r) {
        const std::string_view name = list.textView(r, kMd);
        const std::string_view key = folder ? folder->foldOne(name) : name;
        if (key.empty())
            continue;
        bool repeated;
        if (folder) {
            const std::int64_t i = own.find(key);
            repeated = i >= 0 && seen[std::size_t(i)];
            if (i >= 0)
                seen[std::size_t(i)] = 1;
        } else {
            // Sorted: equal names stand next to each other.
            repeated = key == previous;
            previous = key;
        }
        if (repeated) {
            change.repeated.append(r);
            change.repeatedNames.emplace_back(change.repeatedText.size(), name.size());
            change.repeatedText.append(name);
            change.repeatedNumbers.push_back(
                list.isNull(r, kXh)
                    ? std::nullopt
                    : std::optional<double>(std::trunc(list.getItemNumber(r, kXh))));
        } else if (other.find(key) >= 0) {
            change.marked.push_back(r);
        }
    }
    return change;
}

void applyChange(Grid &list, Grid &duplicates, const ListChange &change) {
    const QByteArray same = sameMark().toUtf8();
    const bool redraw = list.redraw(), dupRedraw = duplicates.redraw();
    list.setRedraw(false);
    duplicates.setRedraw(false);
    for (qint64 r : change.marked)
        list.setText(r, kJg, std::string_view(same.constData(), std::size_t(same.size())));
    list.deleteRows(change.repeated);
    std::vector<std::string_view> names;
    names.reserve(change.repeatedNames.size());
    for (const auto &[at, length] : change.repeatedNames)
        names.emplace_back(change.repeatedText.data() + at, length);
    const qint64 first = duplicates.rowCount() + 1;
    duplicates.appendTexts(kDmd, names);
    for (std::size_t k = 0; k < change.repeatedNumbers.size(); ++k)
        if (change.repeatedNumbers[k])
            duplicates.setItemNumber(first + qint64(k), kDxh, *change.repeatedNumbers[k]);
    list.setRedraw(redraw);
    duplicates.setRedraw(dupRedraw);
}

bool stop(ProgressSink *progress, qint64 phase, const QString &status) {
    if (!progress)
        return false;
    progress->progress(phase, 4, status);
    return progress->stopRequested();
}

} // namespace

CompareOutcome compareLists(Grid &list1, Grid &list2, Grid &duplicates1, Grid &duplicates2,
                            const CompareOptions &options, ProgressSink *progress) {
    CompareOutcome outcome;
    std::optional<NameFolder> folding;
    NameFolder *folder = nullptr;
    if (options.normalize) {
        folding.emplace();
        if (!folding->ok()) {
            platform().messageBox(u"提示"_s, folding->error());
            outcome.end = CompareEnd::Refused;
            return outcome;
        }
        folder = &*folding;
    }
    const auto stopped = [&] {
        outcome.end = CompareEnd::Stopped;
        return outcome;
    };

    // The three phases, worked out on the side.
    if (stop(progress, 0, u"核对名单：查找名单1中的重复名单..."_s))
        return stopped();
    const std::vector<std::string_view> keys1 = keysOf(shownNames(list1), folder);
    const NameTable table1 = tableOf(keys1);
    if (stop(progress, 1, u"核对名单：查找名单2中的重复名单..."_s))
        return stopped();
    const std::vector<std::string_view> keys2 = keysOf(shownNames(list2), folder);
    const NameTable table2 = tableOf(keys2);
    if (stop(progress, 2, u"核对名单：在名单2中查找名单1的名字..."_s))
        return stopped();
    if (stop(progress, 3, u"核对名单：更新结果..."_s))
        return stopped();

    // Sorting moves no text, so the tables' views stay good until the lists
    // change below.
    const ListChange change1 = sortAndPlan(list1, table1, table2, folder);
    const ListChange change2 = sortAndPlan(list2, table2, table1, folder);
    applyChange(list1, duplicates1, change1);
    applyChange(list2, duplicates2, change2);
    outcome.duplicates1 = change1.repeated.size();
    outcome.duplicates2 = change2.repeated.size();
    outcome.matched = qint64(change1.marked.size());
    if (progress)
        progress->progress(4, 4, u"核对结束"_s);
    platform().messageBox(u"提示"_s, u"核对结束"_s);
    return outcome;
}

} // namespace zorv::lists
