#include "core/files/plan_check.h"

#include <QByteArrayList>
#include <QHash>

#include <algorithm>

#include <cerrno>
#include <functional>
#include <queue>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

constexpr quint32 kNone = kNoTask;

// A file as the check compares it: the id of its folder's identity and its
// name in that folder.
struct FileKey {
    int folder = -1;
    QByteArray name;
    bool operator==(const FileKey &) const = default;
};

size_t qHash(const FileKey &k, size_t seed = 0) {
    return qHashMulti(seed, k.folder, k.name);
}

// The files the plan names, each once, with the row writing it and the last
// row reading it: one open-addressed table, as a run names two files a row
// and most of them only once.
class FileTable {
public:
    struct Entry {
        FileKey key;
        quint32 writer = kNoTask;
        quint32 reader = kNoTask; // the last row reading it; earlier ones chain through nextReader
    };

    explicit FileTable(size_t files) {
        size_t capacity = 16;
        while (capacity < files * 2)
            capacity *= 2;
        m_slots.assign(capacity, kEmpty);
        m_entries.reserve(files);
        m_hashes.reserve(files);
    }
    Entry &operator[](quint32 e) { return m_entries[e]; }
    // The index of key's entry, made when it is new.
    quint32 entry(FileKey key) {
        const size_t mask = m_slots.size() - 1;
        const size_t h = qHash(key, QHashSeed::globalSeed());
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            const quint32 e = m_slots[i];
            if (e == kEmpty) {
                if (m_entries.size() * 2 >= m_slots.size())
                    return grow(std::move(key));
                m_slots[i] = quint32(m_entries.size());
                m_entries.push_back({std::move(key), kNoTask, kNoTask});
                m_hashes.push_back(h);
                return m_slots[i];
            }
            if (m_hashes[e] == h && m_entries[e].key == key)
                return e;
        }
    }

private:
    static constexpr quint32 kEmpty = quint32(-1);
    quint32 grow(FileKey key) {
        m_slots.assign(m_slots.size() * 2, kEmpty);
        const size_t mask = m_slots.size() - 1;
        for (quint32 e = 0; e < m_entries.size(); ++e) {
            size_t i = m_hashes[e] & mask;
            while (m_slots[i] != kEmpty)
                i = (i + 1) & mask;
            m_slots[i] = e;
        }
        return entry(std::move(key));
    }
    std::vector<quint32> m_slots;
    std::vector<Entry> m_entries;
    std::vector<size_t> m_hashes;
};

// Folder texts mapped to ids of the folders they name. A folder that exists
// is known by its device and inode; one still to be created by its nearest
// existing ancestor plus the path below it, with "." and ".." worked out
// (the created levels are real folders, so ".." there goes one level up).
class FolderIds {
public:
    int id(const QByteArray &text) {
        // Rows mostly come in runs from one source and one target folder.
        for (const Recent &r : m_recent)
            if (r.id >= 0 && r.text == text)
                return r.id;
        Recent &slot = m_recent[m_next];
        m_next ^= 1;
        slot.text = text;
        slot.id = lookUp(text);
        return slot.id;
    }

private:
    int lookUp(const QByteArray &text) {
        if (const auto it = m_byText.constFind(text); it != m_byText.cend())
            return *it;
        const QByteArray identity = identityOf(text);
        auto it = m_byIdentity.constFind(identity);
        if (it == m_byIdentity.cend())
            it = m_byIdentity.insert(identity, int(m_byIdentity.size()));
        m_byText.insert(text, *it);
        return *it;
    }

    static QByteArray identityOf(const QByteArray &text) {
        QByteArray path = text;
        while (path.size() > 1 && path.endsWith('/'))
            path.chop(1);
        if (path.isEmpty())
            path = ".";
        const QByteArray byText = "text:" + text; // a folder that cannot be examined
        QByteArrayList below;                     // missing levels, outermost first
        struct stat st;
        for (;;) {
            if (stat(path.constData(), &st) == 0)
                break;
            if (errno != ENOENT || path == "." || path == "/")
                return byText;
            const qsizetype slash = path.lastIndexOf('/');
            below.prepend(path.mid(slash + 1));
            path = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
        }
        if (!S_ISDIR(st.st_mode))
            return byText;
        QByteArrayList rest;
        for (const QByteArray &part : below) {
            if (part.isEmpty() || part == ".")
                continue;
            if (part != "..") {
                rest.append(part);
            } else if (!rest.isEmpty()) {
                rest.removeLast();
            } else { // above the existing folder: its parent exists too
                path += "/..";
                if (stat(path.constData(), &st) != 0)
                    return byText;
            }
        }
        return QByteArray::number(quint64(st.st_dev)) + ':' +
               QByteArray::number(quint64(st.st_ino)) + ':' + rest.join('/');
    }

    QHash<QByteArray, int> m_byText;
    QHash<QByteArray, int> m_byIdentity;
    struct Recent {
        QByteArray text;
        int id = -1;
    };
    Recent m_recent[2];
    int m_next = 0;
};

bool touchesDisk(Action a) {
    return a == Action::CopyInPlace || a == Action::MoveInPlace || a == Action::Copy ||
           a == Action::Move;
}

bool isMove(Action a) {
    return a == Action::MoveInPlace || a == Action::Move;
}

// The file folder + name, where name may still hold folder levels.
FileKey keyOf(FolderIds &folders, const QByteArray &folder, const QByteArray &name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0)
        return FileKey{folders.id(folder), name};
    return FileKey{folders.id(folder + name.left(slash + 1)), name.mid(slash + 1)};
}

QString rowRef(const Plan &plan, quint32 task) {
    return QString::number(plan.tasks[task].row);
}

// The order of the disk work when rows read files that other rows write:
// a row runs once every row reading its target has read it, in row order
// where there is a choice; a ring of such rows is opened by holding one
// row's source under a temporary name (rows that never replace a file just
// run, as what they would replace stays in place anyway).
class Scheduler {
public:
    // readerOfTarget: for each row, the last row reading its target.
    Scheduler(const Plan &plan, const std::vector<quint32> &readerOfTarget,
              const std::vector<quint32> &nextReader, const std::vector<char> &takesPart)
        : m_plan(plan), m_readerOfTarget(readerOfTarget), m_nextReader(nextReader),
          m_takesPart(takesPart), m_waits(plan.tasks.size(), 0),
          m_writerOf(plan.tasks.size(), kNone), m_state(plan.tasks.size(), kWaiting),
          m_stamp(plan.tasks.size(), 0) {}

    // Counts what each row waits for; false when no row waits for another.
    bool link() {
        bool any = false;
        for (quint32 i = 0; i < m_takesPart.size(); ++i) {
            if (!m_takesPart[i])
                continue;
            for (quint32 j = m_readerOfTarget[i]; j != kNone; j = m_nextReader[j]) {
                if (j == i)
                    continue;
                ++m_waits[i];
                m_writerOf[j] = i;
                any = true;
            }
        }
        return any;
    }

    const std::vector<quint32> &writerOf() const { return m_writerOf; }

    std::vector<Step> order(quint32 count, const std::vector<char> &refused) {
        std::vector<Step> steps;
        steps.reserve(count + 16);
        for (quint32 i = 0; i < count; ++i)
            if (m_waits[i] == 0)
                m_ready.push(i);
        // Rows known to become free without opening a ring (the rows they
        // wait for lead on to a row that can run).
        std::vector<char> leadsOn(count, 0);
        std::vector<quint32> path;
        quint32 done = 0, cursor = 0, walk = 0;
        while (done < count) {
            while (cursor < count && m_state[cursor] != kWaiting)
                ++cursor;
            // The first row left waits while a later one could run: follow
            // the rows it waits for; coming round to a row already seen means
            // a ring, to be opened at that row. With nothing able to run,
            // every row left waits, so the walk always ends in a ring.
            const bool stuck = m_ready.empty();
            quint32 ring = kNone;
            if (cursor < count && (stuck || (m_ready.top() > cursor && !leadsOn[cursor]))) {
                ++walk;
                path.clear();
                for (quint32 x = cursor;;) {
                    if (m_stamp[x] == walk) {
                        ring = x;
                        break;
                    }
                    if (m_waits[x] == 0 || (!stuck && leadsOn[x]))
                        break;
                    m_stamp[x] = walk;
                    path.push_back(x);
                    x = waitingReader(x);
                }
                if (ring == kNone)
                    for (const quint32 p : path)
                        leadsOn[p] = 1;
            }
            if (ring != kNone) {
                if (canHold(m_plan.tasks[ring])) {
                    steps.push_back({ring, StepKind::Hold});
                    m_state[ring] = kHeld;
                } else {
                    steps.push_back({ring, StepKind::Run});
                    m_state[ring] = kDone;
                    ++done;
                }
                read(ring);
                continue;
            }
            if (m_ready.empty())
                break; // not reached: a waiting row always leads to one that can go
            const quint32 i = m_ready.top();
            m_ready.pop();
            if (m_state[i] == kHeld) {
                steps.push_back({i, StepKind::Release});
            } else if (refused[i]) {
                steps.push_back({i, StepKind::Skip});
            } else {
                steps.push_back({i, StepKind::Run});
                read(i);
            }
            m_state[i] = kDone;
            ++done;
        }
        return steps;
    }

private:
    enum : quint8 { kWaiting, kHeld, kDone };

    bool canHold(const Task &t) const {
        return isMove(t.action) || (t.action == Action::Copy && m_plan.overwrite);
    }
    // Row i has read its source: the row writing that file may be free to go.
    void read(quint32 i) {
        const quint32 w = m_writerOf[i];
        if (w != kNone && --m_waits[w] == 0)
            m_ready.push(w);
    }
    quint32 waitingReader(quint32 i) const {
        for (quint32 j = m_readerOfTarget[i]; j != kNone; j = m_nextReader[j])
            if (j != i && m_state[j] == kWaiting)
                return j;
        return i; // not reached: a waiting row has a reader still waiting
    }

    const Plan &m_plan;
    const std::vector<quint32> &m_readerOfTarget;
    const std::vector<quint32> &m_nextReader;
    const std::vector<char> &m_takesPart;
    std::vector<quint32> m_waits;
    std::vector<quint32> m_writerOf;
    std::vector<quint8> m_state;
    std::vector<quint32> m_stamp;
    std::priority_queue<quint32, std::vector<quint32>, std::greater<>> m_ready;
};

} // namespace

PlanCheck checkPlan(const Plan &plan) {
    PlanCheck out;
    const auto &tasks = plan.tasks;
    const auto n = quint32(tasks.size());
    FolderIds folders;
    std::vector<char> takesPart(n, 0), refused(n, 0);
    std::vector<quint32> nextReader(n, kNone);
    std::vector<quint32> targetEntry(n, kNone);
    // Each file's writer (the row writing it) and last reader.
    FileTable files(size_t(n) * 2);
    for (quint32 i = 0; i < n; ++i) {
        const Task &t = tasks[i];
        if (!touchesDisk(t.action))
            continue;
        FileKey source = keyOf(folders, t.sourceDir, t.sourceName);
        FileKey target{folders.id(t.targetDir), t.targetName};
        const bool sameFile = source == target;
        const bool inPlace = t.action == Action::CopyInPlace || t.action == Action::MoveInPlace;
        if (inPlace && sameFile)
            continue; // its own name in its own folder: "同名" or "无效", nothing moves
        const quint32 te = files.entry(std::move(target));
        const quint32 se = sameFile ? te : files.entry(std::move(source));
        const quint32 sameTarget = files[te].writer;
        const quint32 sameSource = files[se].reader;
        QString reason;
        if (sameTarget != kNone)
            reason = u"目标文件与第 "_s + rowRef(plan, sameTarget) + u" 行相同"_s;
        else if (isMove(t.action) && sameSource != kNone)
            reason = u"源文件与第 "_s + rowRef(plan, sameSource) + u" 行相同"_s;
        else if (sameFile)
            reason = u"目标文件即源文件"_s;
        if (!reason.isEmpty()) {
            out.conflicts.push_back({i, reason});
            refused[i] = 1;
            continue;
        }
        takesPart[i] = 1;
        targetEntry[i] = te;
        files[te].writer = i;
        nextReader[i] = sameSource;
        files[se].reader = i;
    }
    // Who reads each row's target, once every row is in.
    std::vector<quint32> readerOfTarget(n, kNone);
    for (quint32 i = 0; i < n; ++i)
        if (takesPart[i])
            readerOfTarget[i] = files[targetEntry[i]].reader;

    // The run ends at a row without a name or path: it stays last.
    const quint32 count = n > 0 && (tasks.back().action == Action::StopNoName ||
                                    tasks.back().action == Action::StopNoPath)
                              ? n - 1
                              : n;
    Scheduler scheduler(plan, readerOfTarget, nextReader, takesPart);
    if (scheduler.link()) {
        out.steps = scheduler.order(count, refused);
        out.writerOf = scheduler.writerOf();
    } else if (!out.conflicts.empty()) {
        out.steps.reserve(count);
        for (quint32 i = 0; i < count; ++i)
            out.steps.push_back({i, refused[i] ? StepKind::Skip : StepKind::Run});
    }
    if (!out.steps.empty() && count < n)
        out.steps.push_back({count, StepKind::Run});
    return out;
}

QList<QStringList> conflictRows(const Plan &plan, const PlanCheck &check, qsizetype limit,
                                qsizetype *rest) {
    QList<QStringList> rows;
    const qsizetype shown = std::min(limit, qsizetype(check.conflicts.size()));
    rows.reserve(shown);
    for (qsizetype k = 0; k < shown; ++k) {
        const Conflict &c = check.conflicts[size_t(k)];
        const Task &t = plan.tasks[c.task];
        rows.append({QString::number(t.row), QString::fromUtf8(t.source()),
                     QString::fromUtf8(t.target()), c.reason});
    }
    if (rest)
        *rest = qsizetype(check.conflicts.size()) - shown;
    return rows;
}

QString conflictLine(const QStringList &row) {
    return u"第 "_s + row.value(0) + u" 行："_s + row.value(1) + u" → "_s + row.value(2) + u"："_s +
           row.value(3);
}

QString conflictTitle() {
    return u"提示"_s;
}

QStringList conflictHeaders() {
    return {u"行号"_s, u"源文件"_s, u"目标文件"_s, u"原因"_s};
}

QString conflictText(qsizetype count) {
    return u"有 "_s + QString::number(count) +
           u" 行会覆盖或移走本次执行写入或尚待读取的文件，这些行不执行，结果为“失败”。"_s;
}

QString conflictRestLine(qsizetype rest) {
    return rest > 0 ? u"另有 "_s + QString::number(rest) + u" 行未列出"_s : QString();
}

} // namespace zorv::files
