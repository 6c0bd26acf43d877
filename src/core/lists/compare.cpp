#include "core/lists/compare.h"

#include "core/lists/compare_grids.h"
#include "core/lists/compare_table.h"
#include "core/lists/normalize.h"
#include "core/platform/platform.h"
#include "core/platform/progress.h"

#include <QScopeGuard>
#include <cmath>
#include <exception>
#include <iterator>
#include <optional>
#include <set>
#include <thread>

using namespace Qt::StringLiterals;

namespace zorv::lists {

namespace {

// What one list turns into once sorted: the rows to mark "相同", the rows
// that move to the duplicate grid, and those rows' names and numbers (copied,
// since the grid's text moves once it changes).
struct ListChange {
    std::vector<qint64> marked;
    // Exact comparison: the kept rows and their names, in sorted order.
    std::vector<std::pair<std::string_view, qint64>> kept;
    QList<qint64> repeated;
    std::string repeatedText;
    std::vector<std::pair<std::size_t, std::size_t>> repeatedNames; // offset, length
    std::vector<std::optional<double>> repeatedNumbers;
};

// Sorts list by name and works out its change: a row repeats when its key
// was met on an earlier row of the sorted list; the kept rows are listed
// with their keys. With folding, *table gets every kept key, the n-th kept
// row's key under index n.
ListChange sortAndPlan(Grid &list, NameFolder *folder, NameTable *table) {
    list.sort();
    ListChange change;
    std::string_view previous;
    const qint64 n = list.rowCount();
    change.kept.reserve(std::size_t(n));
    for (qint64 r = 1; r <= n; ++r) {
        const std::string_view name = list.textView(r, kMd);
        const std::string_view key = folder ? folder->foldOne(name) : name;
        if (key.empty())
            continue;
        bool repeated;
        if (folder) {
            bool inserted;
            table->insert(key, &inserted);
            repeated = !inserted;
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
        } else {
            change.kept.emplace_back(key, r);
        }
    }
    return change;
}

// Folded comparison: each kept key of list 1 looked up among list 2's.
void matchFolded(ListChange &one, ListChange &two, const NameTable &table2) {
    for (const auto &[key, row] : one.kept) {
        const std::int64_t i = table2.find(key);
        if (i < 0)
            continue;
        one.marked.push_back(row);
        two.marked.push_back(two.kept[std::size_t(i)].second);
    }
}

// Exact comparison: both lists sorted by name with their repeats set
// aside, equal names are found by walking the two in step.
void matchSorted(ListChange &one, ListChange &two) {
    auto a = one.kept.cbegin(), b = two.kept.cbegin();
    while (a != one.kept.cend() && b != two.kept.cend()) {
        const int c = a->first.compare(b->first);
        if (c < 0) {
            ++a;
        } else if (c > 0) {
            ++b;
        } else {
            one.marked.push_back(a->second);
            two.marked.push_back(b->second);
            ++a;
            ++b;
        }
    }
}

// Changes one list and its duplicate grid; neither may send signals (the
// caller turned their redraw off), as this may run on a helper thread.
void applyChange(Grid &list, Grid &duplicates, const ListChange &change) {
    const QByteArray same = sameMark().toUtf8();
    list.setTexts(kJg, change.marked, std::string_view(same.constData(), std::size_t(same.size())));
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
}

// Runs one and two side by side, two on a helper thread; an exception
// thrown by either is passed on once both are done.
template <typename One, typename Two> void bothAtOnce(One &&one, Two &&two) {
    std::exception_ptr failed;
    std::thread helper([&] {
        try {
            two();
        } catch (...) {
            failed = std::current_exception();
        }
    });
    try {
        one();
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failed)
        std::rethrow_exception(failed);
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

    // The phases are polled for a stop before the grids change; after that
    // the work runs to its end (about a second for a million names a list).
    if (stop(progress, 0, u"核对名单：查找名单1中的重复名单..."_s))
        return stopped();
    if (stop(progress, 1, u"核对名单：查找名单2中的重复名单..."_s))
        return stopped();
    if (stop(progress, 2, u"核对名单：在名单2中查找名单1的名字..."_s))
        return stopped();
    if (stop(progress, 3, u"核对名单：更新结果..."_s))
        return stopped();

    // The grids send no signal while they change: the two
    // lists are worked on side by side, one on a helper thread, and a view
    // must not hear of a change from there. One reset each at the end.
    Grid *const grids[] = {&list1, &list2, &duplicates1, &duplicates2};
    bool redraw[4];
    for (int i = 0; i < 4; ++i) {
        redraw[i] = grids[i]->redraw();
        grids[i]->setRedraw(false);
    }
    const auto restoreRedraw = [&] { // backwards, for a grid passed twice
        for (int i = 3; i >= 0; --i)
            grids[i]->setRedraw(redraw[i]);
    };
    auto restoreOnThrow = qScopeGuard(restoreRedraw);
    list1.setSort(u"md   A"_s);
    list2.setSort(u"md   A"_s);

    // Sorting moves no text, so the keys' views stay good until the lists
    // change in applyChange.
    NameTable table1(folder ? std::size_t(list1.rowCount()) : 0),
        table2(folder ? std::size_t(list2.rowCount()) : 0);
    ListChange change1, change2;
    // Side by side only when the four grids are four. A folder remembers
    // what it folded, so list 2 gets a folder of its own there (its keys
    // live as long as this call); without one it waits for list 1.
    const std::set<const Grid *> distinct(std::begin(grids), std::end(grids));
    std::optional<NameFolder> folding2;
    NameFolder *folder2 = folder;
    if (folder && distinct.size() == 4) {
        folding2.emplace();
        folder2 = folding2->ok() ? &*folding2 : nullptr;
    }
    if (distinct.size() != 4 || (folder && !folder2)) {
        change1 = sortAndPlan(list1, folder, &table1);
        change2 = sortAndPlan(list2, folder, &table2);
        if (folder)
            matchFolded(change1, change2, table2);
        else
            matchSorted(change1, change2);
        applyChange(list1, duplicates1, change1);
        applyChange(list2, duplicates2, change2);
    } else {
        bothAtOnce([&] { change1 = sortAndPlan(list1, folder, &table1); },
                   [&] { change2 = sortAndPlan(list2, folder2, &table2); });
        if (folder)
            matchFolded(change1, change2, table2);
        else
            matchSorted(change1, change2);
        bothAtOnce([&] { applyChange(list1, duplicates1, change1); },
                   [&] { applyChange(list2, duplicates2, change2); });
    }
    restoreOnThrow.dismiss();
    restoreRedraw();
    outcome.duplicates1 = change1.repeated.size();
    outcome.duplicates2 = change2.repeated.size();
    outcome.matched = qint64(change1.marked.size());
    if (progress)
        progress->progress(4, 4, u"核对结束"_s);
    platform().messageBox(u"提示"_s, u"核对结束"_s);
    return outcome;
}

} // namespace zorv::lists
