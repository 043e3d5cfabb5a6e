// A family with a regular face only, asked for bold and italic: the surface slants and strokes
// that face, and TextWidth, the PDF and the PNG page agree on the text's width.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QImage>

#include <gtest/gtest.h>

#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

#include "support/Files.h"
#include "support/Pdf.h"
#include "support/Process.h"

namespace qor {
namespace {

namespace fs = std::filesystem;

// Only DejaVu Sans Book is installed for this process.
class RegularFaceOnly : public ::testing::Environment {
public:
    void SetUp() override {
        const fs::path fonts = dir_.Path() / "fonts";
        fs::create_directories(fonts);
        fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", fonts / "DejaVuSans.ttf");
        const std::string conf = dir_.File("fonts.conf");
        test::WriteFile(conf, "<?xml version=\"1.0\"?><fontconfig><dir>" + fonts.string() +
                                  "</dir><cachedir>" + dir_.File("cache") + "</cachedir></fontconfig>");
        setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    }

private:
    test::TempDir dir_;
};

[[maybe_unused]] auto* const kFonts = ::testing::AddGlobalTestEnvironment(new RegularFaceOnly);

// Left and right ink columns of the darkest row band of `png` between rows `top` and `bottom`.
std::pair<int, int> InkColumns(const QImage& page, int top, int bottom) {
    int left = page.width(), right = -1;
    for (int y = std::max(0, top); y < std::min(page.height(), bottom); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

TEST(SyntheticStyle, BoldAndItalicKeepTheRegularWidths) {
    test::TempDir dir;
    VSPrinter surface;
    surface.StartDoc();
    const std::string text = "Invoice HHHH";
    surface.Font().Name = "DejaVu Sans";
    surface.Font().Size = 20;
    const double regular = surface.TextWidth(text);
    struct Case { bool bold, italic; double y; };
    const Case cases[] = {{false, false, 2000}, {true, false, 3000}, {false, true, 4000}, {true, true, 5000}};
    for (const Case& c : cases) {
        surface.Font().Bold = c.bold;
        surface.Font().Italic = c.italic;
        EXPECT_DOUBLE_EQ(surface.TextWidth(text), regular) << c.bold << c.italic;
        surface.CurrentX(1440);
        surface.CurrentY(c.y);
        surface.Text(text);
    }
    surface.EndDoc();
    const std::string pdf = dir.File("styles.pdf");
    VSPDF().ConvertDocument(surface, pdf);

    // The words as poppler places them: the same advance width on every line.
    const auto words = test::PageWords(pdf, 1);
    int lines = 0;
    for (const auto& w : words) {
        if (w.text != "HHHH") continue;
        ++lines;
        EXPECT_NEAR(w.xMax - w.xMin, words[1].xMax - words[1].xMin, 0.5) << w.yMin;
    }
    EXPECT_EQ(lines, 4);
    // Stroked and slanted text in the content stream.
    const std::string content = test::Shell("qpdf --qdf --object-streams=disable " + test::Quote(pdf) + " -");
    EXPECT_NE(content.find("w 2 Tr"), std::string::npos);
    EXPECT_NE(content.find("1 0 0.2126 -1 "), std::string::npos);

    // On the PNG page and in the PDF rendered by poppler, the ink of each line starts at the
    // same place; bold spreads it by at most the stroke, italic by at most the slant.
    const QImage png = [&] {
        surface.SavePagePng(1, dir.File("styles.png"), 72);
        return QImage(QString::fromStdString(dir.File("styles.png")));
    }();
    const QImage rendered(QString::fromStdString(test::RenderPage(pdf, 1, 72, dir.File("poppler"))));
    ASSERT_FALSE(png.isNull());
    ASSERT_FALSE(rendered.isNull());
    const double pxPerTwip = 72.0 / 1440;
    const auto plain = InkColumns(png, static_cast<int>(2000 * pxPerTwip), static_cast<int>(2500 * pxPerTwip));
    for (const Case& c : cases) {
        const int top = static_cast<int>(c.y * pxPerTwip), bottom = static_cast<int>((c.y + 500) * pxPerTwip);
        const auto ours = InkColumns(png, top, bottom);
        const auto theirs = InkColumns(rendered, top, bottom);
        EXPECT_NEAR(ours.first, theirs.first, 2) << c.bold << c.italic;
        EXPECT_NEAR(ours.second, theirs.second, 2) << c.bold << c.italic;
        EXPECT_NEAR(ours.first, plain.first, 2) << c.bold << c.italic;
        const int spread = ours.second - plain.second;
        EXPECT_GE(spread, 0);
        EXPECT_LE(spread, c.italic ? 6 : (c.bold ? 2 : 0)) << c.bold << c.italic;
    }
}

}  // namespace
}  // namespace qor
