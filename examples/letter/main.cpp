// A two-page business letter drawn with qorPrintLib's drawing operations and written as PDF.
//
//   letter [output.pdf] [locale]      (defaults: letter.pdf, nl_BE)
//
// Page 1: letterhead drawn by PrLogo, address block, date, a fitted reference line, the body in a
// framed and filled box flowing into a second column, a table of amounts in several number
// formats, check boxes and a stamp. Page 2: a page frame with a title band, a rich-text
// paragraph and the general terms read from terms.rtf.
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string>

#include <qor/SpreadsheetExport.h>
#include <qor/qorPrintLib.h>
#include <qor/RtfText.h>

namespace {

constexpr int32_t kLightYellow = 0xE0FFFF;  // &HBBGGRR
constexpr int32_t kDarkBlue = 0x7D491F;
constexpr int32_t kRed = 0x1D1DC0;

const char* kBody =
    "Dear Mrs Janssens,\r\n"
    "Thank you for your order of 12 March. We are glad to confirm that all the goods have been "
    "delivered to your office in Leuven, and we enclose the invoice for the yearly supply "
    "contract below.\r\n"
    "As agreed, the unit prices of the contract remain unchanged for the whole of this year. The "
    "amounts are shown in euro; for your records we add the total in Belgian francs as well.\r\n"
    "Should anything be missing or damaged, please let us know within eight days, so that we can "
    "replace it at once. Our general terms of sale are printed on the back of this letter.";

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double date = qor::MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return qor::Format(qor::Variant::FromDate(date), "d mmmm yyyy");
}

// The letterhead of design "A" from the sample Headers folder (its logo Header.A.png), with
// the address beside it on the right.
void Letterhead(qor::clsqorPrintLib& lib) {
    using namespace qor;
    lib.PrLogo("A", "Qor", "Office Supplies", layLeft);
    for (const char* line : {"Stationsstraat 12", "3000 Leuven", "BE 0123.456.789"}) {
        lib.PrItem(190, lib.T == 0 ? 10 : 0, Variant(line), frmtText, alignRight, psSmall);
        if (lib.T == 0) lib.T = 10;
    }
    lib.PrLine(0, 30, 190, 30, 15, kDarkBlue);
}

void Page1(qor::clsqorPrintLib& lib) {
    using namespace qor;
    Letterhead(lib);

    lib.PrItem(110, 34, Variant("Personal"), frmtText, alignLeft, psCaps, "F");
    lib.T = 38;
    for (const char* line : {"Mrs A. Janssens", "Janssens & Partners", "Bondgenotenlaan 101", "3000 Leuven"}) {
        lib.PrItem(110, 0, Variant(line), frmtText, alignLeft);
    }
    lib.PrItem(190, 64, Variant("Leuven, " + Today()), frmtText, alignRight);

    std::string reference =
        "Our reference: INV-2024-000123 / customer 4711 / yearly supply contract, order of 12 March";
    lib.PrLeft(reference, 120.0f);
    lib.PrItem(0, 72, Variant(reference), frmtText, alignLeft);
    lib.PrItem(0, 78, Variant("Subject: your invoice and our general terms"), frmtText, alignLeft, psBold);

    // The body flows from the left column into the right one.
    const std::string rest = lib.PrBoxText(0, 86, 92, 118, kBody, true, alignLeft, psNormal, "", 10,
                                           kDarkBlue, kLightYellow);
    if (!rest.empty()) lib.PrBoxText(98, 86, 190, 118, rest, true, alignLeft, psNormal, "", 10, kDarkBlue,
                                     kLightYellow, 9, "Arial", true);

    // Amounts.
    const float top = 128;
    lib.PrBox(0, top - 2, 190, top + 35);
    lib.PrItem(2, top, Variant("Description"), frmtText, alignLeft, psCaps);
    lib.PrItem(100, top, Variant("Quantity"), frmtText, alignRight, psCaps);
    lib.PrItem(130, top, Variant("Unit price"), frmtText, alignRight, psCaps);
    lib.PrItem(150, top, Variant("VAT"), frmtText, alignRight, psCaps);
    lib.PrItem(188, top, Variant("Amount"), frmtText, alignRight, psCaps);
    lib.PrLine(0, top + 4, 190, top + 4, 5);
    struct Row {
        const char* what;
        double quantity, price, vat;
    };
    lib.T = top + 2;
    double total = 0;
    for (const Row& row : {Row{"Copy paper A4, 80 g (box of 5 reams)", 12, 23.95, 21},
                           Row{"Ink cartridges, black", 6.5, 41.5, 21},
                           Row{"Desk diaries 2025", 25, 8.2, 6}}) {
        const double amount = row.quantity * row.price * (1 + row.vat / 100);
        total += amount;
        lib.PrItem(2, 0, Variant(row.what), frmtText, alignLeft);
        const float y = lib.T;
        lib.PrNbrDec = 1;
        lib.PrItem(100, y, Variant(row.quantity), frmtNumber, alignRight);
        lib.PrItem(130, y, Variant(row.price), frmtEuroSign2, alignRight);
        lib.PrNbrDec = 0;
        lib.PrItem(150, y, Variant(row.vat), frmtPercentDec, alignRight);
        lib.PrItem(188, y, Variant(amount), frmtAmount2, alignRight);
    }
    lib.PrItem(150, 0, Variant(0), frmtNumberNoZero, alignRight);  // no discount: prints nothing
    lib.PrLine(100, top + 22, 190, top + 22, 5);
    lib.PrItem(120, top + 24, Variant("Total"), frmtText, alignLeft, psBold);
    lib.PrItem(188, top + 24, Variant(total), frmtEuroCode2, alignRight, psBold);
    lib.PrItem(120, top + 30, Variant("In francs"), frmtText, alignLeft, psSmall);
    lib.PrItem(188, top + 30, Variant(total * 40.3399), frmtCurrency, alignRight, psSmall);

    // Payment.
    lib.PrItem(0, 174, Variant("Payment"), frmtText, alignLeft, psBold);
    lib.PrCheckBox(0, 180.5, kChecked);
    lib.PrItem(5, 180, Variant("Bank transfer"), frmtText, alignLeft);
    lib.PrCheckBox(40, 180.5, kUnchecked);
    lib.PrItem(45, 180, Variant("Cash"), frmtText, alignLeft);
    lib.PrCheckBox(70, 180.5, kGrayed);
    lib.PrItem(75, 180, Variant("Direct debit (not available)"), frmtText, alignLeft);

    lib.PrCircle(165, 192, 11, 25, kRed);
    lib.PrItem(165, 189.5, Variant("PAID"), frmtText, alignCenter, psCustom, "B", 13, "Arial", kRed);

    lib.PrItem(0, 204, Variant("Kind regards,"), frmtText, alignLeft);
    lib.PrLine(0, 226, 60, 226, 5);
    lib.PrItem(0, 228, Variant("Pieter Claes, accounts department"), frmtText, alignLeft);
    lib.PrItem(95, 278, Variant("Page 1 of 2"), frmtText, alignCenter, psSmall);
}

void Page2(qor::clsqorPrintLib& lib, const std::string& termsFile) {
    using namespace qor;
    lib.PrFrame(1, 0, 0, 190, 270, kLightYellow);
    lib.PrItem(2, 0.7f, Variant("Annex: general terms and conditions"), frmtText, alignLeft, psBold);

    // Rich text between 17 and 17 mm margins of the paper, inside the frame.
    lib.PrRTF(RtfText("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 "
                      "This annex is part of invoice {\\b INV-2024-000123}. It repeats the "
                      "{\\i general terms} that apply to every delivery, printed from "
                      "the file {\\f0\\ul terms.rtf} below.\\par}"),
              16, 17, 17);
    VSPrinter& surface = *lib.VPrinter;
    const double left = surface.MarginLeft();
    const double right = surface.MarginRight();
    surface.MarginLeft(GenServices().MmToTwips(17));
    surface.MarginRight(GenServices().MmToTwips(17));
    surface.CurrentY(surface.CurrentY() + GenServices().MmToTwips(4));
    lib.PrRTFFile(termsFile);
    surface.MarginLeft(left);
    surface.MarginRight(right);

    lib.PrBox(40, 120, 150, 140, 10, kDarkBlue, std::nullopt, true, 4);
    lib.PrBoxText(42, 123, 148, 138,
                  "Questions about this invoice? Call +32 16 12 34 56 on working days, or write to "
                  "accounts@qor-office.example.",
                  false, alignCenter);
    lib.PrItem(95, 278, Variant("Page 2 of 2"), frmtText, alignCenter, psSmall);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string output = std::filesystem::absolute(argc > 1 ? argv[1] : "letter.pdf").string();
    const std::string locale = argc > 2 ? argv[2] : "nl_BE";
    try {
        qor::GenServices().Unattended = true;  // a batch program: no dialogs
        qor::GenServices().Locale = locale;
        qor::clsqorPrintLib lib;
        // The letterhead pictures lie in the sample's Headers folder, which stands in for the
        // program's data folder here (QORPRINT_DATA_DIR, when set, still wins).
        qor::GenServices().UseApplicationFolder = true;
        lib.PrSetUpDLL(qor::Application{"letter", QOR_LETTER_HEADERS_DIR}, 20000);  // English texts
        // A file name ending in .xlsx writes the letter's texts into a workbook instead.
        const bool workbook = std::filesystem::path(output).extension() == ".xlsx";
        const std::string written = workbook ? qor::SpreadsheetFileFor(output) : output;
        if (!lib.InitPrinter("", workbook ? 2 : 3, qor::kOrientPortrait, 1, qor::kPaperA4, output)) {
            std::fprintf(stderr, "letter: the document could not be opened\n");
            return 1;
        }
        Page1(lib);
        lib.PrNewPage();
        Page2(lib, QOR_LETTER_DIR "/terms.rtf");
        const auto started = std::filesystem::file_time_type::clock::now();
        lib.PrEndDoc();
        std::error_code ec;
        if (!std::filesystem::exists(written, ec) || std::filesystem::last_write_time(written, ec) < started) {
            std::fprintf(stderr, "letter: %s was not written\n", written.c_str());
            return 1;
        }
        std::printf("%s\n", written.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "letter: %s\n", e.what());
        return 1;
    }
}
