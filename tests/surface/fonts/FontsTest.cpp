#include <gtest/gtest.h>

#include "qor/RuntimeError.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/Fonts.h"

namespace qor {
namespace {

using surface::FontRegistry;

TEST(Fonts, FamiliesResolveToMetricCompatibleFiles) {
    struct Case {
        const char* request;
        bool bold, italic;
        const char* family;
        bool wantBold, wantItalic;
    } cases[] = {
        {"Arial", false, false, "Liberation Sans", false, false},
        {"Arial", true, false, "Liberation Sans", true, false},
        {"Arial", false, true, "Liberation Sans", false, true},
        {"Arial", true, true, "Liberation Sans", true, true},
        {"Times New Roman", false, false, "Liberation Serif", false, false},
        {"Courier New", false, false, "Liberation Mono", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        const auto& face = FontRegistry::Instance().Face(
            FontRegistry::Instance().Resolve(c.request, c.bold, c.italic));
        EXPECT_EQ(face.Family(), c.family);
        EXPECT_EQ(face.IsBold(), c.wantBold);
        EXPECT_EQ(face.IsItalic(), c.wantItalic);
    }
    EXPECT_TRUE(FontRegistry::Instance().Face(FontRegistry::Instance().Resolve("Courier New", false, false))
                    .IsFixedPitch());
}

TEST(Fonts, WidthsAndHeightsMatchTheWindowsMeasurement) {
    VSPrinter p;
    p.Font().Name = "Arial";
    p.Font().Size = 9;
    EXPECT_NEAR(p.TextWidth("Hello World"), 930.23, 0.1);   // no kerning
    EXPECT_NEAR(p.TextHeight("Hello World"), 201.09, 0.05);
    EXPECT_NEAR(p.TextHeight(""), 201.09, 0.05);
    EXPECT_NEAR(p.TextHeight("a\r\nb\nc"), 3 * 201.09, 0.15);
    EXPECT_DOUBLE_EQ(p.TextWidth(""), 0);
    // Width scales with the size; bold is wider than regular.
    p.Font().Size = 18;
    EXPECT_NEAR(p.TextWidth("Hello World"), 2 * 930.23, 0.2);
    double regular = p.TextWidth("Hello World");
    p.Font().Bold = true;
    EXPECT_GT(p.TextWidth("Hello World"), regular + 10);
    // The widest line of several.
    p.Font() = FontSpec{};
    EXPECT_NEAR(p.TextWidth("Hi\r\nHello World\r\nx"), 930.23, 0.1);
    // Controls are not glyphs: a tab adds nothing.
    EXPECT_NEAR(p.TextWidth("Hello\tWorld"), p.TextWidth("HelloWorld"), 1e-9);
}

TEST(Fonts, CharactersTheFontLacksComeFromAFallbackFace) {
    auto& reg = FontRegistry::Instance();
    surface::FaceId arial = reg.Resolve("Arial", false, false);
    const char32_t missing = U'\u2713';   // check mark: not in Liberation Sans
    ASSERT_EQ(reg.Face(arial).Glyph(missing), 0u);
    surface::FaceId fb = reg.FallbackFor(arial, missing);
    ASSERT_NE(fb, arial);
    EXPECT_NE(reg.Face(fb).Glyph(missing), 0u);

    // A mixed text splits into runs of the primary and the fallback face.
    std::vector<surface::TextRun> runs;
    surface::ForEachRun(arial, "ok \xE2\x9C\x93 done", [&](const surface::TextRun& r) { runs.push_back(r); });
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].face, arial);
    EXPECT_EQ(runs[1].face, fb);
    EXPECT_EQ(runs[2].face, arial);
    EXPECT_EQ(runs[1].begin, 3u);
    EXPECT_EQ(runs[1].end, 6u);

    // The width counts the fallback glyph's advance, not .notdef's.
    VSPrinter p;
    double withMark = p.TextWidth("a\xE2\x9C\x93");
    double expected = p.TextWidth("a") +
                      reg.Face(fb).Advance(reg.Face(fb).Glyph(missing)) * reg.Face(fb).Scale(9);
    EXPECT_NEAR(withMark, expected, 1e-6);
}

TEST(Fonts, Utf8DecodingReplacesInvalidBytes) {
    struct Case {
        std::string bytes;
        std::u32string want;
    } cases[] = {
        {"A\xC3\xA9", U"A\u00E9"},
        {"\xE2\x82\xAC", U"\u20AC"},
        {"\xF0\x9F\x98\x80", U"\U0001F600"},
        {"\xC3", U"\uFFFD"},                 // truncated
        {"\xC0\xAF", U"\uFFFD\uFFFD"},       // overlong
        {"\xED\xA0\x80", U"\uFFFD"},         // surrogate
        {"\x80z", U"\uFFFDz"},
    };
    for (const Case& c : cases) {
        std::u32string got;
        for (size_t i = 0; i < c.bytes.size();) got += surface::NextCodePoint(c.bytes, i);
        EXPECT_EQ(got, c.want) << c.bytes;
    }
}

TEST(Fonts, UnknownFamiliesStillGiveAFaceAndBadSizesAreRejected) {
    VSPrinter p;
    p.Font().Name = "No Such Family 12345";
    EXPECT_GT(p.TextWidth("abc"), 0);
    p.Font().Name = "Arial";
    p.Font().Size = 0;
    EXPECT_THROW(p.TextWidth("abc"), RuntimeError);
    EXPECT_THROW(p.Font(FontSpec{"Arial", -3}), RuntimeError);
}

}  // namespace
}  // namespace qor
