#!/usr/bin/python3
"""Recalculates a workbook's formulas with LibreOffice and compares them with the results
stored in the file.

    xlsx_recalc.py BOOK.xlsx

Prints one line per formula cell: "CELL FORMULA STORED RECALCULATED". Exits 1 when a
result differs, when the workbook holds no formula, or when LibreOffice gives no answer.
"""
import csv
import os
import subprocess
import sys
import tempfile

import openpyxl
from openpyxl.utils import get_column_letter


def main(path):
    formulas = openpyxl.load_workbook(path).active
    stored = openpyxl.load_workbook(path, data_only=True).active
    cells = [(c.coordinate, c.row, c.column, c.value)
             for row in formulas.iter_rows() for c in row
             if isinstance(c.value, str) and c.value.startswith("=")]
    if not cells:
        print("no formula in " + path)
        return 1
    with tempfile.TemporaryDirectory() as work:
        # openpyxl drops the stored results when it saves, so LibreOffice must compute them.
        bare = os.path.join(work, "bare.xlsx")
        formulas.parent.save(bare)
        subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.join(work, "profile"),
                        "--headless", "--convert-to",
                        "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,false,false",
                        "--outdir", work, bare],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        with open(os.path.join(work, "bare.csv"), newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
    failed = False
    for name, r, c, formula in cells:
        want = stored.cell(row=r, column=c).value
        text = rows[r - 1][c - 1] if r - 1 < len(rows) and c - 1 < len(rows[r - 1]) else ""
        try:
            got = float(text)
        except ValueError:
            got = None
        ok = isinstance(want, (int, float)) and got is not None and abs(got - want) <= 1e-9 * max(1, abs(want))
        failed |= not ok
        print(name, formula, want, text)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
