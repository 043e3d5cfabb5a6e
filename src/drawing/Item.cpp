// PrItem: one formatted value on the page, or one worksheet cell while exporting.
//
// Choices where the library's rules leave room:
// - Currency patterns ("_($* #,##0 ...") reach the spreadsheet unchanged. On paper the layout
//   code "_(" is dropped and "* " draws one blank, so 1234 prints "$ 1.234 BEF" in nl_BE.
// - Percent formats with decimals (frmtPercent with a fraction and frmtPercentDec, when
//   PrNbrDec > 0) get the pattern "#,##0\ \%.00" (resp. "#,##0.0\ \%.00"), decimals behind
//   the sign. On paper they show PrNbrDec decimals in front of the sign: "12,50 %". The
//   sign is always a literal: 12.5 prints "12,50 %", never "1250 %".
#include <cmath>

#include <qor/GenServices.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ErrorPlace.h"
#include "drawing/ExcelBridge.h"
#include "drawing/ItemFormats.h"
#include "drawing/TypeStyles.h"
#include "surface/DocumentAccess.h"

namespace qor {

namespace {

constexpr float kLineAdvanceMm = 4.0f;

// The frame margin of an item: the font size rounded half to even, integer-divided by 3.
float FrameMargin(double fontSize) {
    return static_cast<float>(static_cast<int64_t>(std::nearbyint(fontSize)) / 3);
}

// `text` with every `token` replaced by `by`.
std::string Replaced(std::string_view text, const std::string& token, std::string_view by) {
    std::string out;
    for (size_t at = 0;;) {
        const size_t found = text.find(token, at);
        out.append(text.substr(at, found - at));
        if (found == std::string_view::npos) return out;
        out.append(by);
        at = found + token.size();
    }
}

// PrPageCountToken: each line of `text` placed on `x` by `align`, its number of pages
// filled in when the pages are drawn or written.
void PageCountItem(VSPrinter& surface, std::string_view text, const std::string& token, double x,
                   int32_t align) {
    const double y = surface.CurrentY();
    const double lineHeight = surface.TextHeight("");
    const std::string marker(1, surface::kPageCountMarker);
    for (size_t start = 0, line = 0; start <= text.size(); ++line) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) {  // an empty line shows nothing
            const std::string marked = Replaced(Replaced(text.substr(start, end - start), marker, ""), token, marker);
            surface::AppendPageCountText(surface, x, y + static_cast<double>(line) * lineHeight, marked,
                                         surface.Font(), surface.TextColor(), align);
        }
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
}

}  // namespace

void clsqorPrintLib::PrItem(float Left, float Top, Variant& Item, int32_t Frmt, int32_t Align,
                            int32_t PrintStyle, const std::string& Style, float FontSize,
                            const std::string& FontName, int32_t Color) try {
    const OperationScope scope;
    float top = Top;
    if (top == 0) {
        top = AddMm(T, kLineAdvanceMm);
        T = top;
    }
    const float left = Offset(Left);
    top = Offset(top);

    if (Frmt != frmtText) {
        Item = GenServices().ToNumber(Item);
    } else if (!Item.IsNull() && TrimBlanks(CStr(Item)).empty()) {
        Item = Variant(" ");
    }
    const std::string pattern = ItemPattern(Frmt, PrNbrDec, PrCurr, Item);
    if (SuppressesZero(Frmt) && CDbl(Item) == 0) return;

    if (ExcelModeOn()) {
        ExcelWriteCell(T, left, top, Item, pattern, Align, PrintStyle, Style, FontSize, FontName,
                       Color);
        return;
    }

    VSPrinter& surface = SurfaceOf(*this);
    const StyleRequest request{PrintStyle, DefaultFontName, DefaultFontSize, Style, FontSize, FontName};
    if (ApplyPrintStyle(surface, request, StyleUser::Item)) Item = Variant(UpperCase(CStr(Item)));
    surface.TextColor(Color);

    const std::string text = ItemText(Item, pattern);
    const bool pageCount = !PrPageCountToken.empty() && text.find(PrPageCountToken) != std::string::npos;
    // With the page-count token the final width is known later: measured here with the
    // pages so far, for the frame.
    const std::string measured =
        pageCount ? Replaced(text, PrPageCountToken, std::to_string(surface.PageCount())) : std::string();
    surface.CurrentY(ToTwips(top));
    const double x = ToTwips(left);
    const double width = surface.TextWidth(pageCount ? measured : text);
    switch (Align) {
        case alignLeft: surface.CurrentX(x); break;
        case alignRight: surface.CurrentX(x - width); break;
        case alignCenter: surface.CurrentX(x - width / 2); break;
        default: break;
    }
    const float x0 = ToMm(surface.CurrentX()) - kDrawingOffsetMm;
    const float y0 = ToMm(surface.CurrentY()) - kDrawingOffsetMm;
    if (pageCount) PageCountItem(surface, text, PrPageCountToken, x, Align);
    else surface.Text(text);

    if (UpperCase(Style).find('F') != std::string::npos) {
        const float margin = FrameMargin(surface.Font().Size);
        const float widthMm = ToMm(surface.TextWidth(pageCount ? measured : text));
        const float heightMm = ToMm(surface.TextHeight(text));
        PrBox(x0 - margin, y0 - margin, x0 + widthMm + margin, y0 + heightMm + margin, 10, 0,
              std::nullopt, false, 10);
    }
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrItem", Left, Top, Item, Frmt, Align, PrintStyle, Style, FontSize, FontName, Color);
}

}  // namespace qor
