#include "cli/terminal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

std::atomic<bool> g_interrupted{false};

void onInterrupt(int) {
    g_interrupted.store(true);
    // A second Ctrl-C takes the default action and ends the process.
    std::signal(SIGINT, SIG_DFL);
}

// At most about ten redraws a second: a progress line is for the eye only.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

void installInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND; // the second Ctrl-C is the default one
    sigaction(SIGINT, &sa, nullptr);
}

bool interrupted() {
    return g_interrupted.load(std::memory_order_relaxed);
}

bool stderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

TerminalProgress::TerminalProgress(bool enabled) : m_enabled(enabled) {}

TerminalProgress::~TerminalProgress() {
    clear();
}

void TerminalProgress::progress(qint64 done, qint64 total, const QString &status) {
    if (!m_enabled)
        return;
    m_done = done;
    m_total = total;
    if (!status.isEmpty())
        m_status = status;
    show(false);
}

void TerminalProgress::setStatus(const QString &text) {
    if (!m_enabled)
        return;
    m_status = text;
    show(false);
}

void TerminalProgress::show(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && m_shown && now - m_last < kRedrawInterval)
        return;
    m_last = now;
    QString line = m_status;
    if (m_done >= 0 && m_total > 0)
        line += u"  "_s + QString::number(m_done) + u'/' + QString::number(m_total);
    else if (m_done > 0) // a count whose end is not known yet (a folder tree being read)
        line += u"  "_s + QString::number(m_done);
    if (line.isEmpty())
        return;
    // Carriage return + erase line keeps a single line that updates in place.
    const QByteArray out = "\r\x1b[K" + line.toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
    std::fflush(stderr);
    m_shown = true;
}

void TerminalProgress::clear() {
    if (!m_enabled || !m_shown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

} // namespace zorv::cli
