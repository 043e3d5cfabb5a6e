// Rich text placed on the surface by TextRTF and PrintFile, read back from the records.
#include <gtest/gtest.h>

#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "support/Errors.h"
#include "support/Files.h"

// fontconfig keeps the configuration it parsed at start-up for the whole process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace qor {
namespace {

struct Placed {
    std::string text;
    int x, baseline, width;
};

// The text records of every page.
std::vector<std::vector<Placed>> Texts(const VSPrinter& printer) {
    const surface::Document& doc = surface::DocumentOf(printer);
    std::vector<std::vector<Placed>> pages;
    for (const surface::Page& page : doc.pages) {
        pages.emplace_back();
        for (const surface::Record& r : page.records)
            if (r.Kind() == surface::RecordKind::Text)
                pages.back().push_back({std::string(doc.strings.At(uint32_t(r.v[2]), uint32_t(r.v[3]))),
                                        r.v[0], r.v[1], r.v[4]});
    }
    return pages;
}

TEST(VSPrinterRtf, TermsFlowOntoNewPagesBetweenTheMargins) {
    VSPrinter printer;
    printer.StartDoc();
    printer.CurrentY(3000);
    printer.PrintFile(QOR_SHARED_FIXTURES_DIR "/rtf/voorwaarden-office-suite.rtf");
    ASSERT_GE(printer.PageCount(), 2) << "forty articles at 10 pt fill more than one A4 page";
    const auto pages = Texts(printer);
    std::string all;  // every text lies between the four margins
    for (const auto& page : pages) {
        EXPECT_FALSE(page.empty());
        for (const Placed& t : page) {
            EXPECT_TRUE(t.x >= printer.MarginLeft() && t.x + t.width <= printer.PageWidth() - printer.MarginRight() + 1)
                << t.text;
            EXPECT_TRUE(t.baseline >= printer.MarginTop() && t.baseline <= printer.PageHeight() - printer.MarginBottom())
                << t.text;
            all += t.text + " ";
        }
    }

    // Page 1 starts at CurrentY; later pages at the top margin.
    EXPECT_NEAR(pages[0].front().baseline, 3000 + surface::MetricsOf(FontSpec{"Arial", 16, true}).ascent, 1);
    EXPECT_EQ(pages[0].front().text, "Algemene voorwaarden");
    const surface::LineMetrics body = surface::MetricsOf(FontSpec{"Arial", 10});
    EXPECT_NEAR(pages[1].front().baseline, printer.MarginTop() + body.ascent, 1);

    // Every article, once and in order, across the pages.
    size_t at = 0;
    for (int n = 1; n <= 40; ++n) {
        const std::string label = "Artikel " + std::to_string(n) + ".";
        at = all.find(label, at);
        ASSERT_NE(at, std::string::npos) << label;
    }
    const double lastBaseline = pages.back().back().baseline;
    EXPECT_TRUE(printer.CurrentY() > lastBaseline && printer.CurrentY() < lastBaseline + body.height) << "under the last line";
}

TEST(VSPrinterRtf, FilesAndErrors) {
    VSPrinter printer;
    test::ExpectRuntimeError(5, [&] { printer.TextRTF("{\\rtf1 x}"); });  // no open document
    printer.MarginLeft(3000);
    printer.MarginRight(4000);
    printer.StartDoc();
    const std::string missing = test::ExpectRuntimeError(53, [&] { printer.PrintFile("/nonexistent/brief.rtf"); });
    EXPECT_NE(missing.find("/nonexistent/brief.rtf"), std::string::npos);
    test::TempDir dir;
    test::ExpectRuntimeError(75, [&] { printer.PrintFile(dir.Path().string()); });
    EXPECT_TRUE(Texts(printer)[0].empty());

    // A plain text file prints line by line in the surface's font.
    test::WriteFile(dir.File("note.txt"), "Eerste regel {niet} \\rtf\r\nTweede regel\n");
    const double y0 = printer.CurrentY();
    printer.PrintFile(dir.File("note.txt"));
    const auto page = Texts(printer)[0];
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].text, "Eerste regel {niet} \\rtf");
    EXPECT_EQ(page[1].text, "Tweede regel");
    EXPECT_NEAR(page[1].baseline - page[0].baseline, surface::MetricsOf(printer.Font()).height, 1);
    EXPECT_NEAR(page[0].baseline, y0 + surface::MetricsOf(printer.Font()).ascent, 1);

    EXPECT_EQ(page[1].x, 3000);  // at the left margin
    const double y1 = printer.CurrentY();
    printer.TextRTF("{\\rtf1{\\fonttbl{\\f0 Arial;}}}");  // empty rich text changes nothing
    EXPECT_EQ(Texts(printer)[0].size(), 2u);
    EXPECT_DOUBLE_EQ(printer.CurrentY(), y1);
}

}  // namespace
}  // namespace qor
