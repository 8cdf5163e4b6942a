#!/usr/bin/env python3
"""Writes the two reference workbooks that the 查询 menu opens, from the same text sources
as the tolerance database: workbooks/螺距公差.xls from tables/螺距公差.csv, and
workbooks/粗牙螺纹螺距.xls from coarse_pitch.csv. Excel 97 (.xls) files, which both Excel
and LibreOffice Calc open. Needs Debian's python3-xlwt; run from this folder after changing
a source, and commit the workbooks: a test reads them back and compares every cell."""
import csv
from pathlib import Path

import xlwt

SONG = "宋体"


def style(bold=False, centred=True):
    s = xlwt.XFStyle()
    font = xlwt.Font()
    font.name = SONG
    font.height = 12 * 20
    font.bold = bold
    s.font = font
    if centred:
        s.alignment.horz = xlwt.Alignment.HORZ_CENTER
    return s


def is_number(text):
    try:
        float(text)
        return True
    except ValueError:
        return False


def write_workbook(path, sheet_name, rows, widths, notes):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet(sheet_name)
    heading, body = style(bold=True), style()
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if r > 0 and is_number(cell):
                sheet.write(r, c, float(cell), body)
            elif cell != "":
                sheet.write(r, c, cell, heading if r == 0 else body)
    for c, width in enumerate(widths):
        sheet.col(c).width = 256 * width
    about = book.add_sheet("说明")
    about.col(0).width = 256 * 100
    for r, line in enumerate(notes):
        about.write(r, 0, line, style(centred=False))
    book.save(str(path))


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.reader(f))


def main():
    write_workbook(
        Path("workbooks") / "螺距公差.xls", "螺距公差", read_csv(Path("tables") / "螺距公差.csv"),
        [30, 20],
        ["螺纹量规的螺距公差 TP（ISO 1502 / GB/T 3934），按量规螺纹部分长度。",
         "与公差数据库中的“螺距公差”表相同。标准原文未能取得，随程序提供的表没有数值；",
         "请按 README“导入量规公差表”把您手中标准的数值导入公差数据库，再用",
         "threadgauge-cli db export 导出后查看。"])
    write_workbook(
        Path("workbooks") / "粗牙螺纹螺距.xls", "粗牙螺纹螺距", read_csv("coarse_pitch.csv"),
        [18, 20, 18, 18],
        ["普通螺纹的直径与螺距系列（ISO 261 / ISO 262，GB/T 193）：公称直径 1 至 64 mm。",
         "选择系列：第1系列优先，其次第2系列。“（推定）”表示该直径的系列未能直接读到，按标准表推定。",
         "细牙螺距为 ISO 262 所选的细牙螺距；“或”表示两种均可选。"])


if __name__ == "__main__":
    main()
