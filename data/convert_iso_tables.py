#!/usr/bin/env python3
"""Copies the ISO 965-1 tables of the shared tolerance data into the shape of the
program's tolerance database (one CSV per table, header = the table's column names).

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


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "../../shared/iso-data")
