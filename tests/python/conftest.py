"""What the Python module's tests share: the sample database, PDF text, English settings."""
import os
import subprocess
import sys

import pytest

import qorprint as q

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "examples", "python"))


def pdf_text(path):
    """The text of a PDF as poppler lays it out."""
    return subprocess.run(["pdftotext", "-layout", str(path), "-"], check=True, capture_output=True,
                          text=True).stdout


@pytest.fixture(scope="session")
def sample_db(tmp_path_factory):
    path = tmp_path_factory.mktemp("sample") / "invoices.sqlite"
    subprocess.run(["bash", os.path.join(SOURCE, "examples", "sample", "make_sample_db.sh"), str(path)],
                   check=True, capture_output=True)
    return str(path)


@pytest.fixture(autouse=True)
def english():
    """Every test starts unattended, with English texts and en_US numbers."""
    services = q.GenServices()
    services.Unattended = True
    services.LanguageOffset = 20000
    services.Locale = "en_US"
    yield services
