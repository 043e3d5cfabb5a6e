// Number, section, named and text patterns of Format in Dutch, English and French locales, and
// digit patterns over thousands of generated values (fixed seed; generated patterns are left
// to the fuzz target, fuzz_format.cpp).

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace qor {
namespace {

struct Case {
    Variant value;
    const char* pattern;
    const char* nl;  // nl_BE
    const char* en;  // en_US
};

void ExpectTable(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        {
            ScopedThreadLocale locale("nl_BE");
            EXPECT_EQ(Format(c.value, c.pattern), c.nl) << "nl_BE, pattern " << c.pattern;
        }
        {
            ScopedThreadLocale locale("en_US");
            EXPECT_EQ(Format(c.value, c.pattern), c.en) << "en_US, pattern " << c.pattern;
        }
    }
}

TEST(FormatNumber, NumberAndTextPatternsInDutchAndEnglish) {
    ExpectTable({
        // the patterns of the Frmt values
        {1234.5, "#,##0.00", "1.234,50", "1,234.50"},
        {1234.5, "#,##0", "1.235", "1,235"},
        {999.5, "#,##0", "1.000", "1,000"},
        {12.5, "#,##0.0\\ \\%", "12,5 %", "12.5 %"},
        {12.5, "#,##0.00 \\€", "12,50 €", "12.50 €"},
        {1234, "_($* #,##0", " $ 1.234", " $ 1,234"},
        {1234.5, "&", "1234,5", "1234.5"},
        // rounding: half away from zero, on the decimal value
        {-2.5, "0", "-3", "-3"},
        // 1.005 and 2.675 are slightly below their decimal value in binary; Format rounds
        // the 15-digit decimal text, as the runtime does.
        {1.005, "0.00", "1,01", "1.01"},
        {9.995, "0.00", "10,00", "10.00"},
        // negative values and sections
        // With one section the sign comes from the value before rounding.
        {-0.4, "#,##0", "-0", "-0"},
        {-5, "$#,##0.00", "-$5,00", "-$5.00"},
        {-5, "0;(0)", "(5)", "(5)"},
        {-0.4, "0;(0)", "(0)", "(0)"},
        {0, "0;(0);\\z\\e\\r\\o", "zero", "zero"},
        // the zero section is for zero itself, not for values that round to it
        {-0.001, "0;(0);\\z\\e\\r\\o", "(0)", "(0)"},
        // empty sections take the positive section's format
        {-5, "0;\"min \"0", "min 5", "min 5"},
        {Variant::Null(), "0;0;0;\\n\\u\\l", "nul", "nul"},
        {Variant::Null(), "#,##0", "", ""},
        {true, "0", "-1", "-1"},
        // placeholders, grouping, scaling and literals
        {0.5, "#.##", ",5", ".5"},
        {5, "#.##", "5,", "5."},
        {0, "#", "", ""},
        {0, "0.##", "0,", "0."},
        {123456, "000-000", "123-456", "123-456"},
        {1234567, "#,##0.0,,", "1,2", "1.2"},
        {1e20, "#,##0", "100.000.000.000.000.000.000", "100,000,000,000,000,000,000"},
        {0.256, "0.0%", "25,6%", "25.6%"},
        {5, "+0 (x)", "+5 (x)", "+5 (x)"},
        {"1234,5", "#,##0.00", "1.234,50", "12,345.00"},
        {"abc", "#,##0.00", "abc", "abc"},
        {Variant::FromCurrency(1234.5678), "#,##0.00", "1.234,57", "1,234.57"},
        {static_cast<float>(1.0 / 3.0), "0.000000000", "0,333333300", "0.333333300"},
        {static_cast<int16_t>(-7), "000", "-007", "-007"},
        // exponents
        {1234.5, "0.00E+00", "1,23E+03", "1.23E+03"},
        {0.00012, "0.0E-00", "1,2E-04", "1.2E-04"},
        {99999, "0.0E+00", "1,0E+05", "1.0E+05"},
        {1234.5, "00.0E+0", "12,3E+2", "12.3E+2"},
        // named formats
        {1234.5, "General Number", "1234,5", "1234.5"},
        {1234.5, "Standard", "1.234,50", "1,234.50"},
        {1234.5, "Currency", "€ 1.234,50", "$1,234.50"},
        {-1234.5, "Currency", "€ -1.234,50", "($1,234.50)"},
        {5, "Yes/No", "Yes", "Yes"},
        // text placeholders fill from the right unless "!"; case conversion
        {"abc", "@@@@@", "  abc", "  abc"},
        {"abc", "!@@@@@", "abc  ", "abc  "},
        {"abcdef", "@@@", "abcdef", "abcdef"},
        {"5551234567", "(@@@) @@@-@@@@", "(555) 123-4567", "(555) 123-4567"},
        {"ÉTÉ", "<@", "été", "été"},
        {"été", ">&", "ÉTÉ", "ÉTÉ"},
    });
}

TEST(FormatNumber, FrenchBelgianGroupsWithAFullStop) {
    ScopedThreadLocale locale("fr_BE");
    EXPECT_EQ(Format(1234.5, "Currency"), "1.234,50 €");
}

TEST(FormatNumber, FixedDecimalsReadBackAsTheRoundedValue) {
    std::mt19937 rng(77);
    for (int i = 0; i < 3000; ++i) {
        ScopedThreadLocale locale(i % 2 ? "nl_BE" : "en_US");
        const double magnitude = std::pow(10.0, std::uniform_int_distribution<int>(-6, 12)(rng));
        const double value = std::uniform_real_distribution<double>(-1.0, 1.0)(rng) * magnitude;
        const int decimals = std::uniform_int_distribution<int>(0, 6)(rng);
        const std::string pattern = "#,##0" + (decimals ? "." + std::string(static_cast<size_t>(decimals), '0') : "");
        const std::string text = Format(value, pattern);
        const double expected = RoundHalfAway(value, decimals);
        EXPECT_NEAR(CDbl(text), expected, std::fabs(expected) * 1e-14 + 1e-12) << value << ' ' << pattern << ' ' << text;
    }
}

}  // namespace
}  // namespace qor
