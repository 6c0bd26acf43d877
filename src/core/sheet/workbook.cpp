#include "core/sheet/workbook.h"

#include "core/platform/progress.h"
#include "core/sheet/bookreader.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <future>

namespace zorv::sheet {

namespace {

enum class Kind { Xls, Xlsx, Other };

Kind sniff(const QByteArray &head) {
    // Compound document (BIFF .xls) and zip (.xlsx) signatures.
    if (head.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")))
        return Kind::Xls;
    if (head.startsWith(QByteArrayLiteral("PK\x03\x04")) ||
        head.startsWith(QByteArrayLiteral("PK\x05\x06")))
        return Kind::Xlsx;
    // An Excel 2.x-4.0 worksheet begins with its BOF record: type 0x0009,
    // 0x0209 or 0x0409, a short length, then version and sheet kind.
    if (head.size() >= 8 && head[0] == '\x09' &&
        (head[1] == '\x00' || head[1] == '\x02' || head[1] == '\x04' || head[1] == '\x08') &&
        head[3] == '\x00' && quint8(head[2]) >= 4 && quint8(head[2]) <= 20)
        return Kind::Xls;
    return Kind::Other;
}

QString quoted(const QString &path) {
    return u'“' + path + u'”';
}

QString notSpreadsheet(const QString &path) {
    return QStringLiteral("文件%1不是 Excel 电子表格（.xls 或 .xlsx），无法读取。")
        .arg(quoted(path));
}

QString withReason(QString text, const QString &reason) {
    return reason.isEmpty() ? text : text + QStringLiteral("（") + reason + QStringLiteral("）");
}

QString stoppedText(const QString &path) {
    return QStringLiteral("已停止读取文件%1。").arg(quoted(path));
}

QString tooLarge(const QString &path, const QString &reason) {
    return withReason(QStringLiteral("文件%1太大或已损坏，无法读取。").arg(quoted(path)), reason);
}

QString outOfMemory(const QString &path) {
    return QStringLiteral("文件%1太大，内存不足，无法读取。").arg(quoted(path));
}

// Runs work, on a worker thread when there is a sink to keep informed; a
// stop request sets control.cancel and the work ends at its next check.
// False when memory ran out.
template <class Work> bool runWatched(ProgressSink *sink, ReadControl &control, Work work) {
    auto guarded = [&work] {
        try {
            work();
            return true;
        } catch (const std::bad_alloc &) {
            return false;
        }
    };
    if (!sink)
        return guarded();
    if (sink->stopRequested()) {
        control.cancel = true;
        return true;
    }
    auto done = std::async(std::launch::async, guarded);
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        sink->progress(control.done, control.total, QString());
        if (!control.cancel && sink->stopRequested())
            control.cancel = true;
    }
    return done.get();
}

} // namespace

Workbook::Workbook() = default;
Workbook::~Workbook() = default;

bool Workbook::open(const QString &path, ProgressSink *progress) {
    m_reader.reset();
    m_path = path;
    m_error.clear();
    m_stopped = false;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        m_error = QStringLiteral("找不到文件%1。").arg(quoted(path));
        return false;
    }
    if (info.isDir()) {
        m_error = QStringLiteral("%1是文件夹，不是电子表格文件。").arg(quoted(path));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("无法打开文件%1：没有读取权限或文件正被占用。").arg(quoted(path));
        return false;
    }
    const Kind kind = sniff(file.read(8));
    file.close();
    if (kind == Kind::Other) {
        m_error = notSpreadsheet(path);
        return false;
    }

    OpenFailure failure = OpenFailure::None;
    QString reason;
    ReadControl control;
    const bool memoryOk = runWatched(progress, control, [&] {
        m_reader = kind == Kind::Xls ? openXls(path, control, &failure, &reason)
                                     : openXlsx(path, &failure, &reason);
    });
    if (!memoryOk) {
        m_reader.reset();
        m_error = outOfMemory(path);
        return false;
    }
    if (control.cancel) {
        // Opening cannot be cut short; its result is thrown away.
        m_reader.reset();
        m_stopped = true;
        m_error = stoppedText(path);
        return false;
    }
    if (m_reader)
        return true;
    switch (failure) {
    case OpenFailure::Password:
        m_error = QStringLiteral("文件%1设有密码保护，无法读取。").arg(quoted(path));
        break;
    case OpenFailure::NoSheets:
        m_error = QStringLiteral("文件%1中没有工作表。").arg(quoted(path));
        break;
    case OpenFailure::NotSpreadsheet:
        m_error = withReason(notSpreadsheet(path), reason);
        break;
    case OpenFailure::TooLarge:
        m_error = tooLarge(path, reason);
        break;
    case OpenFailure::Unsupported:
        m_error =
            QStringLiteral("文件%1是不支持的文件格式（%2），无法读取；请在电子表格程序中另存为 "
                           ".xlsx 或 .xls 后再试。")
                .arg(quoted(path), reason);
        break;
    default:
        m_error = withReason(QStringLiteral("文件%1已损坏，无法读取。").arg(quoted(path)), reason);
        break;
    }
    return false;
}

bool Workbook::isOpen() const {
    return m_reader != nullptr;
}

int Workbook::sheetCount() const {
    return m_reader ? int(m_reader->sheetNames().size()) : 0;
}

QStringList Workbook::sheetNames() const {
    return m_reader ? m_reader->sheetNames() : QStringList();
}

int Workbook::activeSheet() const {
    return m_reader ? m_reader->activeSheet() : 0;
}

int Workbook::sheetIndex(WhichSheet which) const {
    return which == WhichSheet::Active ? activeSheet() : 0;
}

std::optional<Sheet> Workbook::readSheet(int index, ProgressSink *progress) {
    m_stopped = false;
    if (!m_reader) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("没有打开电子表格文件。");
        return std::nullopt;
    }
    ReadControl control;
    QString reason;
    std::optional<Sheet> sheet;
    const bool memoryOk = runWatched(progress, control,
                                     [&] { sheet = m_reader->readSheet(index, control, &reason); });
    if (!memoryOk) {
        m_error = outOfMemory(m_path);
        return std::nullopt;
    }
    if (control.cancel) {
        m_stopped = true;
        m_error = stoppedText(m_path);
        return std::nullopt;
    }
    if (!sheet && control.tooLarge)
        m_error = tooLarge(m_path, reason);
    else if (!sheet)
        m_error = withReason(QStringLiteral("文件%1的工作表“%2”已损坏，无法读取。")
                                 .arg(quoted(m_path), m_reader->sheetNames().value(index)),
                             reason);
    return sheet;
}

std::optional<Sheet> readSheet(const QString &path, WhichSheet which, QString *error,
                               ProgressSink *progress, bool *stopped) {
    Workbook book;
    std::optional<Sheet> sheet;
    if (book.open(path, progress))
        sheet = book.readSheet(book.sheetIndex(which), progress);
    if (!sheet && error)
        *error = book.errorString();
    if (stopped)
        *stopped = !sheet && book.wasStopped();
    return sheet;
}

FileKind sniffFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Unreadable;
    const QByteArray head = file.read(4096);
    if (sniff(head) != Kind::Other)
        return FileKind::Spreadsheet;
    // Text in UTF-16 has a byte-order mark; other text has no NUL byte and
    // few control characters.
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return FileKind::Text;
    int control = 0;
    for (char c : head) {
        const auto u = quint8(c);
        if (u == 0)
            return FileKind::Binary;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != 0x1A)
            ++control;
    }
    return control * 20 > head.size() ? FileKind::Binary : FileKind::Text;
}

} // namespace zorv::sheet
