#!/usr/bin/env python3
"""Copies the ISO 965-1 tables of the shared tolerance data into the shape of the
program's tolerance database (one CSV per table, header = the table's column names), and
the ISO 261 coarse-pitch series into coarse_pitch.csv for the reference workbook.

Run from this folder with the path of the shared data folder; the output is committed
and reviewed as a diff. No value is typed here: every cell is taken from the source file."""
import csv
import sys
from pathlib import Path

GRADES = ["4", "5", "6", "7", "8", "9"]


def read(source, name):
    with open(Path(source) / name, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def number(text):
    # "+17" and "17" are the same number; the database stores it without the sign.
    text = text.strip()
    return text[1:] if text.startswith("+") else text


def write(name, header, rows):
    with open(Path("tables") / f"{name}.csv", "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(header)
        w.writerows(rows)


def main(source):
    fd = read(source, "fundamental_deviation.csv")
    write("基本偏差", ["P", "EI(G)", "EI(H)", "es(e)", "es(f)", "es(g)", "es(h)"],
          [[r["P_mm"]] + [number(r[c]) for c in
                          ("EI_G_um", "EI_H_um", "es_e_um", "es_f_um", "es_g_um", "es_h_um")]
           for r in fd])

    internal = read(source, "td2_internal.csv")
    write("内螺纹中径公差", ["D下限", "D上限", "P"] + GRADES,
          [[r["D_over_mm"], r["D_upto_mm"], r["P_mm"]]
           + [r.get(f"grade{g}_um", "") or "" for g in GRADES] for r in internal])

    external = read(source, "td2_external.csv")
    write("外螺纹中径公差", ["D下限", "D上限", "P"] + GRADES,
          [[r["d_over_mm"], r["d_upto_mm"], r["P_mm"]]
           + [r.get(f"grade{g}_um", "") or "" for g in GRADES] for r in external])


def coarse_pitch(source):
    # The ISO 261 series for the coarse-pitch workbook, with Chinese headings. "(inferred)"
    # marks a choice series the source could not read directly.
    series = {"1st": "第1系列", "2nd": "第2系列", "3rd": "第3系列"}
    rows = []
    for r in read(source, "coarse_pitch.csv"):
        choice = r["choice"].strip()
        inferred = choice.endswith("(inferred)")
        base = choice.replace("(inferred)", "").strip()
        rows.append([r["d_mm"], series[base] + ("（推定）" if inferred else ""), r["coarse_P_mm"],
                     r["fine_P_ISO262_mm"].replace(" or ", " 或 ")])
    with open("coarse_pitch.csv", "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["公称直径 d(mm)", "选择系列", "粗牙螺距 P(mm)", "细牙螺距 P(mm)"])
        w.writerows(rows)


if __name__ == "__main__":
    source = sys.argv[1] if len(sys.argv) > 1 else "../../shared/iso-data"
    main(source)
    coarse_pitch(source)
