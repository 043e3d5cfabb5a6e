// Enumerations shared by the product line: number formats, type styles, letterhead
// layouts, background colours and alignments. All are plain enumerations convertible to
// int32_t; the library also accepts values outside the named members (a Frmt of 15 or 41,
// any RGB colour).
#pragma once

#include <cstdint>

namespace qor {

// Number format of an item (PrItem, clsRapport::SetCol). Values 10 to 50 follow one rule:
// the base is "#,##0" below 20 for a value without fraction, "#,##0.00" below 30,
// "#,##0.0000" above; the value modulo 10 picks the suffix (0 " EUR", 1 " €", else none).
// 9, negative values and values above 50 print the value's plain text.
enum Frmt : int32_t {
    frmtText = 0,             // the value as text
    frmtNumber = 1,           // "#,##0", decimals only when the value has a fraction
    frmtNumberDec = 2,        // "#,##0" with PrNbrDec decimals
    frmtNumberNoZero = 3,     // as frmtNumber; 0 is not printed
    frmtNumberDecNoZero = 4,  // as frmtNumberDec; 0 is not printed
    frmtCurrency = 5,         // accounting pattern followed by PrCurr
    frmtCurrencyDec = 6,      // the same with PrNbrDec decimals
    frmtPercent = 7,          // "#,##0 %" (no scaling by 100)
    frmtPercentDec = 8,       // "#,##0.0 %"
    frmtEuroCode = 10,        // "#,##0" or "#,##0.00", then " EUR"
    frmtEuroSign = 11,        // "#,##0" or "#,##0.00", then " €"
    frmtAmount = 12,          // "#,##0" or "#,##0.00"
    frmtEuroCode2 = 20,       // "#,##0.00 EUR"
    frmtEuroSign2 = 21,       // "#,##0.00 €"
    frmtAmount2 = 22,         // "#,##0.00"
    frmtEuroCode4 = 30,       // "#,##0.0000 EUR"
    frmtEuroSign4 = 31,       // "#,##0.0000 €"
    frmtAmount4 = 32,         // "#,##0.0000"
};

// Type style of an item (PrItem, PrBoxText, clsRapport::SetCol). Any other value keeps the
// font the previous drawing call left on the surface.
enum PrintStyle : int32_t {
    psNormal = 0,     // DefaultFontSize, plain
    psTitle = 1,      // 13 pt bold underlined; PrItem upper-cases the item
    psSubTitle = 2,   // 11 pt; italic in PrItem, underlined in PrBoxText
    psCaps = 3,       // 8 pt, upper-cased
    psBold = 4,       // 9 pt bold
    psSmall = 5,      // 8 pt italic
    psCustom = 99,    // FontName, FontSize and the style letters B, U, I, T
};

// Position and size of a letterhead picture (PrLogo). Values other than 0, 1 and 2 act as
// layCenter.
enum Layout : int32_t {
    layLeft = 0,         // at the left edge
    layRight = 1,        // at the right edge
    layCenterLarge = 2,  // centred, picture and texts at double size
    layCenter = 3,       // centred, normal size
};

// Page background colours (RGB written &HBBGGRR). Any other 32-bit RGB value is passed
// through unchanged.
enum PrBackColor : int32_t {
    bcBlack = 0x000000,
    bcWhite = 0xFFFFFF,
    bcLightGrey = 0xE0E0E0,
    bcLightYellow = 0xE0FFFF,
    bcLightBlue = 0xFFF0E0,
};

// Horizontal alignment of an item or line.
enum Alignment : int32_t {
    alignLeft = 0,
    alignRight = 1,
    alignCenter = 2,
};

// Page orientation as InitPrinter takes it.
inline constexpr int32_t kOrientPortrait = 1;
inline constexpr int32_t kOrientLandscape = 2;

// Windows paper-size code of A4.
inline constexpr int32_t kPaperA4 = 9;

// States of a check box (PrCheckBox).
inline constexpr int32_t kUnchecked = 0;
inline constexpr int32_t kChecked = 1;
inline constexpr int32_t kGrayed = 2;

// System colour of button faces (&H8000000F), the default fill of a frame's title band.
inline constexpr int32_t kColorButtonFace = static_cast<int32_t>(0x8000000Fu);

}  // namespace qor
