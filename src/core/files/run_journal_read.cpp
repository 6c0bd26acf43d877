// Reading a run's journal back (the lines are described in run_journal.h).
#include "core/files/run_journal.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace zorv::files {
namespace {

bool parseHex(const QByteArray &text, quint64 *out) {
    bool ok = false;
    *out = text.toULongLong(&ok, 16);
    return ok;
}

bool parseFile(const QByteArray &text, FileId *f) {
    *f = FileId{};
    if (text == "-")
        return true;
    const QList<QByteArray> parts = text.split(':');
    quint64 v[5];
    if (parts.size() != 5)
        return false;
    for (int i = 0; i < 5; ++i)
        if (!parseHex(parts[i], &v[i]))
            return false;
    f->present = true;
    f->dev = v[0];
    f->ino = v[1];
    f->size = qint64(v[2]);
    f->sec = qint64(v[3]);
    f->nsec = qint64(v[4]);
    return true;
}

bool parseOp(const QByteArray &text, JournalStep *s) {
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

bool parseLine(const QList<QByteArray> &f, Journal *j) {
    const QByteArray &kind = f[0];
    bool ok = true;
    if (kind == "P" && f.size() >= 2) {
        j->pid = f[1].toLongLong(&ok);
    } else if (kind == "D" && f.size() == 4) {
        const int id = f[1].toInt(&ok);
        if (!ok || id != int(j->folders.size()))
            return false;
        JournalFolder folder;
        folder.path = unescape(f[2]);
        if (f[3].startsWith('-')) {
            folder.missing = f[3].size() > 1 ? f[3].mid(1).toInt(&ok) : 0;
        } else {
            const QList<QByteArray> parts = f[3].split(':');
            folder.known = (parts.size() == 2 || (parts.size() == 3 && parts[2] == "L")) &&
                           parseHex(parts[0], &folder.dev) && parseHex(parts[1], &folder.ino);
            folder.link = parts.size() == 3;
            ok = folder.known;
        }
        j->folders.push_back(std::move(folder));
    } else if (kind == "B" && f.size() == 10) {
        JournalStep s;
        bool rowOk = false, srcOk = false, tgtOk = false;
        s.step = f[1].toLongLong(&ok);
        s.row = f[2].toLongLong(&rowOk);
        s.sourceFolder = f[4].toInt(&srcOk);
        s.targetFolder = f[6].toInt(&tgtOk);
        const int folders = int(j->folders.size());
        if (!ok || !rowOk || !srcOk || !tgtOk || !parseOp(f[3], &s) || s.sourceFolder < 0 ||
            s.sourceFolder >= folders || s.targetFolder < 0 || s.targetFolder >= folders ||
            !parseFile(f[8], &s.source) || !parseFile(f[9], &s.targetBefore) ||
            (!j->steps.empty() && j->steps.back().step >= s.step))
            return false;
        s.sourceName = unescape(f[5]);
        s.targetName = unescape(f[7]);
        j->steps.push_back(std::move(s));
    } else if (kind == "H" && f.size() == 3) {
        const qint64 row = f[1].toLongLong(&ok);
        // The hold of that row is its last hold step written so far.
        for (auto it = j->steps.rbegin(); ok && it != j->steps.rend(); ++it)
            if (it->row == row && it->op == 'H') {
                it->temp = unescape(f[2]);
                break;
            }
    } else if (kind == "O" && f.size() == 4) {
        JournalStep *s = findStep(j->steps, f[1].toLongLong(&ok));
        bool outOk = false;
        const int o = f[2].toInt(&outOk);
        if (!ok || !s || !outOk || o < 0 || o >= kOutcomeKinds || !parseFile(f[3], &s->created))
            return false;
        s->outcome = o;
    } else if (kind == "E") {
        j->ended = true;
    } else if (kind == "R" && f.size() == 3) {
        if (JournalStep *s = findStep(j->steps, f[1].toLongLong(&ok)))
            s->undoResult = f[2].toInt(&ok);
    } else if (kind == "U") {
        j->undone = true;
    } else {
        return false;
    }
    return ok;
}

} // namespace

QByteArray unescape(const QByteArray &field) {
    if (!field.contains('\\'))
        return field;
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
    QList<QByteArray> fields;
    while (pos < all.size()) {
        const qsizetype end = all.indexOf('\n', pos);
        if (end < 0) {
            out->cutOff = true; // cut off while it was written
            break;
        }
        ++line;
        fields = all.mid(pos, end - pos).split('\t');
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
