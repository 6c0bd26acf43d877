#pragma once
// A binary (BIFF) workbook held in memory: the record stream and what its
// workbook globals say (sheets, shared strings, number formats, code page,
// date system). Cells are read one sheet at a time from the stream.

#include "core/sheet/biff_stream.h"
#include "core/sheet/bookreader.h"
#include "core/sheet/number_format.h"
#include "core/sheet/xls_container.h"

#include <string>
#include <vector>

namespace zorv::sheet {

class XlsBook {
public:
    struct SheetEntry {
        QString name;
        size_t offset = 0; // of its BOF record in the stream
        bool hidden = false;
    };

    // Reads the workbook globals of stream, which the book keeps; singleName
    // names the one sheet of an Excel 2.x-4.0 worksheet file. False with
    // *failure and *reason.
    bool load(WorkbookStream stream, const QString &singleName, OpenFailure *failure,
              QString *reason);

    const std::vector<SheetEntry> &sheets() const { return m_sheets; }
    int active() const { return m_active; }
    std::optional<Sheet> readSheet(int index, ReadControl &control, QString *reason) const;

private:
    bool loadGlobals(OpenFailure *failure, QString *reason);
    bool readSst(biff::Cursor &cursor, QString *reason);
    void addFormat(const biff::Record &r, biff::Cursor &cursor);
    void addXf(const biff::Record &r);
    void finishFormats();
    // Reads a record's CONTINUE records after it into cursor.
    static void takeContinues(biff::RecordReader &records, biff::Cursor &cursor);

    friend class XlsCells;
    WorkbookStream m_bytes;
    std::string_view m_stream; // m_bytes.bytes
    biff::Version m_version = biff::Version::Biff8;
    biff::CodePage m_codePage;
    bool m_date1904 = false;
    int m_active = 0;
    std::vector<SheetEntry> m_sheets;
    std::vector<QString> m_sst;
    std::vector<std::pair<int, std::string>> m_formatCodes; // by format number
    std::vector<int> m_xfFormat;                            // format number of each XF
    std::vector<NumberFormat> m_xfFormats;                  // the format of each XF
};

} // namespace zorv::sheet
