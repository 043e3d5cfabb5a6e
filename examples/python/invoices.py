#!/usr/bin/env python3
"""The invoices-by-customer report (examples/reports/invoices-by-customer.json) written in
Python: rows straight from a sqlite3 cursor, read by the report a block at a time.

    invoices.py [DATABASE] [OUTPUT.pdf]

DATABASE defaults to examples/sample/invoices.sqlite (make it with
examples/sample/make_sample_db.sh), OUTPUT to invoices-by-customer.pdf. Prints the PDF's path.
"""
import os
import sqlite3
import sys

import qorprint as q

HERE = os.path.dirname(os.path.abspath(__file__))
QUERY = ("SELECT city, customer, number, date, amount, total FROM invoice_lines "
         "WHERE date BETWEEN :from AND :to ORDER BY city, customer, date, number")


def define(report, pdf):
    """The report's texts and columns, as the JSON definition has them."""
    report.Init("", 3, q.kOrientPortrait, 1, q.kPaperA4, pdf)
    report.Title = "Invoices by customer"
    report.SubTitle = "Sample database, all invoices"
    report.FootNote = "qorPrintLib sample report"
    report.MaxMergeCol = 1
    report.SetCol(0, 30, "City", "city", q.frmtText, q.alignLeft, PrLeft=True)
    report.SetCol(1, 52, "Customer", "customer", q.frmtText, q.alignLeft, PrLeft=True)
    report.SetCol(2, 26, "Invoice", "number", q.frmtText, q.alignCenter,
                  SubTotalType=2, SubTotalCol=1, TotalType=2)
    report.SetCol(3, 22, "Date", "date", q.frmtText, q.alignCenter)
    for index, caption, field in ((4, "Excl. VAT", "amount"), (5, "Total", "total")):
        report.SetCol(index, 25, caption, field, q.frmtAmount2, q.alignRight,
                      SubTotalType=1, SubTotalCol=1, TotalType=1)


def render(database, pdf, date_from="2025-01-01", date_to="2026-12-31"):
    """Renders the report of `database` into `pdf`; returns the number of pages."""
    services = q.GenServices()
    services.Unattended = True
    services.LanguageOffset = 20000  # English texts
    services.Locale = "en_US"
    lib = q.Library()
    report = lib.PrRapport()
    define(report, pdf)
    with sqlite3.connect(database) as connection:
        cursor = connection.execute(QUERY, {"from": date_from, "to": date_to})
        report.SetRt(cursor)
        report.EndDoc()
    return report.Document().PageCount()


if __name__ == "__main__":
    database = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "sample", "invoices.sqlite")
    pdf = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "invoices-by-customer.pdf")
    render(database, pdf)
    print(pdf)
