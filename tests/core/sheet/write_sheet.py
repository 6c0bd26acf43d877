"""Writes a spreadsheet test fixture described as JSON on standard input.

usage: write_sheet.py xls|shared|inline|zip PATH < description.json

{"sheets": [{"name": "...", "rows": [[cell, ...], ...]}], "active": 0}
A cell is null (left empty), a string, a number, true/false, or an object:
{"date": "2024-02-29"}, {"datetime": "1999-12-31 23:59:58"}, {"time": "12:30:00"},
{"rich": ["bold part", "plain part"]}. "xls" writes BIFF8 with xlwt; "shared" and
"inline" write .xlsx with xlsxwriter (shared strings, or constant-memory mode
with inline strings). "zip" takes {"parts": {"name": "xml text", ...}} and
stores the parts as they are.
"""
import datetime
import json
import sys
import zipfile


def when(cell):
    if "date" in cell:
        return datetime.datetime.strptime(cell["date"], "%Y-%m-%d"), "date"
    if "datetime" in cell:
        return datetime.datetime.strptime(cell["datetime"], "%Y-%m-%d %H:%M:%S"), "datetime"
    return datetime.datetime.strptime(cell["time"], "%H:%M:%S").time(), "time"


def write_xls(desc, path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    styles = {"date": xlwt.easyxf(num_format_str="YYYY-MM-DD"),
              "datetime": xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM:SS"),
              "time": xlwt.easyxf(num_format_str="HH:MM:SS")}
    bold = xlwt.Font()
    bold.bold = True
    for sheet in desc["sheets"]:
        ws = book.add_sheet(sheet["name"])
        for r, row in enumerate(sheet["rows"]):
            for c, v in enumerate(row):
                if v is None:
                    continue
                if isinstance(v, dict) and "rich" in v:
                    ws.write_rich_text(r, c, [(v["rich"][0], bold)] + v["rich"][1:])
                elif isinstance(v, dict):
                    value, kind = when(v)
                    ws.write(r, c, value, styles[kind])
                else:
                    ws.write(r, c, v)
    active = desc.get("active", 0)
    book.active_sheet = active
    for i in range(len(desc["sheets"])):
        book.get_sheet(i).selected = i == active
    book.save(path)


def write_xlsx(desc, path, inline):
    import xlsxwriter
    book = xlsxwriter.Workbook(path, {"constant_memory": inline})
    styles = {"date": book.add_format({"num_format": "yyyy-mm-dd"}),
              "datetime": book.add_format({"num_format": "yyyy-mm-dd hh:mm:ss"}),
              "time": book.add_format({"num_format": "hh:mm:ss"})}
    bold = book.add_format({"bold": True})
    sheets = []
    for sheet in desc["sheets"]:
        ws = book.add_worksheet(sheet["name"])
        sheets.append(ws)
        for r, row in enumerate(sheet["rows"]):
            for c, v in enumerate(row):
                if v is None:
                    continue
                if isinstance(v, dict) and "rich" in v:
                    ws.write_rich_string(r, c, bold, *v["rich"])
                elif isinstance(v, dict):
                    value, kind = when(v)
                    ws.write_datetime(r, c, value, styles[kind])
                elif isinstance(v, bool):
                    ws.write_boolean(r, c, v)
                elif isinstance(v, str):
                    ws.write_string(r, c, v)
                else:
                    ws.write_number(r, c, v)
    sheets[desc.get("active", 0)].activate()
    book.close()


def write_zip(desc, path):
    # A part is its text, or {"head", "repeat", "times", "tail"} for a long
    # repetitive one.
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in desc["parts"].items():
            if isinstance(text, dict):
                text = text.get("head", "") + text["repeat"] * text["times"] + text.get("tail", "")
            z.writestr(name, text.encode("utf-8"))


def main():
    kind, path = sys.argv[1], sys.argv[2]
    desc = json.load(sys.stdin)
    if kind == "xls":
        write_xls(desc, path)
    elif kind == "zip":
        write_zip(desc, path)
    else:
        write_xlsx(desc, path, kind == "inline")


main()
