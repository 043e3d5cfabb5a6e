// Variant conversions (CStr, CDbl, CLng, Val), comparisons, rounding, run-time errors and
// the per-thread locale.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>
#include <qor/Variant.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qor {
namespace {

// The error number `f` throws, or 0 when it throws nothing.
int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(RuntimeError, CarriesTheRuntimesNumbersAndTexts) {
    const RuntimeError e(13);
    EXPECT_EQ(e.Number(), 13);
    EXPECT_EQ(e.Description(), "Type mismatch");
    EXPECT_STREQ(e.what(), "Type mismatch");
    EXPECT_EQ(RuntimeErrorText(5), "Invalid procedure call or argument");
    EXPECT_EQ(RuntimeErrorText(6), "Overflow");
    EXPECT_EQ(RuntimeErrorText(9), "Subscript out of range");
    EXPECT_EQ(RuntimeErrorText(94), "Invalid use of Null");
    EXPECT_EQ(RuntimeErrorText(3265), "Item not found in this collection.");
    EXPECT_EQ(RuntimeErrorText(12345), "Application-defined or object-defined error");
    const RuntimeError own(9, "Kolom 16 bestaat niet");
    EXPECT_EQ(own.Number(), 9);
    EXPECT_STREQ(own.what(), "Kolom 16 bestaat niet");
}

TEST(CStr, SingleAndDoubleDigitsWithTheLocalesDecimalSeparator) {
    const float third = static_cast<float>(1.0 / 3.0);
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_EQ(CStr(third), "0,3333333");
        EXPECT_EQ(CStr(1.0 / 3.0), "0,333333333333333");
        EXPECT_EQ(CStr(2.0 / 3.0), "0,666666666666667");
        EXPECT_EQ(CStr(1234.5), "1234,5");
        EXPECT_EQ(CStr(1234.567f), "1234,567");
        EXPECT_EQ(CStr(16777216.0f), "1,677722E+07");
        EXPECT_EQ(CStr(1.5e-5), "1,5E-05");
        EXPECT_EQ(CStr(0.0001), "0,0001");
        EXPECT_EQ(CStr(-0.1), "-0,1");
        EXPECT_EQ(CStr(Variant::FromCurrency(1234.5)), "1234,5");
    }
    {
        ScopedThreadLocale locale("en_US");
        EXPECT_EQ(CStr(third), "0.3333333");
        EXPECT_EQ(CStr(1.0 / 3.0), "0.333333333333333");
        EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
        EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
        EXPECT_EQ(CStr(1e15), "1E+15");
        EXPECT_EQ(CStr(-1.5e300), "-1.5E+300");
        EXPECT_EQ(CStr(-0.0), "0");
        EXPECT_EQ(CStr(static_cast<int64_t>(5000000000)), "5000000000");
    }
    EXPECT_EQ(CStr(true), "True");
    EXPECT_EQ(CStr(false), "False");
    EXPECT_EQ(CStr(Variant()), "");
    EXPECT_EQ(CStr(static_cast<int16_t>(-12)), "-12");
    EXPECT_EQ(ErrorOf([] { (void)CStr(Variant::Null()); }), 94);
}

TEST(CDbl, ReadsTextsWithTheLocalesSeparators) {
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_DOUBLE_EQ(CDbl("1.234,5"), 1234.5);
        EXPECT_DOUBLE_EQ(CDbl("1.5"), 15);  // "." groups in Dutch
        EXPECT_DOUBLE_EQ(CDbl(" -12,5 "), -12.5);
        EXPECT_DOUBLE_EQ(CDbl("12-"), -12);
        EXPECT_DOUBLE_EQ(CDbl("(12)"), -12);
        EXPECT_DOUBLE_EQ(CDbl("€ 12,50"), 12.5);
        EXPECT_DOUBLE_EQ(CDbl("1E3"), 1000);
        EXPECT_DOUBLE_EQ(CDbl("&HFF"), 255);
        EXPECT_TRUE(IsNumeric("1.234,5"));
    }
    {
        ScopedThreadLocale locale("en_US");
        EXPECT_DOUBLE_EQ(CDbl("1,234.5"), 1234.5);
        EXPECT_DOUBLE_EQ(CDbl("1,5"), 15);
        EXPECT_DOUBLE_EQ(CDbl("$12.50"), 12.5);
        EXPECT_DOUBLE_EQ(CDbl(".5"), 0.5);
    }
    EXPECT_DOUBLE_EQ(CDbl(Variant()), 0);
    EXPECT_DOUBLE_EQ(CDbl(true), -1);
    EXPECT_DOUBLE_EQ(CDbl(Variant::FromDate(45356.5)), 45356.5);
    EXPECT_EQ(ErrorOf([] { (void)CDbl("abc"); }), 13);
    EXPECT_EQ(ErrorOf([] { (void)CDbl(""); }), 13);
    EXPECT_EQ(ErrorOf([] { (void)CDbl("12abc"); }), 13);
    EXPECT_EQ(ErrorOf([] { (void)CDbl("1e400"); }), 6);
    EXPECT_EQ(ErrorOf([] { (void)CDbl(Variant::Null()); }), 94);
    EXPECT_FALSE(IsNumeric("12abc"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Variant::FromDate(1)));
    EXPECT_TRUE(IsNumeric(Variant()));
}

TEST(CLng, RoundsHalfToEvenAndRaisesOverflow) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(2.5000001), 3);
    EXPECT_EQ(CLng(true), -1);
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), -2147483648);  // rounds to the even -2147483648
    EXPECT_EQ(ErrorOf([] { (void)CLng(2147483647.5); }), 6);
    EXPECT_EQ(ErrorOf([] { (void)CLng(1e10); }), 6);
    EXPECT_EQ(ErrorOf([] { (void)CLng("abc"); }), 13);
    EXPECT_EQ(ErrorOf([] { (void)CLng(Variant::Null()); }), 94);
    EXPECT_EQ(CInt(32766.5), 32766);
    EXPECT_EQ(ErrorOf([] { (void)CInt(32767.5); }), 6);
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_EQ(CLng("2,5"), 2);
        EXPECT_EQ(CLng("1.234"), 1234);
    }
    EXPECT_TRUE(CBool("true"));
    EXPECT_FALSE(CBool(0));
    EXPECT_TRUE(CBool(0.1));
    EXPECT_EQ(ErrorOf([] { (void)CBool("misschien"); }), 13);
}

TEST(Val, ReadsTheLeadingNumberWithAFullStopAsDecimalPoint) {
    ScopedThreadLocale locale("nl_BE");  // Val ignores the locale
    EXPECT_DOUBLE_EQ(Val("  1 2 3"), 123);
    EXPECT_DOUBLE_EQ(Val("1.5e3"), 1500);
    EXPECT_DOUBLE_EQ(Val("1d2"), 100);
    EXPECT_DOUBLE_EQ(Val("12abc"), 12);
    EXPECT_DOUBLE_EQ(Val("1,5"), 1);
    EXPECT_DOUBLE_EQ(Val("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(Val("- 5"), -5);
    EXPECT_DOUBLE_EQ(Val("abc"), 0);
    EXPECT_DOUBLE_EQ(Val(""), 0);
    EXPECT_DOUBLE_EQ(Val("1e"), 1);
    EXPECT_DOUBLE_EQ(Val("&HFF"), 255);
    EXPECT_DOUBLE_EQ(Val("&HFFFF"), -1);  // four hex digits are an Integer
    EXPECT_DOUBLE_EQ(Val("&H10000"), 65536);
    EXPECT_DOUBLE_EQ(Val("&O17"), 15);
    EXPECT_DOUBLE_EQ(Val("&Hxyz"), 0);
    EXPECT_DOUBLE_EQ(Val("1e-400"), 0);
    EXPECT_EQ(ErrorOf([] { (void)Val("1e400"); }), 6);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.5), 2);
    EXPECT_DOUBLE_EQ(RoundHalfEven(3.5), 4);
    EXPECT_DOUBLE_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_DOUBLE_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.135, 2), 0.14);
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(RoundHalfEven(1234.5678, 2), 1234.57);
    EXPECT_DOUBLE_EQ(RoundHalfAway(2.5), 3);
    EXPECT_DOUBLE_EQ(RoundHalfAway(-0.125, 2), -0.13);
}

TEST(VariantCompare, ComparesAsTheRuntime) {
    EXPECT_TRUE(Variant(2) < Variant(10));
    EXPECT_TRUE(Variant("10") < Variant("2"));  // texts compare by their bytes
    EXPECT_TRUE(Variant("B") < Variant("a"));
    EXPECT_TRUE(Variant(2) == Variant("2"));   // a number against a numeric text
    EXPECT_TRUE(Variant(2.5) < Variant("10"));
    EXPECT_TRUE(Variant(5) < Variant("abc"));  // a number is less than other text
    EXPECT_TRUE(Variant() == Variant(0));
    EXPECT_TRUE(Variant() == Variant(""));
    EXPECT_TRUE(Variant(true) == Variant(-1));
    EXPECT_TRUE(Variant(1.5f) == Variant(1.5));
    EXPECT_FALSE(Variant::Null() == Variant::Null());
    EXPECT_FALSE(Variant::Null() == Variant(0));
    EXPECT_EQ(ErrorOf([] { (void)(Variant::Null() < Variant(1)); }), 94);
    EXPECT_TRUE(Variant::FromDate(45000) < Variant::FromDate(45001));
}

TEST(VariantType, ConstructorsPickTheRuntimesTypes) {
    using T = Variant::VarType;
    EXPECT_EQ(Variant().Type(), T::Empty);
    EXPECT_EQ(Variant::Null().Type(), T::Null);
    EXPECT_EQ(Variant(true).Type(), T::Boolean);
    EXPECT_EQ(Variant(static_cast<int16_t>(1)).Type(), T::Integer);
    EXPECT_EQ(Variant(1).Type(), T::Long);
    EXPECT_EQ(Variant(static_cast<int64_t>(1) << 40).Type(), T::Double);
    EXPECT_EQ(Variant(1.0f).Type(), T::Single);
    EXPECT_EQ(Variant(1.0).Type(), T::Double);
    EXPECT_EQ(Variant("x").Type(), T::String);
    EXPECT_EQ(Variant::FromDate(1).Type(), T::Date);
    EXPECT_EQ(Variant::FromCurrency(1).Type(), T::Currency);
    EXPECT_LE(sizeof(Variant), 48u);
}

TEST(Locale, NamesAndSeparators) {
    EXPECT_EQ(ErrorOf([] { SetThreadLocale("xx_YY"); }), 5);
    EXPECT_EQ(ErrorOf([] { SetThreadLocale("nl_QQ"); }), 5);
    {
        ScopedThreadLocale locale("nl-BE.UTF-8");
        EXPECT_EQ(ThreadLocale().name, "nl_BE");
        EXPECT_EQ(ThreadLocale().decimal, ",");
        EXPECT_EQ(ThreadLocale().grouping, ".");
        EXPECT_EQ(ThreadLocale().monthNames[0], "januari");
        EXPECT_EQ(ThreadLocale().dayNames[0], "zondag");
    }
    {
        ScopedThreadLocale locale("fr_BE");
        EXPECT_EQ(ThreadLocale().grouping, ".");
        EXPECT_EQ(ThreadLocale().decimal, ",");
    }
    {
        ScopedThreadLocale locale("C");
        EXPECT_EQ(ThreadLocale().name, "en_US");
        EXPECT_EQ(ThreadLocale().grouping, ",");
        {
            ScopedThreadLocale inner("nl_BE");
            EXPECT_EQ(ThreadLocale().name, "nl_BE");
        }
        EXPECT_EQ(ThreadLocale().name, "en_US");
    }
}

TEST(Locale, ANewThreadStartsWithTheSystemLocale) {
    struct SavedEnv {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<SavedEnv> saved;
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(var);
        saved.push_back({var, v ? v : "", v != nullptr});
    }
    auto localeOfNewThread = [] {
        std::string name;
        std::thread([&] { name = ThreadLocale().name; }).join();
        return name;
    };
    ::unsetenv("LC_ALL");
    ::setenv("LC_NUMERIC", "fr_BE.UTF-8", 1);
    ::setenv("LANG", "en_GB.UTF-8", 1);
    EXPECT_EQ(localeOfNewThread(), "fr_BE");
    ::setenv("LC_ALL", "nl_BE.UTF-8", 1);
    EXPECT_EQ(localeOfNewThread(), "nl_BE");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(localeOfNewThread(), "en_US");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_NUMERIC");
    ::setenv("LANG", "nl", 1);
    EXPECT_EQ(localeOfNewThread(), "nl_NL");
    for (const SavedEnv& e : saved) {
        if (e.set) ::setenv(e.name, e.value.c_str(), 1);
        else ::unsetenv(e.name);
    }
}

TEST(Locale, EachThreadFormatsWithItsOwnLocale) {
    std::atomic<int> mismatches{0};
    auto worker = [&](const char* name, const char* expectedNumber, const char* expectedText) {
        SetThreadLocale(name);
        for (int i = 0; i < 2000; ++i) {
            if (Format(1234.5, "#,##0.00") != expectedNumber) ++mismatches;
            if (CStr(0.5) != expectedText) ++mismatches;
            if (Format(Variant::FromDate(MakeDate(2024, 3, 5)), "mmmm") !=
                (std::string(name) == "nl_BE" ? "maart" : "March"))
                ++mismatches;
        }
    };
    std::thread dutch(worker, "nl_BE", "1.234,50", "0,5");
    std::thread english(worker, "en_US", "1,234.50", "0.5");
    dutch.join();
    english.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace qor
