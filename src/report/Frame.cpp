// The page frame: title band, table frame, dividers, captions, the check that the columns
// fill the line (first page only) and the foot lines.
#include "report/ReportRun.h"

#include <ctime>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>

#include "drawing/DrawingSupport.h"

namespace qor {

namespace {

constexpr int32_t kTitleBlue = 0x6A240A;
constexpr int32_t kTitleGreen = 0x0DCD79;
constexpr int32_t kWhite = 0xFFFFFF;

// Today's date as the locale writes it in short form.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Variant::FromDate(MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)).ToString();
}

}  // namespace

void ReportRun::PageFrame() {
    lib_.PrBox(10, 5, rightEdge_, 18, 10, kTitleBlue, kTitleBlue, false, 10);
    // The texts go by reference: PrItem turns an empty one into a blank, and so do they.
    Variant title(r_.Title);
    lib_.PrItem(15, 6, title, frmtText, alignLeft, psCustom, "B", 24, "Arial", kTitleGreen);
    r_.Title = JoinText(title);
    Variant subTitle(r_.SubTitle);
    lib_.PrItem(rightEdge_ - 5, 12, subTitle, frmtText, alignRight, psCustom, "B", 13, "Arial", kWhite);
    r_.SubTitle = JoinText(subTitle);
    lib_.PrFrame(1, 10, 24, rightEdge_, bottomEdge_, kColorButtonFace);

    for (int32_t c = 0; c <= lastCol_; ++c) {
        ColumnDef& col = Col(c);
        if (c == 0) {
            col.X = 10;
        } else {
            const ColumnDef& previous = Col(c - 1);
            col.X = previous.X + previous.Width;
            if (!previous.NoDividerLine) lib_.PrLine(col.X, 24, col.X, bottomEdge_, 4, 0);
        }
        if (col.PrintStyle != psNormal) {
            Variant caption(UpperCase(col.Caption));
            lib_.PrItem(Anchor(col), 25, caption, frmtText, col.Align, col.PrintStyle, col.Style,
                        col.FontSize, col.FontName, col.Color);
        } else {
            Variant caption(col.Caption);
            lib_.PrItem(Anchor(col), 25, caption, frmtText, col.Align, psCaps, "", 9, "Arial", 0);
        }
        if (col.SubTotalType > 0) hasSubTotals_ = true;
    }

    const int32_t pages = lib_.VPrinter != nullptr ? lib_.VPrinter->PageCount() : 0;
    if (pages == 1 && !GenServices().NoLayoutCheck) CheckWidths();
    FootLines();
    curY_ = kFirstLineY;
}

void ReportRun::CheckWidths() {
    const ColumnDef& last = Col(lastCol_);
    const float total = last.X + last.Width;
    if (total == rightEdge_) return;
    std::string detail;
    if (total < rightEdge_) {
        detail = "Er blijft " + CStr(Variant(rightEdge_ - total)) + " mm vrije ruimte over...";
    } else {
        detail = "U heeft " + CStr(Variant(total - rightEdge_)) + " mm te veel opgegeven.";
    }
    GenServicesObject& services = GenServices();
    int32_t answer = 0;
    services.ShowMessage("Kolombreedtes :  " + detail + services.MessageSeparator +
                             "Doorgaan met afdrukken ?",
                         kMsgYesNo + kMsgQuestion, "PrRapport", answer);
    if (answer == kAnswerNo) throw Stop{};
}

void ReportRun::FootLines() {
    const float y = bottomEdge_ + 2;
    if (r_.FootNoteDate) {
        Variant date(Today());
        lib_.PrItem(10, y, date, frmtText, alignLeft, psSmall, "", 9, "Arial", 0);
    }
    if (!r_.FootNote.empty()) {
        Variant note(r_.FootNote);
        lib_.PrItem(r_.FootNoteDate ? rightEdge_ / 2 + 5 : 10, y, note, frmtText, alignCenter, psSmall,
                    "", 9, "Arial", 0);
    }
    const int32_t page = lib_.VPrinter != nullptr ? lib_.VPrinter->PageCount() : 0;
    if (r_.PageOfPages && preview_ != 2) {
        // The total is filled in when the pages are drawn or written. The token is only
        // set for this item: a cell's text may hold anything.
        constexpr const char* kToken = "{pages}";
        Variant text(GetText(kTextPage) + std::to_string(page) + GetText(kTextPageOf) + kToken);
        lib_.PrPageCountToken = kToken;
        lib_.PrItem(rightEdge_, y, text, frmtText, alignRight, psSmall, "", 9, "Arial", 0);
        lib_.PrPageCountToken.clear();
    } else if (r_.PageNbr) {
        Variant text("Page " + std::to_string(page));
        lib_.PrItem(rightEdge_, y, text, frmtText, alignRight, psSmall, "", 9, "Arial", 0);
    }
}

void ReportRun::NewPage() {
    if (carry_) CarryBand(bottomEdge_ - kTotalsBandHeight, kTextCarriedForward);
    lib_.PrNewPage();
    PageFrame();
    if (carry_) {
        CarryBand(kFirstLineY - kBroughtForwardRise, kTextBroughtForward);
        curY_ = kFirstLineY + kTotalsBandHeight;
    }
}

}  // namespace qor
