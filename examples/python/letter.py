#!/usr/bin/env python3
"""The sample letter of examples/letter written in Python: two pages drawn with the library's
drawing operations, saved as PDF.

    letter.py [OUTPUT.pdf] [LOCALE]      (defaults: letter.pdf, nl_BE)
"""
import datetime
import os
import sys

import qorprint as q

EXAMPLES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIGHT_YELLOW = 0xE0FFFF  # &HBBGGRR
DARK_BLUE = 0x7D491F
RED = 0x1D1DC0

BODY = (
    "Dear Mrs Janssens,\r\n"
    "Thank you for your order of 12 March. We are glad to confirm that all the goods have been "
    "delivered to your office in Leuven, and we enclose the invoice for the yearly supply "
    "contract below.\r\n"
    "As agreed, the unit prices of the contract remain unchanged for the whole of this year. The "
    "amounts are shown in euro; for your records we add the total in Belgian francs as well.\r\n"
    "Should anything be missing or damaged, please let us know within eight days, so that we can "
    "replace it at once. Our general terms of sale are printed on the back of this letter.")

ROWS = (("Copy paper A4, 80 g (box of 5 reams)", 12, 23.95, 21),
        ("Ink cartridges, black", 6.5, 41.5, 21),
        ("Desk diaries 2025", 25, 8.2, 6))


def letterhead(lib):
    lib.PrLogo("A", "Qor", "Office Supplies", q.layLeft)
    for line in ("Stationsstraat 12", "3000 Leuven", "BE 0123.456.789"):
        lib.PrItem(190, 10 if lib.T == 0 else 0, line, q.frmtText, q.alignRight, q.psSmall)
        if lib.T == 0:
            lib.T = 10
    lib.PrLine(0, 30, 190, 30, 15, DARK_BLUE)


def page1(lib):
    letterhead(lib)
    lib.PrItem(110, 34, "Personal", q.frmtText, q.alignLeft, q.psCaps, "F")
    lib.T = 38
    for line in ("Mrs A. Janssens", "Janssens & Partners", "Bondgenotenlaan 101", "3000 Leuven"):
        lib.PrItem(110, 0, line, q.frmtText, q.alignLeft)
    today = q.Format(datetime.date.today(), "d mmmm yyyy")
    lib.PrItem(190, 64, "Leuven, " + today, q.frmtText, q.alignRight)

    reference, _ = lib.PrLeft("Our reference: INV-2024-000123 / customer 4711 / yearly supply "
                              "contract, order of 12 March", 120)
    lib.PrItem(0, 72, reference, q.frmtText, q.alignLeft)
    lib.PrItem(0, 78, "Subject: your invoice and our general terms", q.frmtText, q.alignLeft, q.psBold)

    # The body flows from the left column into the right one.
    rest = lib.PrBoxText(0, 86, 92, 118, BODY, True, q.alignLeft, q.psNormal, "", 10, DARK_BLUE, LIGHT_YELLOW)
    if rest:
        lib.PrBoxText(98, 86, 190, 118, rest, True, q.alignLeft, q.psNormal, "", 10, DARK_BLUE, LIGHT_YELLOW,
                      EllipsText=True)

    top = 128
    lib.PrBox(0, top - 2, 190, top + 35)
    for left, caption, align in ((2, "Description", q.alignLeft), (100, "Quantity", q.alignRight),
                                 (130, "Unit price", q.alignRight), (150, "VAT", q.alignRight),
                                 (188, "Amount", q.alignRight)):
        lib.PrItem(left, top, caption, q.frmtText, align, q.psCaps)
    lib.PrLine(0, top + 4, 190, top + 4, 5)
    lib.T = top + 2
    total = 0.0
    for what, quantity, price, vat in ROWS:
        amount = quantity * price * (1 + vat / 100)
        total += amount
        lib.PrItem(2, 0, what, q.frmtText, q.alignLeft)
        y = lib.T
        lib.PrNbrDec = 1
        lib.PrItem(100, y, quantity, q.frmtNumber, q.alignRight)
        lib.PrItem(130, y, price, q.frmtEuroSign2, q.alignRight)
        lib.PrNbrDec = 0
        lib.PrItem(150, y, vat, q.frmtPercentDec, q.alignRight)
        lib.PrItem(188, y, amount, q.frmtAmount2, q.alignRight)
    lib.PrItem(150, 0, 0, q.frmtNumberNoZero, q.alignRight)  # no discount: prints nothing
    lib.PrLine(100, top + 22, 190, top + 22, 5)
    lib.PrItem(120, top + 24, "Total", q.frmtText, q.alignLeft, q.psBold)
    lib.PrItem(188, top + 24, total, q.frmtEuroCode2, q.alignRight, q.psBold)
    lib.PrItem(120, top + 30, "In francs", q.frmtText, q.alignLeft, q.psSmall)
    lib.PrItem(188, top + 30, total * 40.3399, q.frmtCurrency, q.alignRight, q.psSmall)

    lib.PrItem(0, 174, "Payment", q.frmtText, q.alignLeft, q.psBold)
    for left, state, text in ((0, q.kChecked, "Bank transfer"), (40, q.kUnchecked, "Cash"),
                              (70, q.kGrayed, "Direct debit (not available)")):
        lib.PrCheckBox(left, 180.5, state)
        lib.PrItem(left + 5, 180, text, q.frmtText, q.alignLeft)

    lib.PrCircle(165, 192, 11, 25, RED)
    lib.PrItem(165, 189.5, "PAID", q.frmtText, q.alignCenter, q.psCustom, "B", 13, "Arial", RED)
    lib.PrItem(0, 204, "Kind regards,", q.frmtText, q.alignLeft)
    lib.PrLine(0, 226, 60, 226, 5)
    lib.PrItem(0, 228, "Pieter Claes, accounts department", q.frmtText, q.alignLeft)
    lib.PrItem(95, 278, "Page 1 of 2", q.frmtText, q.alignCenter, q.psSmall)


def page2(lib):
    lib.PrFrame(1, 0, 0, 190, 270, LIGHT_YELLOW)
    lib.PrItem(2, 0.7, "Annex: general terms and conditions", q.frmtText, q.alignLeft, q.psBold)
    lib.PrRTF("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 "
              "This annex is part of invoice {\\b INV-2024-000123}. It repeats the "
              "{\\i general terms} that apply to every delivery, printed from "
              "the file {\\f0\\ul terms.rtf} below.\\par}", 16, 17, 17)
    surface = lib.VPrinter
    left, right = surface.MarginLeft, surface.MarginRight
    services = q.GenServices()
    surface.MarginLeft = services.MmToTwips(17)
    surface.MarginRight = services.MmToTwips(17)
    surface.CurrentY = surface.CurrentY + services.MmToTwips(4)
    lib.PrRTFFile(os.path.join(EXAMPLES, "letter", "terms.rtf"))
    surface.MarginLeft, surface.MarginRight = left, right

    lib.PrBox(40, 120, 150, 140, 10, DARK_BLUE, None, True, 4)
    lib.PrBoxText(42, 123, 148, 138, "Questions about this invoice? Call +32 16 12 34 56 on working days, "
                  "or write to accounts@qor-office.example.", False, q.alignCenter)
    lib.PrItem(95, 278, "Page 2 of 2", q.frmtText, q.alignCenter, q.psSmall)


def write_letter(output, locale="nl_BE"):
    services = q.GenServices()
    services.Unattended = True  # a batch program: no dialogs
    services.Locale = locale
    # The letterhead pictures lie in the sample's Headers folder, which stands in for the
    # program's data folder here (QORPRINT_DATA_DIR, when set, still wins).
    services.UseApplicationFolder = True
    lib = q.Library()
    lib.PrSetUpDLL(q.Application("letter", os.path.join(EXAMPLES, "headers")), 20000)  # English texts
    if not lib.InitPrinter("", 3, q.kOrientPortrait, 1, q.kPaperA4, output):
        raise SystemExit("letter: the document could not be opened")
    page1(lib)
    lib.PrNewPage()
    page2(lib)
    if not lib.PrEndDoc():
        raise SystemExit("letter: %s was not written" % output)


if __name__ == "__main__":
    output = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "letter.pdf")
    write_letter(output, sys.argv[2] if len(sys.argv) > 2 else "nl_BE")
    print(output)
