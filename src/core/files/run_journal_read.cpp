// Reading a run's journal back (the lines are described in run_journal.h).
#include "core/files/run_journal.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <charconv>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

// The fields of one line, split at tabs without copying.
struct Fields {
    static constexpr int kMax = 12;
    QByteArrayView f[kMax];
    int size = 0;
    const QByteArrayView &operator[](int i) const { return f[i]; }
};

void splitFields(QByteArrayView line, Fields *out) {
    out->size = 0;
    const char *p = line.data();
    const char *end = p + line.size();
    for (;;) {
        const char *q = static_cast<const char *>(std::memchr(p, '\t', size_t(end - p)));
        if (out->size == Fields::kMax) {
            out->size = Fields::kMax + 1; // more fields than any line has
            return;
        }
        out->f[out->size++] = QByteArrayView(p, (q ? q : end) - p);
        if (!q)
            return;
        p = q + 1;
    }
}

template <typename T> bool parseNumber(QByteArrayView text, T *out, int base = 10) {
    if (text.isEmpty())
        return false;
    const char *end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, *out, base);
    return r.ec == std::errc() && r.ptr == end;
}

bool parseFile(QByteArrayView text, FileId *f) {
    *f = FileId{};
    if (text == "-")
        return true;
    quint64 v[5];
    for (int n = 0; n < 5; ++n) {
        const qsizetype colon = text.indexOf(':');
        if ((colon < 0) != (n == 4))
            return false;
        if (!parseNumber(colon < 0 ? text : text.first(colon), &v[n], 16))
            return false;
        if (colon >= 0)
            text = text.sliced(colon + 1);
    }
    f->present = true;
    f->dev = v[0];
    f->ino = v[1];
    f->size = qint64(v[2]);
    f->sec = qint64(v[3]);
    f->nsec = qint64(v[4]);
    return true;
}

bool parseOp(QByteArrayView text, JournalStep *s) {
    static const struct {
        const char *name;
        char op;
        bool move;
    } ops[] = {{"move", 'M', true},         {"copy", 'C', false},
               {"hold-move", 'H', true},    {"hold-copy", 'H', false},
               {"release-move", 'R', true}, {"release-copy", 'R', false}};
    for (const auto &o : ops)
        if (text == o.name) {
            s->op = o.op;
            s->moveKind = o.move;
            return true;
        }
    return false;
}

// The step entry numbered step (entries are in step order).
JournalStep *findStep(std::vector<JournalStep> &steps, qint64 step) {
    const auto it = std::lower_bound(steps.begin(), steps.end(), step,
                                     [](const JournalStep &s, qint64 k) { return s.step < k; });
    return it != steps.end() && it->step == step ? &*it : nullptr;
}

bool parseFolder(const Fields &f, Journal *j) {
    int id = 0;
    if (!parseNumber(f[1], &id) || id != int(j->folders.size()))
        return false;
    JournalFolder folder;
    folder.path = unescape(f[2]);
    const QByteArrayView where = f[3];
    bool ok = true;
    if (where.startsWith('-')) {
        ok = where.size() == 1 || parseNumber(where.sliced(1), &folder.missing);
    } else {
        const qsizetype a = where.indexOf(':');
        const qsizetype b = a < 0 ? -1 : where.indexOf(':', a + 1);
        const QByteArrayView ino = b < 0 ? where.sliced(a + 1) : where.sliced(a + 1, b - a - 1);
        folder.link = b >= 0;
        folder.known = a > 0 && (b < 0 || where.sliced(b + 1) == "L") &&
                       parseNumber(where.first(a), &folder.dev, 16) &&
                       parseNumber(ino, &folder.ino, 16);
        ok = folder.known;
    }
    j->folders.push_back(std::move(folder));
    return ok;
}

bool parseStep(const Fields &f, Journal *j) {
    JournalStep s;
    const int folders = int(j->folders.size());
    if (!parseNumber(f[1], &s.step) || !parseNumber(f[2], &s.row) || !parseOp(f[3], &s) ||
        !parseNumber(f[4], &s.sourceFolder) || !parseNumber(f[6], &s.targetFolder) ||
        s.sourceFolder < 0 || s.sourceFolder >= folders || s.targetFolder < 0 ||
        s.targetFolder >= folders || !parseFile(f[8], &s.source) ||
        !parseFile(f[9], &s.targetBefore) || (!j->steps.empty() && j->steps.back().step >= s.step))
        return false;
    s.sourceName = unescape(f[5]);
    s.targetName = unescape(f[7]);
    j->steps.push_back(std::move(s));
    return true;
}

bool parseLine(const Fields &f, Journal *j) {
    const QByteArrayView kind = f[0];
    if (kind == "P" && f.size >= 2)
        return parseNumber(f[1], &j->pid);
    if (kind == "D" && f.size == 4)
        return parseFolder(f, j);
    if (kind == "B" && f.size == 10)
        return parseStep(f, j);
    if (kind == "H" && f.size == 3) {
        qint64 row = 0;
        if (!parseNumber(f[1], &row))
            return false;
        // The hold of that row is its last hold step written so far.
        for (auto it = j->steps.rbegin(); it != j->steps.rend(); ++it)
            if (it->row == row && it->op == 'H') {
                it->temp = unescape(f[2]);
                break;
            }
        return true;
    }
    if (kind == "O" && f.size == 4) {
        qint64 step = 0;
        int o = 0;
        JournalStep *s = parseNumber(f[1], &step) ? findStep(j->steps, step) : nullptr;
        if (!s || !parseNumber(f[2], &o) || o < 0 || o >= kOutcomeKinds ||
            !parseFile(f[3], &s->created))
            return false;
        s->outcome = o;
        return true;
    }
    if (kind == "E") {
        j->ended = true;
        return true;
    }
    if (kind == "R" && f.size == 3) {
        qint64 step = 0;
        if (!parseNumber(f[1], &step))
            return false;
        if (JournalStep *s = findStep(j->steps, step))
            return parseNumber(f[2], &s->undoResult);
        return true;
    }
    if (kind == "U") {
        j->undone = true;
        return true;
    }
    return false;
}

} // namespace

QByteArray unescape(QByteArrayView field) {
    if (!field.contains('\\'))
        return field.toByteArray();
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            out.append(c);
            continue;
        }
        const char e = field[++i];
        out.append(e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e);
    }
    return out;
}

QByteArray Journal::sourcePath(const JournalStep &s) const {
    return folders[size_t(s.sourceFolder)].path + s.sourceName;
}

QByteArray Journal::targetPath(const JournalStep &s) const {
    return folders[size_t(s.targetFolder)].path + s.targetName;
}

bool readJournal(const QString &path, Journal *out, QString *error) {
    *out = Journal{};
    out->path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"执行日志无法读取："_s + path + u"\n"_s + file.errorString();
        return false;
    }
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = u"执行日志无法读取："_s + path + u"\n"_s + file.errorString();
        return false;
    }
    const QByteArray head = "ZORV-RUN-JOURNAL 1\n";
    if (!all.startsWith(head)) {
        *error = u"不是执行日志："_s + path;
        return false;
    }
    qsizetype pos = head.size();
    qint64 line = 1;
    Fields fields;
    while (pos < all.size()) {
        const qsizetype end = all.indexOf('\n', pos);
        if (end < 0) {
            out->cutOff = true; // cut off while it was written
            break;
        }
        ++line;
        splitFields(QByteArrayView(all).sliced(pos, end - pos), &fields);
        pos = end + 1;
        if (parseLine(fields, out))
            continue;
        // A line cut off by a kill, closed later by an undo's "X" line.
        if (all.mid(pos, 2) == "X\n") {
            pos += 2;
            ++line;
            continue;
        }
        *error = u"执行日志第 "_s + QString::number(line) + u" 行无法识别："_s + path;
        return false;
    }
    return true;
}

QString latestJournal(const QString &folder) {
    const QStringList names = QDir(folder).entryList({u"run-*.journal"_s}, QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : folder + u'/' + names.last();
}

} // namespace zorv::files
