// Variant conversions (CStr, CDbl, CLng, Val), comparisons, rounding, run-time errors and
// the per-thread locale.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>
#include <qor/Variant.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/Errors.h"

namespace qor {
namespace {

using test::ExpectRuntimeError;

TEST(RuntimeError, CarriesTheRuntimesNumbersAndTexts) {
    EXPECT_EQ(ExpectRuntimeError(13, [] { throw RuntimeError(13); }), "Type mismatch");
    EXPECT_EQ(RuntimeErrorText(12345), "Application-defined or object-defined error");
}

TEST(CStr, SingleAndDoubleDigitsWithTheLocalesDecimalSeparator) {
    const float third = static_cast<float>(1.0 / 3.0);
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_EQ(CStr(third), "0,3333333");
        EXPECT_EQ(CStr(2.0 / 3.0), "0,666666666666667");
        EXPECT_EQ(CStr(16777216.0f), "1,677722E+07");
    }
    ScopedThreadLocale locale("en_US");
    EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(-0.0), "0");
    EXPECT_EQ(CStr(static_cast<int64_t>(5000000000)), "5000000000");
    ExpectRuntimeError(94, [] { (void)CStr(Variant::Null()); });
}

TEST(CDbl, ReadsTextsWithTheLocalesSeparators) {
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
        EXPECT_DOUBLE_EQ(CDbl("1.5"), 15);  // "." groups in Dutch
        EXPECT_DOUBLE_EQ(CDbl("(12)"), -12);
        EXPECT_DOUBLE_EQ(CDbl("€ 12,50"), 12.5);
        EXPECT_DOUBLE_EQ(CDbl("- € 12,50"), -12.5);
        EXPECT_DOUBLE_EQ(CDbl("2,5d-1"), 0.25);
        EXPECT_DOUBLE_EQ(CDbl("-&HFF"), -255);
        EXPECT_DOUBLE_EQ(CDbl("1e-400"), 0);  // underflow reads as 0
    }
    ScopedThreadLocale locale("en_US");
    EXPECT_DOUBLE_EQ(CDbl("1,234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(CDbl(".5"), 0.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant::FromDate(45356.5)), 45356.5);
    for (const char* text : {"abc", "", "12abc", ",5,", "(-12)", "1e", "&HFFx", "1 2"})
        ExpectRuntimeError(13, [&] { (void)CDbl(text); });
    ExpectRuntimeError(6, [] { (void)CDbl("1e400"); });
    ExpectRuntimeError(94, [] { (void)CDbl(Variant::Null()); });
    EXPECT_FALSE(IsNumeric("12abc"));
    EXPECT_FALSE(IsNumeric(Variant::FromDate(1)));
    EXPECT_TRUE(IsNumeric(Variant()));
}

TEST(CLng, RoundsHalfToEvenAndRaisesOverflow) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(std::vector<double>({RoundHalfEven(2.5), RoundHalfEven(-3.5)}), std::vector<double>({2, -4}));
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.675, 2), 2.68);  // on the decimal value, not the binary one
    EXPECT_EQ(CLng(2.5000001), 3);
    EXPECT_EQ(CLng(-2147483648.5), -2147483648);  // rounds to the even -2147483648
    ExpectRuntimeError(6, [] { (void)CLng(2147483647.5); });
    ExpectRuntimeError(13, [] { (void)CLng("abc"); });
    EXPECT_EQ(CInt(32766.5), 32766);
    ExpectRuntimeError(6, [] { (void)CInt(32767.5); });
    EXPECT_TRUE(CBool("true"));
    ExpectRuntimeError(13, [] { (void)CBool("misschien"); });
    ScopedThreadLocale locale("nl_BE");
    EXPECT_EQ(CLng("2,5"), 2);
}

TEST(Val, ReadsTheLeadingNumberWithAFullStopAsDecimalPoint) {
    ScopedThreadLocale locale("nl_BE");  // Val ignores the locale
    EXPECT_DOUBLE_EQ(Val("  1 2 3"), 123);
    EXPECT_DOUBLE_EQ(Val("1d2"), 100);
    EXPECT_DOUBLE_EQ(Val("1,5"), 1);
    EXPECT_DOUBLE_EQ(Val("- 5"), -5);
    EXPECT_DOUBLE_EQ(Val("&HFFFF"), -1);  // four hex digits are an Integer
    EXPECT_DOUBLE_EQ(Val("&H10000"), 65536);
    ExpectRuntimeError(6, [] { (void)Val("1e400"); });
}

TEST(VariantCompare, ComparesAsTheRuntime) {
    EXPECT_TRUE(Variant(2) < Variant(10));
    EXPECT_TRUE(Variant("10") < Variant("2"));  // texts compare by their bytes
    EXPECT_TRUE(Variant(2) == Variant("2"));    // a number against a numeric text
    EXPECT_TRUE(Variant(5) < Variant("abc"));   // a number is less than other text
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_FALSE(Variant::Null() == Variant::Null());
    ExpectRuntimeError(94, [] { (void)(Variant::Null() < Variant(1)); });
}

TEST(Locale, NamesAndSeparators) {
    for (const char* bad : {"xx_YY", "nl_QQ"}) ExpectRuntimeError(5, [&] { SetThreadLocale(bad); });
    ScopedThreadLocale locale("C");
    {
        ScopedThreadLocale inner("nl-BE.UTF-8");
        EXPECT_EQ(ThreadLocale().name, "nl_BE");
    }
    EXPECT_EQ(ThreadLocale().name, "en_US");
}

TEST(Locale, ANewThreadStartsWithTheSystemLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    auto localeOfNewThread = [](const char* lcAll) {
        ::setenv("LC_ALL", lcAll, 1);
        std::string name;
        std::thread([&] { name = ThreadLocale().name; }).join();
        return name;
    };
    EXPECT_EQ(localeOfNewThread("fr_BE.UTF-8"), "fr_BE");
    EXPECT_EQ(localeOfNewThread("nl"), "nl_NL");
    if (saved) ::setenv("LC_ALL", previous.c_str(), 1);
    else ::unsetenv("LC_ALL");
}

TEST(Locale, EachThreadFormatsWithItsOwnLocale) {
    std::atomic<int> mismatches{0};
    auto worker = [&](const char* name, const char* number, const char* month) {
        SetThreadLocale(name);
        for (int i = 0; i < 2000; ++i) {
            if (Format(1234.5, "#,##0.00") != number) ++mismatches;
            if (Format(Variant::FromDate(MakeDate(2024, 3, 5)), "mmmm") != month) ++mismatches;
        }
    };
    std::thread dutch(worker, "nl_BE", "1.234,50", "maart");
    std::thread english(worker, "en_US", "1,234.50", "March");
    dutch.join();
    english.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace qor
