#include "core/sheet/xls_container.h"

#include <cstring>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include <mutex>

namespace zorv::sheet {

namespace {

template <class T> struct Unref {
    T *p = nullptr;
    ~Unref() {
        if (p)
            g_object_unref(p);
    }
};

// libgsf reports a sector outside the file (a cut or damaged container) as a
// critical log message and goes on; such a file is refused here. Its messages,
// in English, are kept off the user's terminal.
thread_local bool t_containerFault = false;

void gsfLog(const gchar *, GLogLevelFlags level, const gchar *, gpointer) {
    if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR))
        t_containerFault = true;
}

void startGsf() {
    gsf_init();
    const auto levels = GLogLevelFlags(G_LOG_LEVEL_MASK | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION);
    for (const char *domain : {"libgsf", "libgsf:msole", "libgsf:utils"})
        g_log_set_handler(domain, levels, gsfLog, nullptr);
}

bool startsWith(const QByteArray &file, const char *sig, int n) {
    return file.size() >= n && std::memcmp(file.constData(), sig, size_t(n)) == 0;
}

} // namespace

bool readWorkbookStream(QByteArray file, WorkbookStream *stream, OpenFailure *failure,
                        QString *reason) {
    stream->file = std::move(file);
    const QByteArray &bytes = stream->file;
    if (!startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        // An Excel 2.x-4.0 worksheet is its record stream.
        stream->bytes = std::string_view(bytes.constData(), size_t(bytes.size()));
        return true;
    }
    static std::once_flag once;
    std::call_once(once, startGsf);
    t_containerFault = false;

    Unref<GsfInput> input{gsf_input_memory_new(reinterpret_cast<const guint8 *>(bytes.constData()),
                                               gsf_off_t(bytes.size()), FALSE)};
    GError *error = nullptr;
    Unref<GsfInfile> ole{input.p ? gsf_infile_msole_new(input.p, &error) : nullptr};
    if (error)
        g_error_free(error); // its text is the library's, in English: not shown
    if (!ole.p || t_containerFault) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("复合文档的目录或扇区表损坏");
        return false;
    }
    Unref<GsfInput> book{gsf_infile_child_by_name(ole.p, "Workbook")};
    if (!book.p)
        book.p = gsf_infile_child_by_name(ole.p, "Book");
    if (!book.p) {
        if (Unref<GsfInput> enc{gsf_infile_child_by_name(ole.p, "EncryptedPackage")}; enc.p) {
            *failure = OpenFailure::Password; // an encrypted .xlsx
            return false;
        }
        *failure = OpenFailure::NotSpreadsheet;
        *reason = QStringLiteral("其中没有工作簿数据，可能是 Word 等其他程序的文件");
        return false;
    }
    const gsf_off_t size = gsf_input_size(book.p);
    // The stream's sectors lie in the file: a larger size is a lie.
    if (size < 0 || size > gsf_off_t(bytes.size())) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("工作簿数据的长度超出文件");
        return false;
    }
    // Read without a buffer of ours, the stream comes as a pointer into the
    // file's bytes when its sectors follow each other, and otherwise as the
    // stream object's own copy, valid while that object lives: no bytes are
    // copied or cleared that need not be.
    const guint8 *data = nullptr;
    if (size > 0 && !(data = gsf_input_read(book.p, size_t(size), nullptr))) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("工作簿数据的扇区链断开");
        return false;
    }
    if (t_containerFault) {
        *failure = OpenFailure::Damaged;
        *reason = QStringLiteral("复合文档中有扇区超出文件末尾");
        return false;
    }
    const auto *begin = reinterpret_cast<const char *>(data);
    if (size > 0 && (begin < bytes.constData() || begin + size > bytes.constData() + bytes.size()))
        stream->holder = std::shared_ptr<void>(g_object_ref(book.p), g_object_unref);
    stream->bytes = std::string_view(begin ? begin : "", size_t(size));
    return true;
}

} // namespace zorv::sheet
