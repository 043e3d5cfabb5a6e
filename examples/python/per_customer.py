#!/usr/bin/env python3
"""One PDF per customer of the sample database, rendered by several threads at once.

    per_customer.py [DATABASE] [OUTPUT_FOLDER] [--threads N] [--limit N]

Each thread has its own library state (language, locale, document), as a C++ thread does,
and its own database connection; rendering and writing the PDF release the GIL, so the
threads really run side by side. Prints the number of files written and the time taken.
"""
import argparse
import concurrent.futures
import os
import re
import sqlite3
import threading
import time

import qorprint as q

HERE = os.path.dirname(os.path.abspath(__file__))
QUERY = ("SELECT number, date, amount, vat_rate, total FROM invoice_lines "
         "WHERE customer = ? ORDER BY date, number")

_local = threading.local()


def connection(database):
    """The calling thread's connection: sqlite3 connections stay on the thread that made them."""
    if getattr(_local, "connection", None) is None:
        _local.connection = sqlite3.connect(database)
        services = q.GenServices()  # this thread's own settings
        services.Unattended = True
        services.LanguageOffset = 20000
        services.Locale = "nl_BE"
    return _local.connection


def customer_statement(database, customer, pdf):
    """Renders the invoices of `customer` into `pdf`."""
    cursor = connection(database).execute(QUERY, (customer,))
    report = q.Library().PrRapport()
    report.Init("", 3, q.kOrientPortrait, 1, q.kPaperA4, pdf)
    report.Title = customer
    report.SubTitle = "Statement of invoices"
    report.FootNote = "qorPrintLib sample"
    report.SetCol(0, 40, "Invoice", "number", q.frmtText, q.alignLeft, TotalType=2)
    report.SetCol(1, 35, "Date", "date", q.frmtText, q.alignCenter)
    report.SetCol(2, 40, "Excl. VAT", "amount", q.frmtAmount2, q.alignRight, TotalType=1)
    report.SetCol(3, 25, "VAT %", "vat_rate", q.frmtNumber, q.alignRight)
    report.SetCol(4, 40, "Total", "total", q.frmtAmount2, q.alignRight, TotalType=1)
    report.SetRt(cursor)
    report.EndDoc()
    return pdf


def file_name(customer):
    return re.sub(r"[^A-Za-z0-9]+", "-", customer).strip("-") + ".pdf"


def render_all(database, folder, threads=4, limit=None):
    """Writes one PDF per customer into `folder` with `threads` threads; returns the files."""
    os.makedirs(folder, exist_ok=True)
    with sqlite3.connect(database) as db:
        customers = [row[0] for row in db.execute("SELECT name FROM customers ORDER BY name")]
    customers = customers[:limit] if limit else customers
    with concurrent.futures.ThreadPoolExecutor(max_workers=threads) as pool:
        jobs = [pool.submit(customer_statement, database, c, os.path.join(folder, file_name(c)))
                for c in customers]
        return [job.result() for job in jobs]


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("database", nargs="?", default=os.path.join(HERE, "..", "sample", "invoices.sqlite"))
    parser.add_argument("folder", nargs="?", default="statements")
    parser.add_argument("--threads", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--limit", type=int)
    args = parser.parse_args()
    started = time.perf_counter()
    files = render_all(args.database, args.folder, args.threads, args.limit)
    print("%d PDF files in %s (%.2f s, %d threads)" % (len(files), os.path.abspath(args.folder),
                                                       time.perf_counter() - started, args.threads))
