#include "cli/list_stream.h"

#include "cli/grid_stream.h"
#include "core/files/text_walk.h"
#include "core/platform/progress.h"

#include <charconv>
#include <string>

using namespace Qt::StringLiterals;

namespace zorv::cli {
namespace {

// The stream's escaping of a field (see escapeField) on its UTF-8 bytes.
void appendEscaped(std::string &out, std::string_view text) {
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char *esc = c == '\\'   ? "\\\\"
                          : c == '\t' ? "\\t"
                          : c == '\n' ? "\\n"
                          : c == '\r' ? "\\r"
                                      : nullptr;
        if (!esc)
            continue;
        out.append(text.data() + from, i - from);
        out.append(esc, 2);
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}

class Writer {
public:
    explicit Writer(std::FILE *out) : m_out(out) { m_buf.reserve(kChunk + 8192); }
    std::string &buf() { return m_buf; }
    void maybeFlush() {
        if (m_buf.size() >= kChunk)
            flush();
    }
    void flush() {
        if (!m_buf.empty() && std::fwrite(m_buf.data(), 1, m_buf.size(), m_out) != m_buf.size())
            m_ok = false;
        m_buf.clear();
    }
    bool finish() {
        flush();
        return std::fflush(m_out) == 0 && m_ok;
    }

private:
    static constexpr size_t kChunk = 1 << 20;
    std::FILE *m_out;
    std::string m_buf;
    bool m_ok = true;
};

} // namespace

bool streamFreshList(const QString &path1, bool recursive, bool hidden, std::FILE *out,
                     ProgressSink &progress, qint64 *skipped, qint64 *masked) {
    Writer w(out);
    const QByteArray header = streamColumns().join(u'\t').toUtf8() + '\n';
    w.buf().append(header.constData(), size_t(header.size()));
    const QString importing = u"正在导入..."_s;
    long long number = 0;
    std::string before; // "\t" ypath "\t": what comes between a row's number and its name
    std::string after;  // the empty columns and zml up to the line's end
    const auto onRun = [&](const files::TextFileRun &run) {
        before.assign(1, '\t');
        appendEscaped(before, run.ypath);
        before.push_back('\t');
        after.assign("\t\t\t\t", 4);
        if (recursive)
            appendEscaped(after, run.zml);
        after.push_back('\n');
        std::string &buf = w.buf();
        for (const std::string_view name : *run.names) {
            char digits[24];
            const auto r = std::to_chars(digits, digits + sizeof digits, ++number);
            buf.append(digits, size_t(r.ptr - digits));
            buf.append(before);
            appendEscaped(buf, name);
            buf.append(after);
            w.maybeFlush();
        }
        progress.progress(number, 0, importing);
    };
    files::walkSourceText(path1, recursive, hidden, onRun, skipped, masked);
    return w.finish();
}

} // namespace zorv::cli
