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
        {frmtNumber, 0, 1234.5, "#,##0"},
        {frmtNumberDec, 2, 1234, "#,##0.00"},
        {frmtNumberDec, 0, 1234.5, "#,##0"},
        {frmtNumberNoZero, 3, 0.5, "#,##0.000"},
        {frmtNumberDecNoZero, 1, 7, "#,##0.0"},
        {frmtCurrency, 2, 5, "_($* #,##0 \\B\\E\\F"},
        {frmtCurrency, 2, 5.25, "_($* #,##0.00 \\B\\E\\F"},
        {frmtCurrencyDec, 2, 5, "_($* #,##0.00 \\B\\E\\F"},
        {frmtCurrencyDec, 0, 5.5, "_($* #,##0 \\B\\E\\F"},
        {frmtPercent, 0, 12.5, "#,##0\\ \\%"},
        {frmtPercent, 2, 12, "#,##0\\ \\%"},
        {frmtPercent, 2, 12.5, "#,##0\\ \\%.00"},
        {frmtPercentDec, 0, 12, "#,##0.0\\ \\%"},
        {frmtPercentDec, 2, 12, "#,##0.0\\ \\%.00"},
        {frmtEuroCode, 2, 12, "#,##0 \\E\\U\\R"},
        {frmtEuroCode, 2, 12.5, "#,##0.00 \\E\\U\\R"},
        {frmtEuroSign, 0, 12, "#,##0 \\€"},
        {frmtAmount, 0, 12.5, "#,##0.00"},
        {frmtEuroCode2, 0, 12, "#,##0.00 \\E\\U\\R"},
        {frmtEuroSign2, 0, 12, "#,##0.00 \\€"},
        {frmtAmount2, 4, 12, "#,##0.00"},
        {frmtEuroCode4, 0, 12, "#,##0.0000 \\E\\U\\R"},
        {frmtEuroSign4, 0, 12.5, "#,##0.0000 \\€"},
        {frmtAmount4, 0, 12, "#,##0.0000"},
        // The rest of 10 to 50 follows the same rule.
        {13, 0, 12, "#,##0"},
        {15, 0, 12.5, "#,##0.00"},
        {19, 0, 12, "#,##0"},
        {25, 0, 12, "#,##0.00"},
        {29, 0, 12, "#,##0.00"},
        {40, 0, 12, "#,##0.0000 \\E\\U\\R"},
        {41, 0, 12, "#,##0.0000 \\€"},
        {50, 0, 12, "#,##0.0000 \\E\\U\\R"},
        // Outside every rule: the plain text form.
        {9, 2, 12.5, ""},
        {-1, 2, 12.5, ""},
        {51, 2, 12.5, ""},
    };
    for (const PatternCase& c : cases) {
        EXPECT_EQ(ItemPattern(c.frmt, c.nbrDec, kBef, Variant(c.value)), c.pattern)
            << "Frmt " << c.frmt << ", PrNbrDec " << c.nbrDec << ", value " << c.value;
    }
}

TEST(ItemFormats, CurrencyTailIsTrimmed) {
    EXPECT_EQ(ItemPattern(frmtCurrency, 0, "  \\E\\U\\R  ", Variant(1)), "_($* #,##0 \\E\\U\\R");
    EXPECT_EQ(ItemPattern(frmtCurrencyDec, 1, "", Variant(1)), "_($* #,##0.0 ");
}

TEST(ItemFormats, NegativeDecimalsAreRejected) {
    try {
        ItemPattern(frmtNumberDec, -1, kBef, Variant(1));
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrInvalidCall);
    }
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
        {frmtText, 0, Variant(1234.5), "1234,5", "1234.5"},
        {frmtText, 2, Variant("as is"), "as is", "as is"},
        {frmtNumber, 0, Variant(1234.5), "1.235", "1,235"},
        {frmtNumber, 2, Variant(1234.0), "1.234", "1,234"},
        {frmtNumber, 2, Variant(1234.5), "1.234,50", "1,234.50"},
        {frmtNumber, 2, Variant(0), "0", "0"},
        {frmtNumber, 2, Variant(-1234567.891), "-1.234.567,89", "-1,234,567.89"},
        {frmtNumberDec, 0, Variant(1234.5), "1.235", "1,235"},
        {frmtNumberDec, 2, Variant(1234), "1.234,00", "1,234.00"},
        {frmtNumberNoZero, 0, Variant(0.4), "0", "0"},
        {frmtNumberDecNoZero, 2, Variant(7), "7,00", "7.00"},
        {frmtCurrency, 0, Variant(1234.5), "$ 1.235 BEF", "$ 1,235 BEF"},
        {frmtCurrency, 2, Variant(1234), "$ 1.234 BEF", "$ 1,234 BEF"},
        {frmtCurrency, 2, Variant(1234.5), "$ 1.234,50 BEF", "$ 1,234.50 BEF"},
        {frmtCurrencyDec, 0, Variant(1234.5), "$ 1.235 BEF", "$ 1,235 BEF"},
        {frmtCurrencyDec, 2, Variant(1234), "$ 1.234,00 BEF", "$ 1,234.00 BEF"},
        {frmtCurrencyDec, 2, Variant(-5), "-$ 5,00 BEF", "-$ 5.00 BEF"},
        {frmtPercent, 0, Variant(12.5), "13 %", "13 %"},
        {frmtPercent, 2, Variant(12), "12 %", "12 %"},
        {frmtPercent, 2, Variant(12.5), "12,50 %", "12.50 %"},
        {frmtPercentDec, 0, Variant(12.25), "12,3 %", "12.3 %"},
        {frmtPercentDec, 2, Variant(12), "12,00 %", "12.00 %"},
        {frmtPercentDec, 2, Variant(1234.567), "1.234,57 %", "1,234.57 %"},
        {frmtEuroCode, 0, Variant(1234), "1.234 EUR", "1,234 EUR"},
        {frmtEuroCode, 2, Variant(1234.5), "1.234,50 EUR", "1,234.50 EUR"},
        {frmtEuroSign, 0, Variant(1234.5), "1.234,50 \xE2\x82\xAC", "1,234.50 \xE2\x82\xAC"},
        {frmtAmount, 2, Variant(1234), "1.234", "1,234"},
        {frmtEuroCode2, 0, Variant(1234), "1.234,00 EUR", "1,234.00 EUR"},
        {frmtEuroSign2, 2, Variant(0.5), "0,50 \xE2\x82\xAC", "0.50 \xE2\x82\xAC"},
        {frmtAmount2, 0, Variant(1234.567), "1.234,57", "1,234.57"},
        {frmtEuroCode4, 0, Variant(1.5), "1,5000 EUR", "1.5000 EUR"},
        {frmtEuroSign4, 2, Variant(1.5), "1,5000 \xE2\x82\xAC", "1.5000 \xE2\x82\xAC"},
        {frmtAmount4, 0, Variant(1234.5), "1.234,5000", "1,234.5000"},
        {15, 0, Variant(1234), "1.234", "1,234"},
        {41, 0, Variant(2), "2,0000 \xE2\x82\xAC", "2.0000 \xE2\x82\xAC"},
        {9, 2, Variant(1234.5), "1234,5", "1234.5"},
        {60, 2, Variant(1234.5), "1234,5", "1234.5"},
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

TEST(ItemFormats, TextItemsAreReadInTheLocale) {
    {
        ScopedThreadLocale scoped("nl_BE");
        EXPECT_EQ(Drawn({frmtNumberDec, 2, Variant("1.234,5 EUR"), "", ""}), "1.234,50");
    }
    ScopedThreadLocale scoped("en_US");
    EXPECT_EQ(Drawn({frmtNumberDec, 2, Variant("1,234.5"), "", ""}), "1,234.50");
    EXPECT_EQ(Drawn({frmtNumber, 0, Variant("none"), "", ""}), "0");
}

TEST(ItemFormats, PaperPatternKeepsLiteralsAndDropsCellPadding) {
    EXPECT_EQ(PaperPattern("_($* #,##0 \\B\\E\\F"), "$* #,##0 \\B\\E\\F");
    EXPECT_EQ(PaperPattern("#,##0 \\_x \"_a\""), "#,##0 \\_x \"_a\"");
    EXPECT_EQ(PaperPattern("#,##0\\ \\%"), "#,##0\\ \\%");
    EXPECT_EQ(PaperPattern("#,##0\\ \\%.00"), "#,##0.00\\ \\%");
    EXPECT_EQ(PaperPattern("#,##0.0\\ \\%.000"), "#,##0.000\\ \\%");
}

}  // namespace
}  // namespace qor::test
