"""Writes the .xlsx sources of the office fixtures and converts each to the
binary format a spreadsheet program saves ("MS Excel 97", BIFF8) with
LibreOffice, which computes every formula on load, then the BIFF8 file to
"MS Excel 5.0/95" (BIFF7) with Gnumeric's ssconvert (LibreOffice only reads
that format). Gnumeric names code page 1200 in its BIFF7 files and writes
text beyond eight bits as UTF-16; BIFF2-4 cases are built record by record in
the tests.
Also writes expected.json: every cell as python3-xlrd reads it, for the tests.

usage: /usr/bin/python3 make_fixtures.py   (needs python3-xlsxwriter,
python3-xlrd, libreoffice-calc-nogui and gnumeric; run once, commit the outputs)
"""
import datetime
import json
import os
import subprocess
import sys
import tempfile

import xlsxwriter

HERE = os.path.dirname(os.path.abspath(__file__))


def mixed(path, date1904=False):
    book = xlsxwriter.Workbook(path, {"date_1904": date1904})
    pct = book.add_format({"num_format": "0.0%"})
    thousands = book.add_format({"num_format": "#,##0"})
    fixed = book.add_format({"num_format": "0.00"})
    elapsed = book.add_format({"num_format": "[h]:mm:ss"})
    money = book.add_format({"num_format": "\"¥\"#,##0.00"})
    text = book.add_format({"num_format": "@"})
    date = book.add_format({"num_format": "yyyy-mm-dd"})
    stamp = book.add_format({"num_format": "yyyy-mm-dd hh:mm:ss"})
    clock = book.add_format({"num_format": "hh:mm:ss"})

    first = book.add_worksheet("名单")
    first.write_row(0, 0, ["姓", "名", "全名", "数量", "单价", "合计"])
    people = [("张", "三", 3, 2.5), ("李", "四", 10, 0.1), ("王", "五", 1234, 3.5),
              ("赵", "六", 0, 7), ("Smith", "John", -5, 1.25)]
    for i, (a, b, n, p) in enumerate(people, start=1):
        first.write_row(i, 0, [a, b])
        first.write_formula(i, 2, "=A%d&B%d" % (i + 1, i + 1))
        first.write_number(i, 3, n)
        first.write_number(i, 4, p)
        first.write_formula(i, 5, "=D%d*E%d" % (i + 1, i + 1))
    first.write(6, 0, "总计")
    first.write_formula(6, 5, "=SUM(F2:F6)")

    second = book.add_worksheet("类型")
    rows = [
        ("数字", lambda r: second.write_number(r, 1, 42)),
        ("小数", lambda r: second.write_number(r, 1, 0.1 + 0.2)),
        ("布尔真", lambda r: second.write_boolean(r, 1, True)),
        ("布尔假", lambda r: second.write_boolean(r, 1, False)),
        ("公式真", lambda r: second.write_formula(r, 1, "=1<2")),
        ("公式假", lambda r: second.write_formula(r, 1, "=1>2")),
        ("除零", lambda r: second.write_formula(r, 1, "=1/0")),
        ("无值", lambda r: second.write_formula(r, 1, "=NA()")),
        ("空串", lambda r: second.write_formula(r, 1, "=\"\"")),
        ("文字公式", lambda r: second.write_formula(r, 1, "=\"甲\"&\"乙\"")),
        ("数字公式", lambda r: second.write_formula(r, 1, "=2^10")),
        ("查找", lambda r: second.write_formula(r, 1, "=VLOOKUP(\"数字\",A1:B2,2,FALSE)")),
        ("百分比", lambda r: second.write_number(r, 1, 0.974, pct)),
        ("千分位", lambda r: second.write_number(r, 1, 1234, thousands)),
        ("两位小数", lambda r: second.write_number(r, 1, 3.5, fixed)),
        ("累计时间", lambda r: second.write_number(r, 1, 1.5, elapsed)),
        ("货币", lambda r: second.write_number(r, 1, 1234.5, money)),
        ("文本格式", lambda r: second.write_string(r, 1, "00123", text)),
        ("日期", lambda r: second.write_datetime(r, 1, datetime.datetime(2024, 2, 29), date)),
        ("时刻", lambda r: second.write_datetime(r, 1, datetime.datetime(1999, 12, 31, 23, 59, 58), stamp)),
        ("时间", lambda r: second.write_datetime(r, 1, datetime.time(12, 30, 0), clock)),
        ("大数", lambda r: second.write_number(r, 1, 123456789012)),
        ("负数", lambda r: second.write_number(r, 1, -17.25)),
        ("长文本", lambda r: second.write_string(r, 1, "长" * 300 + "end")),
    ]
    for r, (label, fill) in enumerate(rows):
        second.write_string(r, 0, label)
        fill(r)
    second.activate()

    third = book.add_worksheet("共享公式")
    for r in range(40):
        third.write_number(r, 0, r + 1)
        third.write_formula(r, 1, "=A%d*2" % (r + 1))
        third.write_formula(r, 2, "=B%d+A%d" % (r + 1, r + 1))
    third.write_array_formula(0, 3, 2, 3, "{=A1:A3*10}")
    hidden = book.add_worksheet("隐藏")
    hidden.write(0, 0, "hidden value")
    hidden.hide()
    book.close()


# LibreOffice keeps the cached results of an .xlsx unless told to compute
# them again on load; xlsxwriter stores 0 for every formula.
RECALC = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry"
 xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
"""


def convert(source, filter_name, out):
    with tempfile.TemporaryDirectory() as tmp:
        os.makedirs(tmp + "/u/user")
        with open(tmp + "/u/user/registrymodifications.xcu", "w") as f:
            f.write(RECALC)
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + tmp + "/u",
                        "--convert-to", "xls:" + filter_name, "--outdir", tmp, source],
                       check=True, stdout=subprocess.DEVNULL)
        produced = os.path.join(tmp, os.path.splitext(os.path.basename(source))[0] + ".xls")
        os.replace(produced, out)


def to_biff7(source, out):
    subprocess.run(["ssconvert", "-T", "Gnumeric_Excel:excel_biff7", source, out],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def xlrd_cells(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sh in book.sheets():
        rows = []
        for r in range(sh.nrows):
            row = []
            for c in range(sh.ncols):
                cell = sh.cell(r, c)
                kind = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text",
                        xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "date",
                        xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error",
                        xlrd.XL_CELL_BLANK: "empty"}[cell.ctype]
                value = cell.value
                if kind == "error":
                    value = xlrd.error_text_from_code[value]
                fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
                row.append([kind, value, fmt])
            rows.append(row)
        sheets.append({"name": sh.name, "hidden": sh.visibility != 0, "rows": rows})
    active = [i for i, sh in enumerate(book.sheets()) if sh.sheet_selected]
    return {"datemode": book.datemode, "active": active[0] if active else 0, "sheets": sheets}


def main():
    expected = {}
    for name, date1904 in (("mixed", False), ("mixed1904", True)):
        source = os.path.join(HERE, name + ".xlsx")
        mixed(source, date1904)
        for suffix, filt in (("97", "MS Excel 97"),):
            out = os.path.join(HERE, "%s-%s.xls" % (name, suffix))
            convert(source, filt, out)
            expected[os.path.basename(out)] = xlrd_cells(out)
            # python3-xlrd cannot read these (it takes code page 1200 at its
            # word); the tests compare them with the BIFF8 file instead.
            to_biff7(out, os.path.join(HERE, "%s-95.xls" % name))
    with open(os.path.join(HERE, "expected.json"), "w", encoding="utf-8") as f:
        json.dump(expected, f, ensure_ascii=False, indent=1, sort_keys=True)


if __name__ == "__main__":
    sys.exit(main())
