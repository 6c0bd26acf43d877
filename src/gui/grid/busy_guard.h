#pragma once
// Guards a long loop on the UI thread. While a guard lives, every window keeps
// painting but user input is swallowed, except the Esc key (noted, so the loop
// can stop) and close requests (left to the windows' own close guards). As a
// ProgressSink it writes the status line and an optional progress bar at most
// about 20 times a second.

#include "core/platform/progress.h"

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

    void progress(qint64 done, qint64 total, const QString &status) override;
    bool stopRequested() override;

private:
    QPointer<QProgressBar> m_bar;
    qint64 m_lastUpdateMs = -1;
};

} // namespace zorv::gui
