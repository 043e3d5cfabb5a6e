// PrLeft: fitting a text to a width by cutting it from the right.
#include <QString>

#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"

namespace qor::test {
namespace {

class FittedTextTest : public DrawingTest {
protected:
    float WidthMm(const std::string& text) {
        return GenServices().TwipsToMm(static_cast<float>(surface.TextWidth(text)));
    }
};

const std::string kLong = "Customer name that is far too long for its column";

TEST_F(FittedTextTest, TextThatFitsComesBackUnchanged) {
    std::string text = "Short";
    float width = 30;
    EXPECT_EQ(lib.PrLeft(text, width, 10, "Arial"), "Short");
    EXPECT_EQ(text, "Short");
    EXPECT_FLOAT_EQ(width, 30);
    EXPECT_EQ(surface.Font().Name, "Arial");
    EXPECT_DOUBLE_EQ(surface.Font().Size, 10);

    std::string empty;
    float none = 0;
    EXPECT_EQ(lib.PrLeft(empty, none), "");
}

TEST_F(FittedTextTest, CutsToTheLongestPrefixAndAddsDots) {
    std::string text = kLong;
    float width = 30;
    const std::string fitted = lib.PrLeft(text, width);
    EXPECT_EQ(fitted, text);
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_NEAR(width, 30 - WidthMm("..."), 1e-4);
    const std::string prefix = fitted.substr(0, fitted.size() - 3);
    EXPECT_EQ(kLong.substr(0, prefix.size()), prefix);
    EXPECT_LE(WidthMm(prefix), width);
    EXPECT_GT(WidthMm(kLong.substr(0, prefix.size() + 1)), width);
}

TEST_F(FittedTextTest, NoDotsKeepsTheWidthAndAddsNothing) {
    std::string text = kLong;
    float width = 30;
    const std::string fitted = lib.PrLeft(text, width, 9, "Arial", true);
    EXPECT_FLOAT_EQ(width, 30);
    EXPECT_EQ(kLong.substr(0, fitted.size()), fitted);
    EXPECT_LE(WidthMm(fitted), 30);
    EXPECT_GT(WidthMm(kLong.substr(0, fitted.size() + 1)), 30);
}

TEST_F(FittedTextTest, CutsWholeCharacters) {
    std::string text = "\xC3\xA9t\xC3\xA9 \xC3\xA9l\xC3\xA9gant \xC3\xA0 l'\xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
    for (float width = 1; width < 30; width += 0.7f) {
        std::string copy = text;
        float w = width;
        const std::string fitted = lib.PrLeft(copy, w, 9, "Arial", true);
        EXPECT_EQ(QString::fromUtf8(fitted.c_str()).toStdString(), fitted) << width;
        EXPECT_EQ(text.substr(0, fitted.size()), fitted);
    }
}

TEST_F(FittedTextTest, WidthBelowTheDotsShowsMessage1059) {
    std::vector<Message> seen;
    ScopedMessageObserver watch([&](const Message& m) {
        seen.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    });
    std::string text = kLong;
    float width = 1;
    EXPECT_EQ(lib.PrLeft(text, width), "");
    EXPECT_EQ(text, kLong);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, GetText(1059));
    EXPECT_EQ(seen[0].style, 0);
    EXPECT_EQ(seen[0].title, "");
}

TEST_F(FittedTextTest, MeasuresInTheGivenFontAndKeepsTheStyleFlags) {
    surface.Font().Bold = true;
    std::string text = "WWWWWWWWWWWWWWWWWWWW";
    float width = 20;
    const std::string big = lib.PrLeft(text, width, 14, "Times New Roman", true);
    EXPECT_EQ(surface.Font().Name, "Times New Roman");
    EXPECT_DOUBLE_EQ(surface.Font().Size, 14);
    EXPECT_TRUE(surface.Font().Bold);
    std::string again = "WWWWWWWWWWWWWWWWWWWW";
    width = 20;
    const std::string small = lib.PrLeft(again, width, 7, "Times New Roman", true);
    EXPECT_LT(big.size(), small.size());
}

TEST_F(FittedTextTest, ExcelModeReturnsTheTextUnchanged) {
    modqorPrintLib().ExcelMode = true;
    std::string text = kLong;
    float width = 1;
    EXPECT_EQ(lib.PrLeft(text, width), kLong);
    EXPECT_FLOAT_EQ(width, 1);
}

}  // namespace
}  // namespace qor::test
