// The number formats of PrItem: the pattern of every Frmt and the text drawn from it, with 0
// and 2 decimals, in Dutch and English locales.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qor/Enums.h>
#include <qor/GenServices.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "drawing/ItemFormats.h"
#include "support/Errors.h"

namespace qor::test {
namespace {

const std::string kBef = " \\B\\E\\F";

struct PatternCase {
    int32_t frmt;
    int32_t nbrDec;
    double value;
    const char* pattern;
};

TEST(ItemFormats, PatternOfEveryFormat) {
    const std::vector<PatternCase> cases = {
        {frmtText, 2, 1234.5, "&"},
        {frmtNumber, 2, 1234, "#,##0"},
        {frmtNumber, 2, 1234.5, "#,##0.00"},
        {frmtNumberDec, 2, 1234, "#,##0.00"},
        {frmtNumberNoZero, 3, 0.5, "#,##0.000"},
        {frmtNumberDecNoZero, 1, 7, "#,##0.0"},
        {frmtCurrency, 2, 5.25, "_($* #,##0.00 \\B\\E\\F"},
        {frmtCurrencyDec, 0, 5.5, "_($* #,##0 \\B\\E\\F"},
        {frmtPercent, 0, 12.5, "#,##0\\ \\%"},
        {frmtPercent, 2, 12.5, "#,##0\\ \\%.00"},
        {frmtPercentDec, 2, 12, "#,##0.0\\ \\%.00"},
        {frmtEuroCode, 2, 12.5, "#,##0.00 \\E\\U\\R"},
        {frmtEuroSign, 0, 12, "#,##0 \\€"},
        {frmtAmount, 0, 12.5, "#,##0.00"},
        // The rest of 10 to 50 follows the same rule.
        {13, 0, 12, "#,##0"},
        {41, 0, 12, "#,##0.0000 \\€"},
        {50, 0, 12, "#,##0.0000 \\E\\U\\R"},
        // Outside every rule: the plain text form.
        {9, 2, 12.5, ""},
        {51, 2, 12.5, ""},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(ItemPattern(c.frmt, c.nbrDec, kBef, Variant(c.value)), c.pattern)
            << "Frmt " << c.frmt << ", PrNbrDec " << c.nbrDec << ", value " << c.value;
    }
    // The currency tail is trimmed; negative decimals are no pattern.
    EXPECT_EQ(ItemPattern(frmtCurrency, 0, "  \\E\\U\\R  ", Variant(1)), "_($* #,##0 \\E\\U\\R");
    EXPECT_EQ(ItemPattern(frmtCurrencyDec, 1, "", Variant(1)), "_($* #,##0.0 ");
    ExpectRuntimeError(kErrInvalidCall, [] { ItemPattern(frmtNumberDec, -1, kBef, Variant(1)); });
}

struct TextCase {
    int32_t frmt;
    int32_t nbrDec;
    Variant item;
    const char* dutch;
    const char* english;
};

// The text PrItem draws: the item in its numeric form (ToNumber), the pattern of its Frmt.
std::string Drawn(const TextCase& c) {
    const Variant item = c.frmt == frmtText ? c.item : GenServices().ToNumber(c.item);
    return ItemText(item, ItemPattern(c.frmt, c.nbrDec, kBef, item));
}

TEST(ItemFormats, DrawnTextInDutchAndEnglish) {
    const std::vector<TextCase> cases = {
        {frmtNumber, 2, Variant("1234"), "1.234", "1,234"},  // a text item is read as a number
        {frmtCurrency, 2, Variant(1234.5), "$ 1.234,50 BEF", "$ 1,234.50 BEF"},
        {frmtPercent, 2, Variant(12.5), "12,50 %", "12.50 %"},
        {41, 0, Variant(2), "2,0000 \xE2\x82\xAC", "2.0000 \xE2\x82\xAC"},
        {9, 2, Variant(1234.5), "1234,5", "1234.5"},
    };
    for (const char* locale : {"nl_BE", "en_US"}) {
        ScopedThreadLocale scoped(locale);
        const bool dutch = std::string(locale) == "nl_BE";
        for (const TextCase& c : cases) {
            EXPECT_EQ(Drawn(c), dutch ? c.dutch : c.english)
                << locale << ": Frmt " << c.frmt << ", PrNbrDec " << c.nbrDec << ", item " << CStr(c.item);
        }
    }
}

TEST(ItemFormats, PaperPatternKeepsLiteralsAndDropsCellPadding) {
    EXPECT_EQ(PaperPattern("#,##0 \\_x \"_a\""), "#,##0 \\_x \"_a\"");
    EXPECT_EQ(PaperPattern("#,##0\\ \\%.00"), "#,##0.00\\ \\%");
    EXPECT_EQ(PaperPattern("#,##0.0\\ \\%.000"), "#,##0.000\\ \\%");
}

}  // namespace
}  // namespace qor::test
