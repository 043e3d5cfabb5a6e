// Rich text placed on the surface by TextRTF and PrintFile, read back from the records.
#include <gtest/gtest.h>

#include <QImage>

#include <map>

#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"

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

// A fixture made by a word processor, laid out on a fresh A4 document and written as PDF.
struct Printed {
    VSPrinter printer;
    test::TempDir dir;
    std::string pdf;
    explicit Printed(const std::string& fixture) {
        printer.StartDoc();
        printer.PrintFile(QOR_FIXTURES_DIR "/rtf/" + fixture);
        printer.EndDoc();
        pdf = dir.File("out.pdf");
        surface::WritePdf(printer, pdf);
    }
    double Pt(double twips) const { return twips / 20; }
};

// The last word `text` of a page.
const test::Word* Find(const std::vector<test::Word>& words, const std::string& text) {
    const test::Word* found = nullptr;
    for (const test::Word& w : words)
        if (w.text == text) found = &w;
    return found;
}

TEST(VSPrinterRtf, TableCellsHoldTheirTextInTheirBoxes) {
    Printed p("table-3x4.rtf");
    const auto words = test::PageWords(p.pdf, 1);
    // Cell edges as the writer gave them (twips from the left margin), 57 twips padding.
    const double left = p.printer.MarginLeft();
    const std::map<std::string, std::pair<double, double>> cells = {
        {"Product", {0, 2272}},     {"Description", {2272, 5669}}, {"Price", {5669, 8504}},
        {"Widget", {0, 2272}},      {"blue", {2272, 5669}},        {"12,50", {5669, 8504}},
        {"Merged", {0, 5669}},      {"days", {0, 5669}},           {"7,25", {5669, 8504}},
        {"Gadget", {0, 2272}},      {"wraps", {2272, 5669}},       {"99,00", {5669, 8504}}};
    std::vector<double> rowTops;
    for (const char* first : {"Product", "Widget", "Merged", "Gadget"}) rowTops.push_back(Find(words, first)->yMin);
    EXPECT_TRUE(std::ranges::is_sorted(rowTops));
    for (const auto& [text, edges] : cells) {
        const test::Word* w = Find(words, text);
        ASSERT_TRUE(w) << text;
        EXPECT_GE(w->xMin, p.Pt(left + edges.first + 57) - 0.5) << text;
        EXPECT_LE(w->xMax, p.Pt(left + edges.second - 57) + 0.5) << text;
    }
    EXPECT_NEAR(Find(words, "Price")->xMax, p.Pt(left + 8504 - 57), 1) << "right-aligned in its cell";
    EXPECT_GT(Find(words, "wraps")->yMin, Find(words, "Large")->yMin + 5) << "a long text wraps inside its cell";
    EXPECT_GT(Find(words, "After")->yMin, Find(words, "wraps")->yMax);

    // Shading and borders are drawn: sample the PDF rendered at 72 dpi (1 px = 1 pt).
    const QImage page(QString::fromStdString(test::RenderPage(p.pdf, 1, 72, p.dir.File("page"))));
    const test::Word* product = Find(words, "Product");
    const test::Word* merged = Find(words, "Merged");
    EXPECT_EQ(page.pixel(int(product->xMax + 20), int(product->yMax - 2)) & 0xFFFFFF, 0xC0D8F0u) << "header shading";
    EXPECT_EQ(page.pixel(int(Find(words, "days")->xMax + 3), int(merged->yMax - 2)) & 0xFFFFFF, 0xFFE0A0u);
    const QRgb border = page.pixel(int(p.Pt(left)), int(merged->yMax - 4));
    EXPECT_GT(qRed(border), 120);
    EXPECT_LT(qGreen(border), 80) << "the merged cell's red border at its left edge";
}

TEST(VSPrinterRtf, LongTableRepeatsItsHeaderRowOnEveryPage) {
    Printed p("table-header-repeat.rtf");
    const auto pages = test::PdfWords(p.pdf);
    ASSERT_GE(pages.size(), 2u);
    int next = 1;
    for (size_t i = 0; i < pages.size(); ++i) {
        const auto& words = pages[i];
        auto top = [&](const char* text) {
            const test::Word* found = nullptr;
            for (const test::Word& w : words)
                if (w.text == text && (!found || w.yMin < found->yMin)) found = &w;
            return found;
        };
        const test::Word *line = top("Line"), *article = top("Article"), *amount = top("Amount");
        ASSERT_TRUE(line && article && amount) << "the header row on page " << i + 1;
        EXPECT_TRUE(line->yMin == article->yMin && line->yMin == amount->yMin);
        for (const test::Word& w : words) {
            if (w.text.size() != 4 || w.text[0] != 'L' || !std::isdigit(w.text[1])) continue;
            EXPECT_GT(w.yMin, line->yMax - 0.5) << "below the header row";
            EXPECT_EQ(std::stoi(w.text.substr(1)), next) << "rows in order, none lost or doubled";
            // The row's amount stands on the same page and line.
            const test::Word* amount = Find(words, std::to_string(next * 3) + ",00");
            ASSERT_TRUE(amount) << w.text;
            EXPECT_NEAR(amount->yMin, w.yMin, 0.5);
            ++next;
        }
    }
    EXPECT_EQ(next, 91);
}

TEST(VSPrinterRtf, ListMarkersStandInOrderAtTheirIndents) {
    Printed p("lists.rtf");
    const auto words = test::PageWords(p.pdf, 1);
    std::string markers;
    for (const test::Word& w : words)
        if (w.text.size() <= 3 && w.text != "lot") markers += w.text + " ";
    EXPECT_EQ(markers, "\u2022 \u2022 \u25E6 \u25E6 \u2022 1. 2. a) b) i. ii. c) 3. 4. ");
    // A marker hangs at the first-line indent; the item's text starts at the left indent.
    const double margin = p.printer.MarginLeft();
    EXPECT_NEAR(Find(words, "1.")->xMin, p.Pt(margin + 360), 0.5);
    EXPECT_NEAR(Find(words, "a)")->xMin, p.Pt(margin + 1080), 0.5);
    EXPECT_NEAR(Find(words, "i.")->xMin, p.Pt(margin + 1800), 0.5);
    EXPECT_NEAR(Find(words, "Order")->xMin, p.Pt(margin + 720), 0.5);
    EXPECT_NEAR(Find(words, "Label")->xMin, p.Pt(margin + 2160), 0.5);
}

TEST(VSPrinterRtf, PicturesStandInTheLineAndJpegPassesUnchanged) {
    Printed p("pictures.rtf");
    const auto words = test::PageWords(p.pdf, 1);
    const test::Word *logo = Find(words, "Logo"), *then = Find(words, "then"), *photo = Find(words, "photo"),
                     *end = Find(words, "end");
    ASSERT_TRUE(logo && then && photo && end);
    // The pictures' boxes: goal size times the scale (94 %), between the words, on the baseline.
    struct Box {
        double left, right;
    };
    // Between the words: a space, the picture, a space.
    const double space = p.Pt(surface::MeasureText(FontSpec{"Arial", 10}, " "));
    const Box png{logo->xMax + space, then->xMin - space}, jpeg{photo->xMax + space, end->xMin - space};
    EXPECT_NEAR(png.right - png.left, p.Pt(2399 * 0.94), 0.5);
    EXPECT_NEAR(jpeg.right - jpeg.left, p.Pt(3000 * 0.94), 0.5);
    const QImage page(QString::fromStdString(test::RenderPage(p.pdf, 1, 72, p.dir.File("page"))));
    const double baseline = logo->yMax - 3;  // inside the descent of "Logo"
    auto colour = [&](double x, double y) { return page.pixel(int(x), int(y)) & 0xFFFFFF; };
    // PNG: green inside, red frame; white above its top.
    const double pngMid = (png.left + png.right) / 2, pngHeight = p.Pt(1500 * 0.94);
    EXPECT_EQ(colour(pngMid, baseline - pngHeight / 2) , 0x1EA03Cu);
    EXPECT_EQ(colour(pngMid, baseline - pngHeight - 6), 0xFFFFFFu);
    // JPEG: orange and blue stripes, 25 px of 200 across 2820 twips.
    const double stripe = p.Pt(3000 * 0.94) / 8, jpegMid = logo->yMax - p.Pt(1800 * 0.94) / 2;
    const QRgb first = colour(jpeg.left + stripe / 2 + 1, jpegMid), second = colour(jpeg.left + stripe * 1.5, jpegMid);
    EXPECT_GT(qRed(first), 200);
    EXPECT_GT(qBlue(second), 150);

    // The JPEG's own bytes are in the PDF.
    test::Shell("pdfimages -all " + test::Quote(p.pdf) + " " + test::Quote(p.dir.File("img")));
    const std::string rtf = test::ReadFile(QOR_FIXTURES_DIR "/rtf/pictures.rtf");
    const size_t at = rtf.find("\\jpegblip");
    ASSERT_NE(at, std::string::npos);
    std::string hex = rtf.substr(at + 10, rtf.find('}', at) - at - 10), jpegBytes;
    std::erase_if(hex, [](char c) { return !std::isxdigit(static_cast<unsigned char>(c)); });
    for (size_t i = 0; i + 1 < hex.size(); i += 2) jpegBytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    EXPECT_EQ(test::ReadFile(p.dir.File("img-001.jpg")), jpegBytes);
}

TEST(VSPrinterRtf, RowTallerThanAPageGoesOnOverThePages) {
    std::string rtf = "{\\rtf1 intro\\par\\trowd\\clbrdrl\\brdrs\\brdrw10\\cellx3000\\cellx6000\\pard\\intbl ";
    for (int i = 1; i <= 150; ++i) rtf += "line" + std::to_string(i) + (i < 150 ? "\\par " : "\\cell right\\cell\\row}");
    VSPrinter printer;
    printer.StartDoc();
    printer.TextRTF(rtf);
    const auto pages = Texts(printer);
    ASSERT_GE(pages.size(), 3u);
    int next = 1;
    for (const auto& page : pages)
        for (const Placed& t : page) {
            EXPECT_LE(t.baseline, printer.PageHeight() - printer.MarginBottom()) << t.text;
            if (t.text.starts_with("line")) {
                EXPECT_EQ(t.text, "line" + std::to_string(next++));
            }
        }
    EXPECT_EQ(next, 151) << "every line once, in order";
    // Cut into pieces a page high, the row starts on a new page.
    ASSERT_FALSE(pages[1].empty());
    EXPECT_EQ(pages[1].front().text, "line1");
    EXPECT_NEAR(pages[1].front().baseline, printer.MarginTop() + surface::MetricsOf(printer.Font()).ascent, 1);
}

TEST(VSPrinterRtf, OversizeAndOverDeepInputRendersTheRest) {
    std::string rtf = "{\\rtf1 before\\par";
    for (int level = 1; level <= 12; ++level)
        rtf += "\\pard\\intbl\\itap" + std::to_string(level) + " level" + std::to_string(level) + "\\nestcell";
    rtf += "\\pard{\\pict\\jpegblip\\picwgoal500\\pichgoal500\\bin20000000 " + std::string(20000000, 'x') + "}";
    rtf += "{\\pict\\emfblip\\picwgoal720\\pichgoal360 0102}\\ls1\\ilvl40 after}";
    VSPrinter printer;
    printer.StartDoc();
    printer.TextRTF(rtf);
    std::string all;
    int frames = 0, pictures = 0;
    for (const auto& page : Texts(printer))
        for (const Placed& t : page) all += t.text + " ";
    for (const surface::Record& r : surface::DocumentOf(printer).pages[0].records) {
        frames += r.Kind() == surface::RecordKind::Rectangle;
        pictures += r.Kind() == surface::RecordKind::Picture;
    }
    EXPECT_NE(all.find("before"), std::string::npos);
    EXPECT_NE(all.find("level8"), std::string::npos);
    EXPECT_EQ(all.find("level9"), std::string::npos);
    EXPECT_NE(all.find("after"), std::string::npos);
    EXPECT_EQ(pictures, 0) << "the 20 MB picture is left out";
    EXPECT_EQ(frames, 1) << "the metafile keeps its space as a frame";
}

}  // namespace
}  // namespace qor
