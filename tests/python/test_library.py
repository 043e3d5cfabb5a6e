"""Drawing from Python: results of by-reference arguments, and what lands in the PDF."""
import os
import re

import pytest

import qorprint as q
from conftest import SOURCE, pdf_text

LONG_REFERENCE = "Our reference: INV-2024-000123 / customer 4711 / yearly supply contract"


@pytest.fixture
def document(tmp_path):
    lib = q.Library()
    pdf = tmp_path / "doc.pdf"
    assert lib.InitPrinter("", 3, q.kOrientPortrait, 1, q.kPaperA4, str(pdf))
    return lib, pdf


def test_by_reference_arguments_come_back_in_the_result(document):
    lib, pdf = document
    fitted, width = lib.PrLeft(LONG_REFERENCE, 40)
    assert fitted.endswith("...") and LONG_REFERENCE.startswith(fitted[:-3])
    assert 0 < width < 40                                   # reduced by the width of "..."
    assert lib.PrLeft(LONG_REFERENCE, 40, NoDots=True)[1] == 40
    assert lib.PrLeft("Short", 40) == ("Short", 40)

    lib.PrNbrDec = 1
    assert lib.PrItem(100, 20, "1,234.5", q.frmtNumberDec, q.alignRight) == 1234.5
    assert lib.PrItem(10, 30, "title", q.frmtText, q.alignLeft, q.psTitle) == "TITLE"

    words = " ".join("word%d" % i for i in range(200))
    rest = lib.PrBoxText(10, 40, 60, 60, words, True, q.alignLeft)
    assert rest and words.endswith(rest) and rest.startswith("word")
    assert lib.PrEndDoc()

    text = pdf_text(pdf)
    assert "1,234.5" in text and "TITLE" in text
    first_unplaced = rest.split()[0]
    placed = words[: len(words) - len(rest)].split()
    assert placed[-1] in text and first_unplaced not in text.split()


def test_python_objects_serve_the_library_while_it_runs_without_the_gil(document):
    lib, pdf = document

    class Letterhead(q.RtfSource):
        def TextRTF(self):
            return r"{\rtf1\ansi Rich {\b text} from Python}"

    lib.PrRTF(Letterhead(), 50)
    lib.PrRTF(r"{\rtf1\ansi A plain string}", 80)
    lib.PrEndDoc()
    text = pdf_text(pdf)
    assert "Rich text from Python" in text and "A plain string" in text


def test_properties_read_back_and_reset_after_the_document(document):
    lib, _ = document
    assert lib.VPrinter is not None and lib.VPrinter.PageCount() == 1
    assert round(lib.PrScaleWidth) == 210
    lib.DefaultFontName = "Courier New"
    lib.PrCaption = "Mine"
    lib.PrEndDoc()
    assert lib.VPrinter is None
    assert (lib.DefaultFontName, lib.PrCaption) == ("Arial", "")


def test_services_are_per_thread_settings(english):
    assert q.GetText(1000) == "Page "
    english.LanguageOffset = 0
    assert q.GetText(1000) == "Pagina "
    english.Locale = "nl_BE"
    assert english.Locale == "nl_BE" and q.Format(1234.5, "#,##0.00") == "1.234,50"
    assert english.SpinKey(38, "41", None, 41) == "41" and english.SpinKey(40, "41") == "40"
    assert len(english.WindowArea()) == 6
    seen = []
    previous = english.SetMessageObserver(lambda m: seen.append(m.text) or q.kAnswerNo)
    try:
        assert english.ShowMessage("Continue?", q.kMsgYesNo, "Question") == q.kAnswerNo
    finally:
        english.SetMessageObserver(previous)
    assert seen == ["Continue?"]


def public_members(header, cls):
    """The names a class declares before its private section, read from its public header."""
    with open(os.path.join(SOURCE, "include", "qor", header)) as f:
        text = f.read()
    body = text[text.index("class %s {" % cls):]
    body = body[:body.index("private:")]
    names = set()
    for line in body.splitlines():
        if line.startswith("    ") and not line.startswith("     ") and not line.strip().startswith("//"):
            member = re.match(r"\s{4}(?:[\w:<>,&*]+\s+)*[&*]?(\w+)\s*(\(|=|;|\{)", line)
            if member:
                names.add(member.group(1))
    return names - {cls, "operator", "Impl"}


@pytest.mark.parametrize("header, cls, python", [
    ("clsqorPrintLib.h", "clsqorPrintLib", q.Library),
    ("clsRapport.h", "clsRapport", q.Report),
    ("GenServices.h", "GenServicesObject", q.GenServices()),
    ("VSPrinter.h", "VSPrinter", q.VSPrinter),
])
def test_every_public_member_has_its_name_in_python(header, cls, python):
    names = public_members(header, cls)
    assert len(names) > 10
    assert sorted(n for n in names if not hasattr(python, n)) == []
