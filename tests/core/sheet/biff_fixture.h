#pragma once
// Builds binary workbooks record by record for the tests: a record stream,
// written bare (Excel 2.x-4.0 worksheets) or as the "Workbook"/"Book" stream
// of a compound document through libgsf.

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

namespace zorv::test {

inline QByteArray le16(int v) {
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(quint16(v), b.data());
    return b;
}
inline QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(v, b.data());
    return b;
}
inline QByteArray f64(double v) {
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}
// A BIFF8 string: 16-bit count, option byte, characters 8 or 16 bits wide.
inline QByteArray ustr(const QString &s, bool countIs8 = false) {
    bool wide = false;
    for (QChar c : s)
        wide = wide || c.unicode() > 0xFF;
    QByteArray b = countIs8 ? QByteArray(1, char(s.size())) : le16(int(s.size()));
    b += char(wide ? 1 : 0);
    for (QChar c : s)
        b += wide ? le16(c.unicode()) : QByteArray(1, char(c.unicode()));
    return b;
}

class BiffStream {
public:
    QByteArray data;
    // Appends a record; returns the offset of its header.
    int rec(int type, const QByteArray &body) {
        const int at = int(data.size());
        data += le16(type) + le16(int(body.size())) + body;
        return at;
    }
    void patch32(int at, quint32 v) { qToLittleEndian<quint32>(v, data.data() + at); }
    // Row, column (0-based) and XF of a cell record after BIFF2.
    static QByteArray cell(int row, int column, int xf = 0) {
        return le16(row) + le16(column) + le16(xf);
    }
};

// Writes stream as the named stream of a compound document; "" on success.
inline QString writeCompound(const QString &path, const QByteArray &stream,
                             const char *name = "Workbook") {
    gsf_init();
    GError *err = nullptr;
    GsfOutput *out = gsf_output_stdio_new(path.toLocal8Bit().constData(), &err);
    if (!out) {
        g_error_free(err);
        return QStringLiteral("cannot create ") + path;
    }
    GsfOutfile *ole = gsf_outfile_msole_new(out);
    GsfOutput *child = gsf_outfile_new_child(ole, name, FALSE);
    gsf_output_write(child, size_t(stream.size()),
                     reinterpret_cast<const guint8 *>(stream.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    if (!gsf_output_is_closed(out)) // closing the container closes its file
        gsf_output_close(out);
    g_object_unref(out);
    return QString();
}

// Swaps the second and third sector of the "Workbook" stream in a compound
// document written by writeCompound() (at least three sectors long), in the
// file and in its sector chain, so that the stream no longer lies in one run
// of the file but still reads the same. False when the file is not as made.
inline bool scatterWorkbook(QByteArray &file) {
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(file.constData() + at); };
    auto set32 = [&](qsizetype at, quint32 v) { qToLittleEndian<quint32>(v, file.data() + at); };
    if (file.size() < 512)
        return false;
    const int shift = qFromLittleEndian<quint16>(file.constData() + 0x1E);
    const qsizetype sector = qsizetype(1) << shift;
    const auto offset = [&](quint32 s) { return (qsizetype(s) + 1) * sector; };
    // The FAT entry of sector s, through the header's list of FAT sectors.
    const auto fatEntry = [&](quint32 s) {
        const quint32 perSector = quint32(sector / 4);
        return offset(u32(0x4C + 4 * qsizetype(s / perSector))) + 4 * qsizetype(s % perSector);
    };
    // The stream's entry in the first sector of the directory.
    const QByteArray name("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    qsizetype entry = -1;
    for (qsizetype e = offset(u32(0x30)); e + 128 <= offset(u32(0x30)) + sector; e += 128)
        if (e + 128 <= file.size() && file.mid(e, 16) == name)
            entry = e;
    if (entry < 0)
        return false;
    const quint32 c0 = u32(entry + 0x74);
    const quint32 c1 = u32(fatEntry(c0));
    const quint32 c2 = u32(fatEntry(c1));
    if (c1 >= 0xFFFFFFFA || c2 >= 0xFFFFFFFA || offset(std::max(c1, c2)) + sector > file.size())
        return false;
    const quint32 c3 = u32(fatEntry(c2));
    const QByteArray first = file.mid(offset(c1), sector);
    file.replace(offset(c1), sector, file.mid(offset(c2), sector));
    file.replace(offset(c2), sector, first);
    set32(fatEntry(c0), c2);
    set32(fatEntry(c2), c1);
    set32(fatEntry(c1), c3);
    return true;
}

} // namespace zorv::test
