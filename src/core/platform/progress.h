#pragma once
// Callback through which long core loops report progress and learn of a stop
// request (Esc). Windows and the command-line tool implement it; the default
// reports nothing and never stops.

#include <QString>
#include <QtGlobal>

namespace zorv {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // done of total items; status is the status-line text for this step (may be empty).
    virtual void progress(qint64 done, qint64 total, const QString &status) {
        Q_UNUSED(done);
        Q_UNUSED(total);
        Q_UNUSED(status);
    }
    virtual bool stopRequested() { return false; }
};

// A sink that does nothing, for callers that need no feedback.
inline ProgressSink &noProgress() {
    static ProgressSink sink;
    return sink;
}

} // namespace zorv
