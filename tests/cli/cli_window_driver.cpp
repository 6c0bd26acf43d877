#include "cli_window_driver.h"

#include "core/files/batch_run.h"
#include "core/files/list_file.h"
#include "core/files/name_match.h"
#include "core/files/name_ops.h"
#include "core/files/new_names.h"
#include "core/files/source_scan.h"
#include "core/grid/grid.h"
#include "core/platform/progress.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace zorv::test {

QString optionValue(const QStringList &args, const QString &name) {
    const qsizetype i = args.indexOf(u"--"_s + name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

bool hasFlag(const QStringList &args, const QString &name) {
    return args.contains(u"--"_s + name);
}

QString positional(const QStringList &args) {
    static const QStringList withValue{u"--op"_s,     u"--start"_s, u"--count"_s,     u"--text"_s,
                                       u"--step"_s,   u"--on"_s,    u"--columns"_s,   u"--rows"_s,
                                       u"--suffix"_s, u"--mode"_s,  u"--overwrite"_s, u"--root"_s};
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (withValue.contains(args[i]))
            ++i;
        else if (!args[i].startsWith(u"--"))
            return args[i];
    }
    return {};
}

namespace {

class CoreDriver final : public WindowDriver {
public:
    void step(const QStringList &args, const QString &root) override {
        m_platform.clearRecord();
        const QString sub = args.value(0);
        const QString arg = positional(args);
        const QString path = arg.isEmpty() ? QString() : QDir(root).absoluteFilePath(arg);
        ProgressSink &sink = noProgress();
        if (sub == u"list") {
            // cbx_1, cbx_2, cbx_4 set, then cb_1 with the folder dialog answered.
            files::ScanOptions o;
            o.accumulate = hasFlag(args, u"append"_s);
            o.recursive = hasFlag(args, u"recursive"_s);
            o.hidden = hasFlag(args, u"hidden"_s);
            m_platform.nextFolder(path);
            m_ok = files::chooseAndScanSource(*m_grid, m_state, o, sink);
        } else if (sub == u"names") {
            // ddlb_1 entry "N.…", em_1 / em_2 / em_3 typed, rb_1 or rb_2, then cb_5.
            files::NameOpParams p;
            const QString op = optionValue(args, u"op"_s);
            p.op = files::operationCode(op.isEmpty() ? u".选择字符串操作方式"_s : op + u"."_s);
            const QString em1 = optionValue(args, p.op == 9 ? u"step"_s : u"start"_s);
            p.start = p.op == 9 ? 0 : files::editValue(em1);
            p.step = p.op == 9 ? files::editValue(em1) : 0;
            p.count = files::editValue(optionValue(args, u"count"_s));
            p.text = optionValue(args, u"text"_s);
            const bool onTarget = optionValue(args, u"on"_s) == u"target";
            m_ok = files::computeNames(*m_grid, p, onTarget, sink) == files::ComputeResult::Done;
        } else if (sub == u"import-names") {
            // em_4, sle_1, then cb_4 with the file dialog answered.
            const QString cols = optionValue(args, u"columns"_s);
            m_platform.nextFile(path);
            m_ok = files::importNewNames(*m_grid, cols.isEmpty() ? 1 : cols.toInt(),
                                         optionValue(args, u"rows"_s), files::openListFile, sink);
        } else if (sub == u"filter") {
            // sle_1, then cb_10 with the file dialog and the OK/Cancel question answered.
            m_platform.nextFile(path);
            m_platform.nextAnswer(hasFlag(args, u"drop"_s) ? MsgAnswer::Cancel : MsgAnswer::Ok);
            const files::MatchEnd end = files::matchNameListChosen(
                *m_grid, optionValue(args, u"suffix"_s), files::openListFile, sink);
            m_ok = end == files::MatchEnd::Filtered || end == files::MatchEnd::Deleted;
        } else if (sub == u"target") {
            // cbx_3, then pb_1 with the folder dialog answered.
            m_platform.nextFolder(path);
            m_ok = files::chooseTarget(*m_grid, m_state, hasFlag(args, u"keep-tree"_s));
        } else if (sub == u"run") {
            // rb_5 / rb_6, rb_7 / rb_8, then cb_3.
            files::RunOptions o;
            o.move = optionValue(args, u"mode"_s) == u"move";
            o.overwrite = optionValue(args, u"overwrite"_s) != u"no";
            const files::RunSummary s = files::executeRun(*m_grid, m_state, o, sink);
            m_ok = s.end == files::RunEnd::Completed && s.succeeded == s.executed;
        }
    }
    const Grid &grid() const override { return *m_grid; }
    QStringList messages() const override {
        QStringList lines;
        for (const auto &r : m_platform.reviews) // before any message of the step
            lines << r.title + u": "_s + r.text;
        for (const ShownMessage &m : m_platform.messages)
            lines << QString(m.title + u": "_s + m.text).split(u'\n'); // as standard error shows it
        return lines;
    }
    std::optional<bool> succeeded() const override { return m_ok; }

private:
    ScriptedPlatform m_platform;
    std::unique_ptr<Grid> m_grid = files::makeFrn1Grid();
    files::FrnState m_state;
    bool m_ok = false;
};

} // namespace

std::unique_ptr<WindowDriver> makeCoreDriver() {
    return std::make_unique<CoreDriver>();
}

} // namespace zorv::test
