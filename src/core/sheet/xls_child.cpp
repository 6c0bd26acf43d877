#include "core/sheet/xls_child.h"

#include <QtGlobal>
#include <cerrno>
#include <cstring>
#include <freexl.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <iconv.h>
#include <mutex>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_SANITIZED 1
#endif
#endif
#ifdef ZORV_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace zorv::sheet {

namespace {

// Buffers records and hands them on in large pieces.
class RecordWriter {
public:
    explicit RecordWriter(int fd, std::string *target) : m_fd(fd), m_target(target) {}
    ~RecordWriter() { flush(); }

    template <class T> void put(const T &value) {
        m_buffer.append(reinterpret_cast<const char *>(&value), sizeof(T));
        if (m_buffer.size() >= (1 << 16))
            flush();
    }
    void tag(char t) { put(t); }
    void text(const char *s) {
        const quint32 size = s ? quint32(std::strlen(s)) : 0;
        put(size);
        m_buffer.append(s ? s : "", size);
    }
    void flush() {
        if (m_target) {
            m_target->append(m_buffer);
        } else {
            for (size_t done = 0; done < m_buffer.size();) {
#ifdef Q_OS_UNIX
                const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += size_t(n);
#else
                break;
#endif
            }
        }
        m_buffer.clear();
    }

private:
    int m_fd;
    std::string *m_target;
    std::string m_buffer;
};

void writeWorkbook(const char *path, RecordWriter &out) {
    const void *handle = nullptr;
    const int rc = freexl_open(path, &handle);
    if (rc != FREEXL_OK) {
        out.tag(xlsrecord::kFailed);
        out.put(qint32(rc));
        return;
    }
    unsigned int info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        out.tag(xlsrecord::kPassword);
        freexl_close(handle);
        return;
    }
    unsigned int count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        count = 0;
    for (unsigned int i = 0; i < count && i < 65535; ++i) {
        const auto index = static_cast<unsigned short>(i);
        const char *name = nullptr;
        if (freexl_get_worksheet_name(handle, index, &name) != FREEXL_OK)
            name = nullptr;
        out.tag(xlsrecord::kSheet);
        out.text(name);
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(handle, index) != FREEXL_OK ||
            freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
            continue;
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK)
                    continue;
                char t = 0;
                switch (v.type) {
                case FREEXL_CELL_INT:
                    t = xlsrecord::kInt;
                    break;
                case FREEXL_CELL_DOUBLE:
                    t = xlsrecord::kDouble;
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    t = xlsrecord::kText;
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    t = xlsrecord::kDate;
                    break;
                default:
                    continue;
                }
                out.tag(t);
                out.put(quint32(r));
                out.put(quint16(c));
                if (t == xlsrecord::kInt)
                    out.put(qint32(v.value.int_value));
                else if (t == xlsrecord::kDouble)
                    out.put(v.value.double_value);
                else
                    out.text(v.value.text_value);
            }
        }
    }
    freexl_close(handle);
    out.tag(xlsrecord::kEnd);
}

} // namespace

#ifdef Q_OS_UNIX

namespace {

// The converters FreeXL asks for are loaded here, once, and kept: a child
// made by fork() then finds them loaded instead of loading modules itself
// while another thread of the parent might have held the loader's lock.
void preloadConverters() {
    [[maybe_unused]] static iconv_t kept[4];
    static std::once_flag once;
    std::call_once(once, [] {
        int i = 0;
        for (const char *from : {"UTF-16LE", "CP1252", "CP936", "CP1251"})
            kept[i++] = ::iconv_open("UTF-8", from);
    });
}

// A fault in the child ends the child and nothing else: handlers the parent
// installed (a crash reporter, a sanitizer or fuzzer runtime) are not run.
void becomeDisposable() {
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        ::signal(sig, SIG_DFL);
#ifdef ZORV_SANITIZED
    // The sanitizer's report of a FreeXL fault is expected here; the parent
    // turns the child's death into its own message.
    __sanitizer_set_death_callback(nullptr);
    const int devNull = ::open("/dev/null", O_WRONLY);
    if (devNull >= 0)
        ::dup2(devNull, STDERR_FILENO);
#endif
}

} // namespace

bool runXlsReader(const QByteArray &path, ReadControl &control, std::string &stream,
                  QString *reason) {
    preloadConverters();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *reason = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        *reason = QStringLiteral("fork: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // The child: FreeXL and plain writes only, then leave without running
        // the parent's exit handlers.
        becomeDisposable();
        ::close(fds[0]);
        {
            RecordWriter out(fds[1], nullptr);
            writeWorkbook(path.constData(), out);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    bool stopped = false;
    char buffer[1 << 16];
    for (;;) {
        if (control.cancel) {
            ::kill(pid, SIGKILL);
            stopped = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 50);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        stream.append(buffer, size_t(n));
        control.done = qint64(stream.size());
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (stopped) {
        *reason = QStringLiteral("stopped");
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *reason = WIFSIGNALED(status)
                      ? QStringLiteral("the .xls reader failed on this file (signal %1)")
                            .arg(WTERMSIG(status))
                      : QStringLiteral("the .xls reader failed on this file");
        return false;
    }
    return true;
}

#else

// Without fork the reader runs in this process.
bool runXlsReader(const QByteArray &path, ReadControl &, std::string &stream, QString *) {
    RecordWriter out(-1, &stream);
    writeWorkbook(path.constData(), out);
    return true;
}

#endif

} // namespace zorv::sheet
