#!/usr/bin/env python3
"""The 10,000- and 100,000-invoice report driven from Python (rows from a sqlite3 cursor) next
to the same report from `qorprint report`. Every run is a process of its own, the two take
turns round after round, and the table gives the median wall time of each, the Python run's
own report time (SetRt to EndDoc), and Python's overhead as the ratio of the wall times.

    bench.py --qorprint BUILD/tools/qorprint/qorprint [--rounds N] [--keep DIR] [records ...]

The module is imported from PYTHONPATH (BUILD/python in a build tree). Defaults: 5 rounds of
10000 and 100000 records. The database is the one bench/support/Invoices.h generates.
"""
import os
import sqlite3
import sys
import time

# The timed child runs this file too: it imports only what a report script needs, the
# measuring parent the rest (in main).

QUERY = "SELECT number, date, customer, city, amount, total FROM invoices ORDER BY id"
CITIES = ["Gent", "Antwerpen", "Leuven", "Brugge", "Namur", "Liège"]
# (width, caption, field, frmt, align, prLeft, totalType): bench/support/InvoiceReport.h's columns.
COLUMNS = [
    (26, "Invoice", "number", 0, 0, False, 2),
    (22, "Date", "date", 0, 2, False, 0),
    (60, "Customer", "customer", 0, 0, True, 0),
    (22, "City", "city", 0, 0, False, 0),
    (25, "Excl. VAT", "amount", 22, 1, False, 1),
    (25, "Total", "total", 22, 1, False, 1),
]


def make_database(path, records):
    """The invoices of bench/support/Invoices.h: the same pseudo-random rows."""
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    db.executescript("PRAGMA journal_mode=OFF; CREATE TABLE invoices(id INTEGER PRIMARY KEY, number TEXT,"
                     " date TEXT, customer TEXT, city TEXT, amount REAL, total REAL);")
    rows, x = [], 12345
    for i in range(1, records + 1):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        amount = ((x >> 8) % 500000) / 100.0 + 10
        rows.append((i, "F2026-%06d" % i, "2026-%02d-%02d" % (1 + (i // 2000) % 12, 1 + i % 28),
                     "Customer %03d Bouw en Interieur NV" % ((x >> 4) % 400), CITIES[(x >> 12) % 6],
                     amount, amount * 1.21))
    db.executemany("INSERT INTO invoices VALUES(?,?,?,?,?,?,?)", rows)
    db.commit()
    db.close()


def write_definition(path):
    import json
    columns = [{"width": w, "caption": c, "dataField": f, "frmt": frmt, "align": a, "prLeft": p, "totalType": t}
               for w, c, f, frmt, a, p, t in COLUMNS]
    definition = {"title": "Invoices", "subTitle": "Benchmark", "footNote": "qorPrintLib",
                  "init": {"orient": "portrait", "paperSize": 9}, "data": {"sqlite": "unused", "query": QUERY},
                  "columns": columns}
    with open(path, "w") as f:
        json.dump(definition, f)


def child(database, pdf):
    """One Python run: the report from a sqlite3 cursor; prints its own report time."""
    import qorprint as q
    services = q.GenServices()
    services.Unattended = True
    services.LanguageOffset = 20000
    services.Locale = "en_US"
    started = time.perf_counter()
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, pdf)
    report.Title, report.SubTitle, report.FootNote = "Invoices", "Benchmark", "qorPrintLib"
    for index, (width, caption, field, frmt, align, pr_left, total) in enumerate(COLUMNS):
        report.SetCol(index, width, caption, field, frmt, align, PrLeft=pr_left, TotalType=total)
    with sqlite3.connect(database) as connection:
        report.SetRt(connection.execute(QUERY))
        report.EndDoc()
    print("%.4f" % (time.perf_counter() - started))


def timed(command, env):
    import subprocess
    started = time.perf_counter()
    out = subprocess.run(command, check=True, capture_output=True, text=True, env=env).stdout
    return time.perf_counter() - started, out


def main():
    import argparse
    import statistics
    import subprocess
    import tempfile
    parser = argparse.ArgumentParser()
    parser.add_argument("--qorprint", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--keep")
    parser.add_argument("records", nargs="*", type=int, default=[10000, 100000])
    args = parser.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="bench-report-python-")
    os.makedirs(work, exist_ok=True)
    definition = os.path.join(work, "invoices.json")
    write_definition(definition)
    env = dict(os.environ, QORPRINT_UNATTENDED="1")
    print("%9s %12s %14s %14s %9s  %s" % ("records", "qorprint s", "python wall s", "python report s",
                                          "overhead", "same text"))
    for records in args.records:
        database = os.path.join(work, "invoices-%d.sqlite" % records)
        make_database(database, records)
        cli_pdf, py_pdf = (os.path.join(work, "%s-%d.pdf" % (who, records)) for who in ("cli", "python"))
        cli, wall, report = [], [], []
        for _ in range(args.rounds):
            cli.append(timed([args.qorprint, "report", definition, "--db", database, "--out", cli_pdf,
                              "--lang", "en"], env)[0])
            seconds, out = timed([sys.executable, os.path.abspath(__file__), "--child", database, py_pdf], env)
            wall.append(seconds)
            report.append(float(out))
        texts = [subprocess.run(["pdftotext", p, "-"], capture_output=True).stdout for p in (cli_pdf, py_pdf)]
        c, w = statistics.median(cli), statistics.median(wall)
        print("%9d %12.3f %14.3f %14.3f %8.2fx  %s" % (records, c, w, statistics.median(report), w / c,
                                                       "yes" if texts[0] == texts[1] else "NO"))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--child":
        child(sys.argv[2], sys.argv[3])
    else:
        main()
