"""Writes the spreadsheet files of the sheet benchmarks into a folder:
  grid65k.xls     65,000 rows x 3 columns (text, number, date), BIFF8
  formulas.xls    65,536 rows x 10 columns of formulas, BIFF8
  big.xlsx        1,000,000 rows x 2 columns (shared strings, numbers)
usage: /usr/bin/python3 make_sheets.py FOLDER [xls|xlsx]
"""
import datetime
import os
import sys


def xls_files(folder):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    ws = book.add_sheet("数据")
    date = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    start = datetime.date(2000, 1, 1)
    for r in range(65000):
        ws.write(r, 0, "名称%06d" % r)
        ws.write(r, 1, r * 1.25)
        ws.write(r, 2, start + datetime.timedelta(days=r % 9000), date)
    book.save(os.path.join(folder, "grid65k.xls"))

    # xlwt stores no formula results; a spreadsheet program stores each one.
    # Store the value each formula below computes, as that program would.
    from struct import pack
    import xlwt.BIFFRecords as records

    def with_result(self, row, col, xf_index, rpn, calc_flags=0):
        value = float(row * col + row % 7)
        self._rec_data = pack("<3HdHL", row, col, xf_index, value, calc_flags & 3, 0) + rpn
    records.FormulaRecord.__init__ = with_result

    book = xlwt.Workbook(encoding="utf-8")
    ws = book.add_sheet("公式")
    for r in range(65536):
        ws.write(r, 0, r)
        for c in range(1, 10):
            ws.write(r, c, xlwt.Formula("A%d*%d+%d" % (r + 1, c, r % 7)))
    book.save(os.path.join(folder, "formulas.xls"))


def xlsx_file(folder):
    import xlsxwriter
    book = xlsxwriter.Workbook(os.path.join(folder, "big.xlsx"), {"constant_memory": False})
    ws = book.add_worksheet()
    for r in range(1000000):
        ws.write_string(r, 0, "项目%d" % (r % 50000))
        ws.write_number(r, 1, r * 0.5)
    book.close()


if __name__ == "__main__":
    which = sys.argv[2] if len(sys.argv) > 2 else "all"
    if which in ("all", "xls"):
        xls_files(sys.argv[1])
    if which in ("all", "xlsx"):
        xlsx_file(sys.argv[1])
