#pragma once
// Feedback of a sub-command on standard error: the progress and status line
// of long steps (only when standard error is a terminal), and Ctrl-C, which
// asks the running loop to stop between rows as Esc does in the window.

#include "core/platform/progress.h"

#include <QString>
#include <chrono>

namespace zorv::cli {

// Installs the SIGINT handler for a step whose loop polls for a stop: the
// first Ctrl-C sets the stop flag, a second one ends the process as usual.
// Steps that never touch the disk keep the default: Ctrl-C ends them at once.
void installInterruptHandler();
bool interrupted();

class TerminalProgress final : public ProgressSink {
public:
    // enabled false (standard error is not a terminal) prints nothing.
    explicit TerminalProgress(bool enabled);
    ~TerminalProgress() override;

    void progress(qint64 done, qint64 total, const QString &status) override;
    bool stopRequested() override { return interrupted(); }

    // The status line text, shown with the next progress figures.
    void setStatus(const QString &text);
    // Removes the progress line so later messages start on a clean line.
    void clear();

private:
    void show(bool force);

    bool m_enabled;
    bool m_shown = false;
    QString m_status;
    qint64 m_done = -1;
    qint64 m_total = 0;
    std::chrono::steady_clock::time_point m_last{};
};

// Whether standard error is a terminal.
bool stderrIsTerminal();

} // namespace zorv::cli
