#pragma once
// Guards a long loop on the UI thread. While a guard lives, every window keeps
// painting but user input is swallowed, except the Esc key (noted, so the loop
// can stop) and close requests (left to the windows' own close guards). A
// dialog that the loop itself opens (a question per file, say) still takes
// all input, the pop-ups it opens (completion lists, drop-downs) included. As a ProgressSink it
// writes the status line and an optional progress bar at most about 20 times a second, and lets the
// windows repaint.

#include "core/platform/progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>

namespace zorv::gui {

class BusyGuard final : public ProgressSink {
public:
    explicit BusyGuard(QProgressBar *bar = nullptr);
    ~BusyGuard() override;
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

    // True while any guard lives.
    static bool active();
    // Esc pressed since the outermost living guard began (false when none lives).
    static bool escSeen();

    // Shows status (when not empty) and done/total on the bar; throttled, but
    // the final step (done == total) is always shown.
    void progress(qint64 done, qint64 total, const QString &status) override;
    // Lets pending events through (throttled) and tells whether Esc was pressed
    // (seen by the guard or reported by the platform).
    bool stopRequested() override;

private:
    void pumpEvents(bool force);

    QPointer<QProgressBar> m_bar;
    QElapsedTimer m_clock;
    qint64 m_lastUpdateMs = -1;
    qint64 m_lastPumpMs = -1;
};

} // namespace zorv::gui
