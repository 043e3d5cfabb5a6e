// Number, section and named patterns of Format in Dutch, English and French locales.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

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

TEST(FormatNumber, FrmtPatternsGiveTheRuntimesResults) {
    ExpectTable({
        {1234.5, "#,##0.00", "1.234,50", "1,234.50"},
        {1234.0, "#,##0.00", "1.234,00", "1,234.00"},
        {1234.5, "#,##0", "1.235", "1,235"},
        {1234.0, "#,##0", "1.234", "1,234"},
        {0.0, "#,##0", "0", "0"},
        {999.5, "#,##0", "1.000", "1,000"},
        {1234567.891, "#,##0.00", "1.234.567,89", "1,234,567.89"},
        {1234.56789, "#,##0.0000", "1.234,5679", "1,234.5679"},
        {5, "#,##0\\ \\%", "5 %", "5 %"},
        {12.5, "#,##0.0\\ \\%", "12,5 %", "12.5 %"},
        {12, "#,##0.00 \\E\\U\\R", "12,00 EUR", "12.00 EUR"},
        {12.5, "#,##0.00 \\€", "12,50 €", "12.50 €"},
        {12, "#,##0 \\€", "12 €", "12 €"},
        {1234, "_($* #,##0", " $ 1.234", " $ 1,234"},
        {5, "_($* #,##0 \\B\\E\\F", " $ 5 BEF", " $ 5 BEF"},
        {1234.5, "_($* #,##0.00", " $ 1.234,50", " $ 1,234.50"},
        {"Tekst", "&", "Tekst", "Tekst"},
        {1234.5, "&", "1234,5", "1234.5"},
    });
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    ExpectTable({
        {2.5, "0", "3", "3"},
        {3.5, "0", "4", "4"},
        {-2.5, "0", "-3", "-3"},
        {0.125, "0.00", "0,13", "0.13"},
        // 1.005 and 2.675 are slightly below their decimal value in binary; Format rounds
        // the 15-digit decimal text, as the runtime does.
        {1.005, "0.00", "1,01", "1.01"},
        {2.675, "0.00", "2,68", "2.68"},
        {-1234.5, "#,##0", "-1.235", "-1,235"},
        {9.995, "0.00", "10,00", "10.00"},
        {0.0005, "0.000", "0,001", "0.001"},
    });
}

TEST(FormatNumber, NegativeValuesAndSections) {
    ExpectTable({
        // With one section the sign comes from the value before rounding: VB6 prints "-0"
        // for a negative value that rounds to zero (Format(-0.4, "#,##0") = "-0").
        {-0.4, "#,##0", "-0", "-0"},
        {-0.4, "0.0", "-0,4", "-0.4"},
        {-5, "$#,##0.00", "-$5,00", "-$5.00"},
        {-1234.5, "#,##0.00 \\€", "-1.234,50 €", "-1,234.50 €"},
        {5, "0;(0)", "5", "5"},
        {-5, "0;(0)", "(5)", "(5)"},
        {-0.4, "0;(0)", "(0)", "(0)"},
        {0, "0;(0);\\z\\e\\r\\o", "zero", "zero"},
        // the zero section is for zero itself, not for values that round to it
        {0.001, "0;(0);\\z\\e\\r\\o", "0", "0"},
        {-0.001, "0;(0);\\z\\e\\r\\o", "(0)", "(0)"},
        // empty sections take the positive section's format
        {0, "#,##0;-#,##0;", "0", "0"},
        {-5, "#,##0;;\\z", "-5", "-5"},
        {-5, "0;\"min \"0", "min 5", "min 5"},
        {Variant::Null(), "0;0;0;\\n\\u\\l", "nul", "nul"},
        {Variant::Null(), "#,##0", "", ""},
        {Variant(), "0.00", "0,00", "0.00"},
        {true, "0", "-1", "-1"},
        {false, "0;-0;\\n\\e\\e", "nee", "nee"},
    });
}

TEST(FormatNumber, PlaceholdersGroupingScalingAndLiterals) {
    ExpectTable({
        {0.5, "#.##", ",5", ".5"},
        {5, "#.##", "5,", "5."},
        {0, "#", "", ""},
        {0, "0.##", "0,", "0."},
        {5, "00000", "00005", "00005"},
        {123456, "000-000", "123-456", "123-456"},
        {12, "000-000", "000-012", "000-012"},
        {1234567, "##", "1234567", "1234567"},
        {1234567, "#,##0,", "1.235", "1,235"},
        {1234567, "0,,", "1", "1"},
        {1234567, "#,##0.0,,", "1,2", "1.2"},
        {1e20, "#,##0", "100.000.000.000.000.000.000", "100,000,000,000,000,000,000"},
        {0.256, "0%", "26%", "26%"},
        {0.256, "0.0%", "25,6%", "25.6%"},
        {5, "0\\%", "5%", "5%"},
        {5, "\"Total: \"0", "Total: 5", "Total: 5"},
        {5, "+0 (x)", "+5 (x)", "+5 (x)"},
        {"1234,5", "#,##0.00", "1.234,50", "12,345.00"},
        {"abc", "#,##0.00", "abc", "abc"},
        {"", "0", "", ""},
        {Variant::FromCurrency(1234.5678), "#,##0.00", "1.234,57", "1,234.57"},
        {static_cast<float>(1.0 / 3.0), "0.000000000", "0,333333300", "0.333333300"},
        {static_cast<int16_t>(-7), "000", "-007", "-007"},
    });
}

TEST(FormatNumber, ExponentForms) {
    ExpectTable({
        {1234.5, "0.00E+00", "1,23E+03", "1.23E+03"},
        {1234.5, "0.0e+0", "1,2e+3", "1.2e+3"},
        {0.00012, "0.0E-00", "1,2E-04", "1.2E-04"},
        {1234.5, "0.0E-00", "1,2E03", "1.2E03"},
        {99999, "0.0E+00", "1,0E+05", "1.0E+05"},
        {0, "0.00E+00", "0,00E+00", "0.00E+00"},
        {-1234.5, "0.00E+00", "-1,23E+03", "-1.23E+03"},
        {1234.5, "00.0E+0", "12,3E+2", "12.3E+2"},
    });
}

TEST(FormatNumber, NamedFormats) {
    ExpectTable({
        {1234.5, "General Number", "1234,5", "1234.5"},
        {1234.5, "general number", "1234,5", "1234.5"},
        {1234.5, "Fixed", "1234,50", "1234.50"},
        {1234.5, "Standard", "1.234,50", "1,234.50"},
        {0.256, "Percent", "25,60%", "25.60%"},
        {1234.5, "Scientific", "1,23E+03", "1.23E+03"},
        {1234.5, "Currency", "€ 1.234,50", "$1,234.50"},
        {-1234.5, "Currency", "€ -1.234,50", "($1,234.50)"},
        {0, "Yes/No", "No", "No"},
        {5, "Yes/No", "Yes", "Yes"},
        {-1, "YES/NO", "Yes", "Yes"},
        {true, "True/False", "True", "True"},
        {0, "On/Off", "Off", "Off"},
        {"abc", "Standard", "abc", "abc"},
    });
}

TEST(FormatNumber, FrenchBelgianGroupsWithAFullStop) {
    ScopedThreadLocale locale("fr_BE");
    EXPECT_EQ(Format(1234.5, "#,##0.00"), "1.234,50");
    EXPECT_EQ(Format(1234567, "#,##0"), "1.234.567");
    EXPECT_EQ(Format(12.5, "#,##0.00 \\€"), "12,50 €");
    EXPECT_EQ(Format(1234.5, "Currency"), "1.234,50 €");
}

TEST(FormatText, PlaceholdersFillFromTheRight) {
    EXPECT_EQ(Format("abc", "@@@@@"), "  abc");
    EXPECT_EQ(Format("abc", "!@@@@@"), "abc  ");
    EXPECT_EQ(Format("abc", "&&&&&"), "abc");
    EXPECT_EQ(Format("abcdef", "@@@"), "abcdef");
    EXPECT_EQ(Format("5551234567", "(@@@) @@@-@@@@"), "(555) 123-4567");
    EXPECT_EQ(Format("abc", ">"), "ABC");
    EXPECT_EQ(Format("ÉTÉ", "<@"), "été");
    EXPECT_EQ(Format("été", ">&"), "ÉTÉ");
}

}  // namespace
}  // namespace qor
