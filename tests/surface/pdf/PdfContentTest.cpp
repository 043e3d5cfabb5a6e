// Text content that is easy to get wrong in a PDF: glyph ids whose bytes are string
// delimiters or a carriage return, characters above U+FFFF, long ToUnicode maps.
#include <gtest/gtest.h>

#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/Fonts.h"
#include "surface/support/PdfTools.h"

namespace qor {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;

std::string Utf8(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(PdfContent, GlyphIdsThatLookLikeDelimitersSurviveExtraction) {
    auto& reg = surface::FontRegistry::Instance();
    const auto& face = reg.Face(reg.Resolve("Arial", false, false));
    // Characters whose glyph id has a byte that needs escaping in a literal string.
    std::string word;
    int found = 0;
    for (unsigned char special : {'\r', '(', ')', '\\', '\n'}) {
        for (char32_t cp = 0x21; cp < 0x3000; ++cp) {
            uint32_t g = face.Glyph(cp);
            if (g && (g & 0xFF) == special && cp != 0xAD && !surface::IsControl(cp)) {
                word += Utf8(cp);
                ++found;
                break;
            }
        }
    }
    ASSERT_GE(found, 4);
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.CurrentX(1440);
    p.CurrentY(1440);
    p.Text("x" + word + "y");
    p.CurrentY(2000);
    p.CurrentX(1440);
    p.Text("after");   // a corrupted string would swallow or garble what follows
    p.EndDoc();
    std::string file = dir.File("escapes.pdf");
    VSPDF().ConvertDocument(p, file);
    EXPECT_TRUE(test::QpdfCheck(file));
    std::string text = test::PdfText(file);
    EXPECT_NE(text.find("x" + word + "y"), std::string::npos) << text;
    EXPECT_NE(text.find("after"), std::string::npos) << text;
}

TEST(PdfContent, ManyDistinctCharactersAndAstralOnesMapBackToUnicode) {
    // More than 100 glyphs in one font (several ToUnicode blocks) and a character above
    // U+FFFF written as a surrogate pair.
    std::string greek, latin;
    for (char32_t cp = 0x391; cp <= 0x3A9; ++cp)
        if (cp != 0x3A2) greek += Utf8(cp);
    for (char32_t cp = 0xC0; cp <= 0x17F; ++cp) latin += Utf8(cp);
    const std::string astral = Utf8(0x1D400) + Utf8(0x1D401);   // mathematical bold A, B
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.CurrentX(720);
    p.CurrentY(1440);
    p.Text(greek);
    p.Font().Size = 6;
    for (size_t i = 0; i < latin.size(); i += 40) {
        // Cut at character boundaries: every character of this range takes 2 bytes.
        p.CurrentX(720);
        p.CurrentY(p.CurrentY() + 300);
        p.Text(latin.substr(i, 40));
    }
    p.CurrentX(720);
    p.CurrentY(p.CurrentY() + 400);
    p.Text("[" + astral + "]");
    p.EndDoc();
    std::string file = dir.File("unicode.pdf");
    VSPDF().ConvertDocument(p, file);
    EXPECT_TRUE(test::QpdfCheck(file));
    std::string text = test::PdfText(file);
    EXPECT_NE(text.find(greek), std::string::npos) << text;
    for (size_t i = 0; i < latin.size(); i += 40)
        EXPECT_NE(text.find(latin.substr(i, 40)), std::string::npos) << latin.substr(i, 40);
    EXPECT_NE(text.find(astral), std::string::npos) << text;
}

TEST(PdfContent, OpenTypeFontsWithCffOutlinesAreEmbeddedToo) {
    // "Helvetica" resolves to a CFF-flavoured OpenType file (URW Nimbus Sans) on Debian.
    auto& reg = surface::FontRegistry::Instance();
    const auto& face = reg.Face(reg.Resolve("Nimbus Sans", false, false));
    if (face.Path().find(".otf") == std::string::npos) GTEST_SKIP() << "no CFF font installed";
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.Font().Name = "Nimbus Sans";
    p.Font().Size = 11;
    p.CurrentX(2000);
    p.CurrentY(3000);
    p.Text("Nimbus déjà 42");
    p.EndDoc();
    std::string file = dir.File("cff.pdf");
    VSPDF().ConvertDocument(p, file);
    std::string report;
    EXPECT_TRUE(test::QpdfCheck(file, &report)) << report;
    EXPECT_NE(test::PdfText(file).find("Nimbus déjà 42"), std::string::npos);
    std::string fonts = Shell("pdffonts " + Quote(file));
    EXPECT_NE(fonts.find("NimbusSans-Regular"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("yes yes yes"), std::string::npos) << fonts;
    auto pages = test::PdfWords(file);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_FALSE(pages[0].empty());
    EXPECT_NEAR(pages[0][0].xMin, 100, 0.3);   // 2000 twips
    EXPECT_NEAR(pages[0][0].xMax - pages[0][0].xMin, p.TextWidth("Nimbus") / 20, 0.1);
}

TEST(PdfContent, ControlCharactersAreNotDrawn) {
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.Text("one\ttwo");
    p.EndDoc();
    std::string file = dir.File("ctl.pdf");
    VSPDF().ConvertDocument(p, file);
    EXPECT_TRUE(test::QpdfCheck(file));
    auto pages = test::PdfWords(file);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(pages[0][0].text, "onetwo");
}

}  // namespace
}  // namespace qor
