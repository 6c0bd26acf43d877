#pragma once
// Writes spreadsheet fixtures at test time with the system Python and its
// xlwt / xlsxwriter modules (write_sheet.py beside this file).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace zorv::test {

// kind: "xls", "shared", "inline" or "zip"; description as write_sheet.py takes it.
// Returns the script's error output, empty on success.
inline QString writeSheetFixture(const QString &kind, const QString &path,
                                 const QJsonObject &description) {
    QProcess p;
    p.start(QStringLiteral(ZORV_PYTHON3),
            {QStringLiteral(ZORV_SOURCE_DIR "/tests/core/sheet/write_sheet.py"), kind, path});
    if (!p.waitForStarted(10000))
        return QStringLiteral("python did not start");
    p.write(QJsonDocument(description).toJson(QJsonDocument::Compact));
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return QStringLiteral("python timed out");
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromUtf8(p.readAllStandardError()) + QStringLiteral(" (exit code ") +
               QString::number(p.exitCode()) + u')';
    return {};
}

// One sheet of rows, as write_sheet.py takes it.
inline QJsonObject oneSheet(const QJsonArray &rows,
                            const QString &name = QStringLiteral("Sheet1")) {
    return QJsonObject{
        {QStringLiteral("sheets"),
         QJsonArray{QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("rows"), rows}}}}};
}

inline QJsonObject dateCell(const QString &kind, const QString &value) {
    return QJsonObject{{kind, value}};
}

} // namespace zorv::test
