// Format over thousands of generated patterns and values (fixed seed): nothing but
// RuntimeError may escape, the output is valid UTF-8, and digit patterns give back the value.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace qor {
namespace {

bool ValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

Variant RandomValue(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double magnitude = std::pow(10.0, std::uniform_int_distribution<int>(-12, 20)(rng));
    const double number = unit(rng) * magnitude;
    switch (rng() % 8) {
    case 0: return number;
    case 1: return static_cast<float>(number);
    case 2: return static_cast<int32_t>(rng());
    case 3: return Variant::FromDate(unit(rng) * 100000.0);
    case 4: return CStr(number);
    case 5: return Variant::Null();
    case 6: return Variant();
    default: return "tekst é";
    }
}

std::string RandomPattern(std::mt19937& rng) {
    static const char* const kPieces[] = {
        "0", "#", ",", ".", "%", "\\", "\\%", "E+", "e-", "E", ";", "\"", "\"lit\"", "_(", "* ",
        "$", "(", ")", " ", "-", "+", "€", "@", "&", "!", "<", ">", "d", "dd", "ddd", "dddd",
        "ddddd", "dddddd", "m", "mm", "mmm", "mmmm", "y", "yy", "yyyy", "h", "hh", "n", "nn",
        "s", "ss", "AM/PM", "a/p", "AMPM", "w", "ww", "q", "c", "ttttt", "/", ":", "x", "é"};
    constexpr size_t kCount = sizeof kPieces / sizeof kPieces[0];
    std::string pattern;
    const int length = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < length; ++i) pattern += kPieces[rng() % kCount];
    return pattern;
}

TEST(FormatRobustness, GeneratedPatternsOnlyRaiseRuntimeErrors) {
    std::mt19937 rng(20240305);
    int formatted = 0;
    for (int i = 0; i < 4000; ++i) {
        SetThreadLocale(i % 2 ? "nl_BE" : "en_US");
        const Variant value = RandomValue(rng);
        const std::string pattern = RandomPattern(rng);
        try {
            const std::string out = Format(value, pattern);
            EXPECT_TRUE(ValidUtf8(out)) << "pattern [" << pattern << "]";
            ++formatted;
        } catch (const RuntimeError& e) {
            // a date out of the runtime's range or an overflow
            EXPECT_TRUE(e.Number() == 5 || e.Number() == 6 || e.Number() == 13)
                << e.Number() << " for pattern [" << pattern << "]";
        }
    }
    EXPECT_GT(formatted, 3000);
}

TEST(FormatRobustness, FixedDecimalsReadBackAsTheRoundedValue) {
    std::mt19937 rng(77);
    for (int i = 0; i < 3000; ++i) {
        const bool dutch = i % 2 == 0;
        ScopedThreadLocale locale(dutch ? "nl_BE" : "en_US");
        const double magnitude = std::pow(10.0, std::uniform_int_distribution<int>(-6, 12)(rng));
        const double value = std::uniform_real_distribution<double>(-1.0, 1.0)(rng) * magnitude;
        const int decimals = std::uniform_int_distribution<int>(0, 6)(rng);
        const std::string pattern =
            std::string("#,##0") + (decimals ? "." + std::string(static_cast<size_t>(decimals), '0') : "");
        const std::string text = Format(value, pattern);
        const double back = CDbl(text);
        const double expected = RoundHalfAway(value, decimals);
        EXPECT_NEAR(back, expected, std::fabs(expected) * 1e-14 + 1e-12)
            << value << " with " << pattern << " gave " << text;
        // grouping characters sit every three digits of the integer part
        const std::string group = dutch ? "." : ",";
        const std::string point = dutch ? "," : ".";
        const size_t end = decimals ? text.find(point) : text.size();
        size_t run = 0;
        for (size_t k = end; k-- > 0;) {
            if (text.compare(k, 1, group) == 0) {
                EXPECT_EQ(run, 3u) << text;
                run = 0;
            } else if (text[k] != '-') {
                ++run;
            }
        }
    }
}

}  // namespace
}  // namespace qor
