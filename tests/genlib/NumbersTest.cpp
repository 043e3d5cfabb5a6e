#include <gtest/gtest.h>

#include <string>

#include <qor/GenServices.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "support/Errors.h"

using qor::Variant;

TEST(ToNumber, ReadsTheNumberATextStartsWithInTheThreadLocale) {
    const struct { const char* locale; const char* text; double expected; } cases[] = {
        {"nl_BE", "12 pagina's", 12},
        {"nl_BE", "  -3,5", -3.5},
        {"nl_BE", "1.234,5 EUR", 1234.5},
        {"nl_BE", "1.5", 1},        // "." groups in nl_BE, and only before three digits
        {"nl_BE", ",5", 0.5},
        {"nl_BE", "1,5E3", 1500},
        {"nl_BE", "1e-999", 0},
        {"nl_BE", "abc", 0},
        {"en_US", "1,234.5 USD", 1234.5},
        {"en_US", "1,5", 1},
        {"fr_BE", "2,75", 2.75},
    };
    for (const auto& c : cases) {
        qor::ScopedThreadLocale locale(c.locale);
        const Variant n = qor::GenServices().ToNumber(Variant(c.text));
        EXPECT_EQ(n.Type(), Variant::VarType::Double) << c.text;
        EXPECT_DOUBLE_EQ(n.ToDouble(), c.expected) << c.locale << " \"" << c.text << "\"";
    }
}

TEST(ToNumber, KeepsNumbersMapsTheOtherTypesAndOverflowsBeyondDouble) {
    const auto& gs = qor::GenServices();
    EXPECT_EQ(gs.ToNumber(Variant(int32_t{7})).Type(), Variant::VarType::Long);
    EXPECT_EQ(gs.ToNumber(Variant(int32_t{7})).ToLong(), 7);
    EXPECT_EQ(gs.ToNumber(Variant(2.5f)).Type(), Variant::VarType::Single);
    EXPECT_EQ(gs.ToNumber(Variant::Null()).ToDouble(), 0);
    EXPECT_EQ(gs.ToNumber(Variant(true)).ToDouble(), -1);
    EXPECT_EQ(gs.ToNumber(Variant::FromDate(45000.5)).Type(), Variant::VarType::Double);
    EXPECT_EQ(gs.ToNumber(Variant::FromDate(45000.5)).ToDouble(), 45000.5);
    qor::test::ExpectRuntimeError(qor::kErrOverflow, [&] { gs.ToNumber(Variant("9e999")); });
}

TEST(FilterKey, KeepsCharactersOfTheClassesAndEditingKeys) {
    const auto& gs = qor::GenServices();
    const struct { int16_t ch; const char* classes; int16_t expected; } cases[] = {
        {'0', "C", '0'}, {'9', "C", '9'}, {'a', "C", 0}, {'-', "C", 0}, {'-', "C-,", '-'}, {',', "C-,", ','},
        {'.', "C-,", 0}, {'C', "C", 0}, {'x', "", 0}, {8, "C", 8}, {13, "C", 13}, {27, "C-,", 27},  // editing keys
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gs.FilterKey(c.ch, c.classes), c.expected) << c.ch << " in " << c.classes;
    }
}

TEST(SpinKey, StepsTheNumberWithinItsBounds) {
    const auto& gs = qor::GenServices();
    const struct { int32_t key; const char* text; std::optional<int32_t> min, max; const char* expected; } cases[] = {
        {38, "5", 1, 99, "6"}, {40, "5", 1, 99, "4"}, {40, "1", 1, 99, "1"}, {38, "150", 1, 99, "99"},
        {40, "0", std::nullopt, std::nullopt, "0"},  // no minimum: stops at 0
        {38, "1000", std::nullopt, std::nullopt, "1001"}, {38, "abc", std::nullopt, 99, "1"},
        {38, "2,5", std::nullopt, 99, "3"},  // 2,5 rounds half to even: 2
        {40, "3 copies", 1, 99, "2"}, {37, "abc", 1, 99, "abc"},  // other keys leave the text alone
    };
    qor::ScopedThreadLocale locale("nl_BE");
    for (const auto& c : cases) {
        std::string text = c.text;
        gs.SpinKey(c.key, text, c.min, c.max);
        EXPECT_EQ(text, c.expected) << c.key << " on \"" << c.text << "\"";
    }
}
