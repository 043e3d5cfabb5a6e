"""Reports over Python rows: cursors, generators, lists; streaming; errors from the rows."""
import itertools
import os
import sqlite3
import subprocess
import tracemalloc

import pytest

import invoices
import qorprint as q
from conftest import SOURCE, pdf_text

FIELDS = ["city", "customer", "number", "date", "amount", "total"]
PARAMS = {"from": "2026-01-01", "to": "2026-03-31"}   # a quarter: a few pages


@pytest.fixture(scope="module")
def cli_text(sample_db, tmp_path_factory):
    """The invoices report as the command-line tool renders it."""
    pdf = tmp_path_factory.mktemp("cli") / "cli.pdf"
    definition = os.path.join(SOURCE, "examples", "reports", "invoices-by-customer.json")
    params = [arg for name, value in PARAMS.items() for arg in ("--param", name + "=" + value)]
    subprocess.run([os.environ["QORPRINT_EXE"], "report", definition, "--db", sample_db, "--out", str(pdf),
                    "--lang", "en"] + params, check=True, capture_output=True)
    return pdf_text(pdf)


def fetch(sample_db):
    connection = sqlite3.connect(sample_db)
    return connection.execute(invoices.QUERY, PARAMS)


# Each source of the same rows, as SetRt's arguments.
SOURCES = {
    "sqlite3 cursor": lambda db: (fetch(db),),
    "generator of dicts": lambda db: (({f: v for f, v in zip(FIELDS, row)} for row in fetch(db)),),
    "list of tuples with field names": lambda db: (fetch(db).fetchall(), FIELDS),
    "cursor, blocks of 7 rows": lambda db: (fetch(db), None, 7),
    "SqliteRecordset": lambda db: (q.SqliteRecordset.OpenNamed(db, invoices.QUERY, PARAMS),),
}


@pytest.mark.parametrize("source", SOURCES)
def test_report_from_python_rows_matches_the_command_line_tool(source, sample_db, cli_text, tmp_path):
    pdf = str(tmp_path / "report.pdf")
    report = q.Library().PrRapport()
    invoices.define(report, pdf)
    report.SetRt(*SOURCES[source](sample_db))
    report.EndDoc()
    assert pdf_text(pdf) == cli_text


def test_the_example_script_renders_the_same_report(sample_db, cli_text, tmp_path):
    pdf = str(tmp_path / "example.pdf")
    assert invoices.render(sample_db, pdf, PARAMS["from"], PARAMS["to"]) > 1
    assert pdf_text(pdf) == cli_text


class CountingCursor:
    """A DB-API cursor over generated rows that records how the report reads it."""

    description = (("number", None, None, None, None, None, None), ("amount",) + (None,) * 6)

    def __init__(self, rows):
        self.rows = ((i, i * 0.5) for i in range(rows))
        self.sizes = []

    def fetchmany(self, size):
        self.sizes.append(size)
        return list(itertools.islice(self.rows, size))


class ServerSideCursor(CountingCursor):
    """A cursor that describes its rows only once it has fetched some, as psycopg2's named ones."""

    def __init__(self, rows):
        super().__init__(rows)
        self.description = None

    def fetchmany(self, size):
        self.description = CountingCursor.description
        return super().fetchmany(size)


@pytest.mark.parametrize("kind", [CountingCursor, ServerSideCursor])
def test_cursor_rows_stream_in_blocks(kind, tmp_path):
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(tmp_path / "stream.pdf"))
    report.SetCol(0, 90, "Number", "number", q.frmtText, 0, TotalType=2)
    report.SetCol(1, 90, "Amount", "amount", q.frmtAmount2, 1, TotalType=1)
    cursor = kind(12_000)
    report.SetRt(cursor)
    tracemalloc.start()
    try:
        report.EndDoc()
        _, peak = tracemalloc.get_traced_memory()
    finally:
        tracemalloc.stop()
    assert cursor.sizes == [500] * 25             # 24 full blocks and the empty one at the end
    assert peak < 500_000                          # a block of rows at a time (all of them: 1.4 MB)
    assert report.Cols(0).Total == 12_000
    assert report.Cols(1).Total == sum(i * 0.5 for i in range(12_000))


def test_rows_read_once_cannot_be_rendered_twice_but_lists_can(tmp_path):
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(tmp_path / "twice.pdf"))
    report.SetCol(0, 180, "N", "n", q.frmtText, 0, TotalType=2)
    report.SetRt([(1,), (2,)], ["n"])
    report.EndDoc()
    report.EndDoc()
    assert report.Cols(0).Total == 4               # totals run on: both runs read both rows
    report.SetRt(((n,) for n in range(3)), ["n"])
    report.EndDoc()
    with pytest.raises(q.RuntimeError) as caught:
        report.EndDoc()
    assert caught.value.number == 3219


def test_an_exception_in_the_rows_reaches_the_caller(tmp_path):
    def rows():
        for n in range(1200):
            if n == 1100:
                raise LookupError("connection lost at row %d" % n)
            yield {"n": n}

    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(tmp_path / "broken.pdf"))
    report.SetCol(0, 180, "N", "n", q.frmtText, 0)
    report.SetRt(rows())
    with pytest.raises(LookupError, match="row 1100"):
        report.EndDoc()
    assert not (tmp_path / "broken.pdf").exists()


def test_a_field_missing_from_the_rows_is_the_librarys_error(tmp_path):
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(tmp_path / "missing.pdf"))
    report.SetCol(0, 180, "Amount", "amount", q.frmtText, 0)
    report.SetRt(iter([{"number": 1}]))
    with pytest.raises(q.RuntimeError) as caught:
        report.EndDoc()
    assert caught.value.number == q.kErrItemNotFound and "amount" in str(caught.value)


def test_no_rows_tells_the_observer_from_inside_the_render(english, tmp_path):
    seen = []
    previous = english.SetMessageObserver(lambda m: seen.append((m.title, m.text)) or q.kAnswerOk)
    try:
        report = q.Library().PrRapport()
        report.Init("", 3, 1, 1, 9, str(tmp_path / "empty.pdf"))
        report.Title = "Nothing here"
        report.SetCol(0, 180, "N", "n", q.frmtText, 0)
        report.SetRt(iter([]), ["n"])
        assert report.EndDoc() is None
    finally:
        english.SetMessageObserver(previous)
    assert len(seen) == 1 and "Nothing here" in seen[0][1]
    assert not (tmp_path / "empty.pdf").exists()


def test_the_report_extensions_are_properties_too(english, tmp_path):
    pdf = tmp_path / "extensions.pdf"
    report = q.Library().PrRapport()
    report.Init("", 3, 1, 1, 9, str(pdf))
    report.SetCol(0, 90, "City", "city", q.frmtText, 0)
    report.SetCol(1, 90, "N", "n", q.frmtNumber, 1, TotalType=1)
    report.PageOfPages, report.CarryForward, report.Outline = True, True, 0
    report.SetRt([("Gent" if i < 80 else "Leuven", i) for i in range(100)], ["city", "n"])
    report.EndDoc()
    pages = pdf_text(pdf).split("\f")
    assert "Page 1 of 2" in pages[0] and "Page 2 of 2" in pages[1]
    assert "CARRIED FORWARD" in pages[0] and "BROUGHT FORWARD" in pages[1]
    outline = subprocess.run(["qpdf", "--json", "--json-key=outlines", str(pdf)], check=True,
                             capture_output=True, text=True).stdout
    assert '"title": "Gent"' in outline and '"title": "Leuven"' in outline
