"""Threads: each has its own library state, and long calls let the other threads run."""
import os
import re
import threading
import time

import letter
import per_customer
import qorprint as q
from conftest import pdf_text

LOCALES = ["nl_BE", "fr_BE", "en_US", "en_GB"]


def run_threads(target, args_list):
    start = threading.Barrier(len(args_list))
    errors = []

    def body(*args):
        try:
            start.wait()
            target(*args)
        except BaseException as e:  # reported to the test below
            errors.append(e)

    threads = [threading.Thread(target=body, args=args) for args in args_list]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []


def test_four_threads_render_what_four_sequential_runs_render(tmp_path):
    for locale in LOCALES:
        letter.write_letter(str(tmp_path / ("seq-" + locale + ".pdf")), locale)
    run_threads(letter.write_letter, [(str(tmp_path / ("par-" + locale + ".pdf")), locale) for locale in LOCALES])
    texts = {}
    for locale in LOCALES:
        texts[locale] = pdf_text(tmp_path / ("par-" + locale + ".pdf"))
        assert texts[locale] == pdf_text(tmp_path / ("seq-" + locale + ".pdf"))
    assert "891,45 EUR" in texts["nl_BE"] and "891.45 EUR" in texts["en_US"]   # each thread's own locale


def test_the_per_customer_example_writes_one_statement_each(sample_db, tmp_path):
    files = per_customer.render_all(sample_db, str(tmp_path), threads=3, limit=6)
    assert len(files) == 6
    for pdf in files:
        title = pdf_text(pdf).strip().splitlines()[0]            # "Customer name    Statement of ..."
        customer, subtitle = re.split(r"\s{2,}", title.strip())
        assert subtitle == "Statement of invoices"
        assert per_customer.file_name(customer) == os.path.basename(pdf)   # each file its own customer


def test_rendering_releases_the_gil(tmp_path):
    """While a worker renders and writes a long report, this thread keeps running Python."""
    rows = [(n, "Customer %d" % (n % 300), n * 1.5) for n in range(10_000)]
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(tmp_path / "long.pdf"))
    report.SetCol(0, 30, "N", "n", q.frmtText, 0)
    report.SetCol(1, 100, "Customer", "customer", q.frmtText, 0)
    report.SetCol(2, 50, "Amount", "amount", q.frmtAmount2, 1, TotalType=1)
    report.SetRt(rows, ["n", "customer", "amount"], 10_000)   # one block: no Python during EndDoc

    state = {}

    def render():
        state["rendering"] = time.perf_counter()
        report.EndDoc()
        state["done"] = time.perf_counter()

    worker = threading.Thread(target=render)
    worker.start()
    turns = [0] * 1000  # this thread's turns in each 10 ms since the worker began EndDoc
    while worker.is_alive():
        if "rendering" in state and "done" not in state:
            turns[min(int((time.perf_counter() - state["rendering"]) * 100), 999)] += 1
    rendered = state["done"] - state["rendering"]
    assert rendered > 0.05, "the report was too short to measure"
    # A thread switch may fall just before the call or just after it returns; in between, with
    # the GIL held through EndDoc, this thread could not run at all.
    assert sum(turns[2:int(rendered * 100) - 2]) > 1000
