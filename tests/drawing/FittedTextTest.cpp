// PrLeft: fitting a text to a width by cutting it from the right.
#include <QString>

#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"

namespace qor::test {
namespace {

const std::string kLong = "Customer name that is far too long for its column";

using FittedTextTest = DrawingTest;

TEST_F(FittedTextTest, CutsToTheLongestPrefixThatFitsInTheGivenFont) {
    const auto mm = [&](const std::string& text) { return Mm(surface.TextWidth(text)); };
    std::string text = "Short";
    float width = 30;
    EXPECT_EQ(lib.PrLeft(text, width, 10, "Arial"), "Short");
    EXPECT_FLOAT_EQ(width, 30);
    EXPECT_DOUBLE_EQ(surface.Font().Size, 10);

    // With dots: the width left for the text shrinks by theirs, and the caller sees both.
    text = kLong;
    const std::string fitted = lib.PrLeft(text, width);
    EXPECT_EQ(fitted, text);
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
    EXPECT_NEAR(width, 30 - mm("..."), 1e-4);
    const std::string prefix = fitted.substr(0, fitted.size() - 3);
    EXPECT_EQ(kLong.substr(0, prefix.size()), prefix);
    EXPECT_LE(mm(prefix), width);
    EXPECT_GT(mm(kLong.substr(0, prefix.size() + 1)), width);

    // Without dots the width stays; the font asked for replaces the name and size only.
    surface.Font().Bold = true;
    std::string plain = kLong;
    float full = 30;
    const std::string cut = lib.PrLeft(plain, full, 14, "Times New Roman", true);
    EXPECT_FLOAT_EQ(full, 30);
    EXPECT_EQ(surface.Font().Name, "Times New Roman");
    EXPECT_TRUE(surface.Font().Bold);
    EXPECT_LE(mm(cut), 30);
    EXPECT_GT(mm(kLong.substr(0, cut.size() + 1)), 30);

    // UTF-8 is cut between characters, never inside one.
    const std::string accents = "\xC3\xA9t\xC3\xA9 \xC3\xA9l\xC3\xA9gant \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC";
    for (float w = 1; w < 25; w += 0.7f) {
        std::string copy = accents;
        const std::string part = lib.PrLeft(copy, w, 9, "Arial", true);
        EXPECT_EQ(QString::fromUtf8(part.c_str()).toStdString(), part) << w;
        EXPECT_EQ(accents.substr(0, part.size()), part);
    }
}

TEST_F(FittedTextTest, WidthBelowTheDotsShowsMessage1059AndExcelModeCutsNothing) {
    MessageLog log;
    std::string text = kLong;
    float width = 1;
    EXPECT_EQ(lib.PrLeft(text, width), "");
    EXPECT_EQ(text, kLong);
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].text, GetText(1059));
    EXPECT_EQ(log.seen[0].style, 0);

    modqorPrintLib().ExcelMode = true;
    width = 1;
    EXPECT_EQ(lib.PrLeft(text, width), kLong);
    EXPECT_FLOAT_EQ(width, 1);
    EXPECT_EQ(log.seen.size(), 1u);
}

}  // namespace
}  // namespace qor::test
