"""Python values to Variants and back, and the errors and type checks at the module's edge."""
import datetime
from decimal import Decimal
from fractions import Fraction

import pytest

import qorprint as q

D, DT = datetime.date, datetime.datetime

# (Python value, the Variant type it becomes, the value that comes back)
ROUND_TRIPS = [
    (None, "Null", None),
    (True, "Boolean", True),
    (False, "Boolean", False),
    (7, "Long", 7),
    (-2**31, "Long", -2**31),
    (2**31, "Double", 2147483648.0),            # beyond 32 bits: a Double, as Variant(int64_t)
    (2**80, "Double", float(2**80)),            # beyond 64 bits too
    (1.25, "Double", 1.25),
    (Fraction(1, 4), "Double", 0.25),                       # any number with __float__
    (Decimal("1234.56"), "Currency", Decimal("1234.56")),
    (Decimal("-0.0001"), "Currency", Decimal("-0.0001")),
    (Decimal("1.50000"), "Currency", Decimal("1.5")),      # zeros past the 4th decimal
    (Decimal("1.23456"), "Double", 1.23456),                # a 5th decimal: no Currency
    (Decimal("123456789012345.6789"), "Double", 123456789012345.6789),  # beyond 2**53 counts
    ("Café €", "String", "Café €"),
    (b"raw", "String", "raw"),
    (D(2026, 3, 1), "Date", D(2026, 3, 1)),
    (DT(2026, 3, 1, 14, 30, 5), "Date", DT(2026, 3, 1, 14, 30, 5)),
    (D(1850, 6, 15), "Date", D(1850, 6, 15)),               # before the OLE epoch
    (DT(1850, 6, 15, 6, 0), "Date", DT(1850, 6, 15, 6, 0)),  # ... where the fraction counts forward
]


@pytest.mark.parametrize("value, vartype, back", ROUND_TRIPS)
def test_values_round_trip_through_a_variant(value, vartype, back):
    assert q.VariantType(value) == vartype
    column = q.ColumnDef()
    column.Value = value
    assert column.Value == back
    assert type(column.Value) is type(back)


def test_the_library_reads_each_type_as_the_runtime_does():
    assert q.CStr(Decimal("0.1")) == "0.1"
    assert q.CDbl(True) == -1                      # a Boolean, not the int 1
    assert q.CStr(DT(2026, 3, 1, 14, 30, 5)) == "3/1/2026 2:30:05 PM"
    assert q.CDbl(D(1899, 12, 31)) == 1           # OLE date serial
    assert q.Format(Decimal("1234.5"), "#,##0.00") == "1,234.50"


@pytest.mark.parametrize("call, number", [
    (lambda: q.CLng("abc"), q.kErrTypeMismatch),
    (lambda: q.CStr(None), q.kErrInvalidUseOfNull),
    (lambda: q.CLng(2**40), q.kErrOverflow),
    (lambda: q.CStr(D(50, 1, 1)), q.kErrInvalidCall),              # a year before 100
    (lambda: q.GetText("x"), q.kErrTypeMismatch),
    (lambda: q.Library().PrRapport().SetCol(16, 10, "A", "a", q.frmtText, 0), q.kErrSubscript),
    (lambda: q.Library().PrRapport().SetCol(40000, 10, "A", "a", q.frmtText, 0), q.kErrOverflow),  # Integer
    (lambda: q.Library().PrLine(0, 0, 10, 10, 2**31), q.kErrOverflow),                          # Long
    (lambda: q.Library().PrRapport().EndDoc(), q.kErrObjectNotSet),  # no rows attached
    (lambda: setattr(q.GenServices(), "Locale", "xx_NOWHERE"), q.kErrInvalidCall),
    (lambda: q.Picture.FromFile("/nonexistent/picture.png"), q.kErrFileNotFound),
])
def test_runtime_errors_carry_their_number(call, number):
    with pytest.raises(q.RuntimeError) as caught:
        call()
    assert isinstance(caught.value, RuntimeError)
    assert caught.value.number == number
    assert str(caught.value) == caught.value.description != ""


def test_record_set_errors_name_the_field():
    with pytest.raises(q.RuntimeError) as caught:
        q.MemoryRecordset(["a"], [[1]]).FieldIndex("nope")
    assert caught.value.number == q.kErrItemNotFound and "nope" in str(caught.value)


@pytest.mark.parametrize("call", [
    lambda: q.CStr([1]),
    lambda: q.CStr(object()),
    lambda: q.Library().PrItem(1, 2, {"a": 1}, q.frmtText, 0),
    lambda: q.Library().PrBox("left", 0, 10, 10),
    lambda: q.Library().PrLine(0, 0, 10, 10, 1.5),      # no silent rounding into a Long
    lambda: q.Library().PrRapport().SetRt(42),
    lambda: q.Library().PrRapport().SetRt([(1, 2)]),   # sequences without field names
])
def test_wrong_types_raise_type_error(call):
    with pytest.raises(TypeError):
        call()
