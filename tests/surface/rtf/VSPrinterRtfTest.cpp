// Rich text placed on the surface: TextRTF and PrintFile, read back from the records and
// from the PDF as poppler extracts it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>

#include "qor/RuntimeError.h"
#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/rtf/RtfTestUtil.h"

// fontconfig keeps the configuration it parsed at start-up for the whole process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace qor {
namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

// One word as pdftotext -bbox reports it, in points from the page's top-left corner.
struct PdfWord {
    std::string text;
    double xMin, yMin, xMax, yMax;
};

// Words of every page of `pdf`, page by page, as poppler extracts them.
std::vector<std::vector<PdfWord>> PdfWords(const std::string& pdf) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QString::fromStdString(pdf), QStringLiteral("-")});
    run.waitForFinished(60000);
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral(R"re(<page [^>]*>|<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re"));
    std::vector<std::vector<PdfWord>> pages;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            pages.emplace_back();
            continue;
        }
        if (pages.empty()) pages.emplace_back();
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        pages.back().push_back({text.toStdString(), m.captured(1).toDouble(), m.captured(2).toDouble(),
                                m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return pages;
}

struct Placed {
    std::string text;
    int x, baseline, width;
};

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

std::string Joined(const std::vector<Placed>& page) {
    std::string out;
    for (const Placed& p : page) out += p.text + " ";
    return out;
}

std::string FixturePath(const std::string& name) { return std::string(QOR_FIXTURES_DIR) + "/rtf/" + name; }
std::string SharedPath(const std::string& name) { return std::string(QOR_SHARED_FIXTURES_DIR) + "/rtf/" + name; }

TEST(VSPrinterRtf, TermsFlowOntoNewPagesBetweenTheMargins) {
    VSPrinter printer;
    printer.StartDoc();
    printer.CurrentY(3000);
    printer.PrintFile(SharedPath("voorwaarden-office-suite.rtf"));
    ASSERT_GE(printer.PageCount(), 2) << "forty articles at 10 pt fill more than one A4 page";

    const auto pages = Texts(printer);
    const double right = printer.PageWidth() - printer.MarginRight();
    const double bottom = printer.PageHeight() - printer.MarginBottom();
    std::string all;
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        ASSERT_FALSE(pages[p].empty());
        for (const Placed& t : pages[p]) {
            EXPECT_GE(t.x, printer.MarginLeft() - 0.5) << t.text;
            EXPECT_LE(t.x + t.width, right + 1) << t.text;
            EXPECT_LE(t.baseline, bottom) << t.text;
            EXPECT_GE(t.baseline, printer.MarginTop()) << t.text;
        }
        all += Joined(pages[p]);
    }
    // Page 1 starts at CurrentY; later pages at the top margin.
    FontSpec heading{"Arial", 16, true};
    EXPECT_NEAR(pages[0].front().baseline, 3000 + surface::MetricsOf(heading).ascent, 1);
    EXPECT_EQ(pages[0].front().text, "Algemene voorwaarden");
    FontSpec body{"Arial", 10};
    EXPECT_GE(pages[1].front().baseline, printer.MarginTop() + surface::MetricsOf(body).ascent - 1);
    EXPECT_LE(pages[1].front().baseline, printer.MarginTop() + surface::MetricsOf(body).height + 1);

    // Every article, once and in order, across the pages.
    size_t at = 0;
    for (int n = 1; n <= 40; ++n) {
        const std::string label = "Artikel " + std::to_string(n) + ".";
        const size_t found = all.find(label, at);
        ASSERT_NE(found, std::string::npos) << label;
        at = found + label.size();
    }
    EXPECT_EQ(all.find("Artikel 41."), std::string::npos);
    EXPECT_NE(all.find("Übermaß."), std::string::npos);

    // CurrentY is left just under the last line, on the last page.
    EXPECT_GT(printer.CurrentY(), pages.back().back().baseline);
    EXPECT_LT(printer.CurrentY(), pages.back().back().baseline + surface::MetricsOf(body).height);
    EXPECT_LE(printer.CurrentY(), bottom);
}

TEST(VSPrinterRtf, MarginsBoundTheTextAndConsecutiveTextsFollowEachOther) {
    VSPrinter printer;
    printer.StartDoc();
    printer.MarginLeft(3000);
    printer.MarginRight(4000);
    const double y0 = printer.CurrentY();
    printer.TextRTF(rtftest::SharedFixture("memo-richedit.rtf"));
    const double y1 = printer.CurrentY();
    EXPECT_GT(y1, y0 + 2000);
    printer.TextRTF(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20 Tweede tekst\par})");
    EXPECT_GT(printer.CurrentY(), y1);

    const auto pages = Texts(printer);
    ASSERT_EQ(pages.size(), 1u);
    for (const Placed& t : pages[0]) {
        EXPECT_GE(t.x, 3000) << t.text;
        EXPECT_LE(t.x + t.width, printer.PageWidth() - 4000 + 1) << t.text;
    }
    EXPECT_EQ(pages[0].back().text, "Tweede tekst");
    EXPECT_GT(pages[0].back().baseline, y1);
    const std::string text = Joined(pages[0]);
    EXPECT_NE(text.find("2.500 €"), std::string::npos);
    EXPECT_NE(text.find("Liège"), std::string::npos);
    EXPECT_EQ(text.find("zichtbaar"), std::string::npos);
    EXPECT_EQ(text.find('\t'), std::string::npos);

    // The memo's right-aligned date ends at the right margin.
    auto date = std::ranges::find_if(pages[0], [](const Placed& t) { return t.text.find("2026") != std::string::npos; });
    ASSERT_NE(date, pages[0].end());
    EXPECT_NEAR(date->x + date->width, printer.PageWidth() - 4000, 1);
}

TEST(VSPrinterRtf, FilesAndErrors) {
    VSPrinter printer;
    EXPECT_THROW(printer.TextRTF("{\\rtf1 x}"), RuntimeError) << "no open document";
    printer.StartDoc();
    try {
        printer.PrintFile("/nonexistent/brief.rtf");
        FAIL() << "a missing file must throw";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 53);
        EXPECT_NE(std::string(e.what()).find("/nonexistent/brief.rtf"), std::string::npos);
    }
    EXPECT_TRUE(Texts(printer)[0].empty()) << "nothing drawn for a missing file";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    try {
        printer.PrintFile(dir.path().toStdString());
        FAIL() << "a folder is not a file";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 75);
    }

    // A plain text file prints line by line in the surface's font.
    const std::string plain = dir.filePath(QStringLiteral("note.txt")).toStdString();
    std::ofstream(plain) << "Eerste regel {niet} \\rtf\r\nTweede regel\n";
    const double y0 = printer.CurrentY();
    printer.PrintFile(plain);
    const auto pages = Texts(printer);
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(pages[0][0].text, "Eerste regel {niet} \\rtf");
    EXPECT_EQ(pages[0][1].text, "Tweede regel");
    EXPECT_NEAR(pages[0][1].baseline - pages[0][0].baseline, surface::MetricsOf(printer.Font()).height, 1);
    EXPECT_NEAR(pages[0][0].baseline, y0 + surface::MetricsOf(printer.Font()).ascent, 1);

    // An empty rich text changes nothing.
    const double y1 = printer.CurrentY();
    printer.TextRTF("{\\rtf1{\\fonttbl{\\f0 Arial;}}}");
    EXPECT_EQ(printer.CurrentY(), y1);
    EXPECT_EQ(printer.PageCount(), 1);
}

// The annual report: bold, italic, underline, three sizes, two colours, centred and
// right-aligned paragraphs, accents, more than a page; checked in the PDF itself.
TEST(VSPrinterRtf, AnnualReportReadsBackFromThePdf) {
    VSPrinter printer;
    printer.StartDoc();
    printer.PrintFile(FixturePath("jaarverslag.rtf"));
    printer.EndDoc();
    ASSERT_EQ(printer.PageCount(), 2);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pdf = dir.filePath(QStringLiteral("jaarverslag.pdf")).toStdString();
    VSPDF().ConvertDocument(printer, pdf);
    const auto pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 2u);

    auto line = [&](size_t page, const std::string& first, size_t count) {
        const auto& words = pages[page];
        auto it = std::ranges::find_if(words, [&](const PdfWord& w) { return w.text == first; });
        EXPECT_NE(it, words.end()) << first;
        std::vector<PdfWord> out;
        for (; it != words.end() && out.size() < count; ++it) out.push_back(*it);
        return out;
    };
    const double pageWidthPt = printer.PageWidth() / 20;
    const double rightPt = (printer.PageWidth() - printer.MarginRight()) / 20;
    const double halfMm = 0.5 * kPtPerMm;

    const auto title = line(0, "Jaarverslag", 3);
    ASSERT_EQ(title.size(), 3u);
    EXPECT_EQ(title[1].text, "Café");
    EXPECT_EQ(title[2].text, "Rêverie");
    EXPECT_NEAR((title[0].xMin + title[2].xMax) / 2, pageWidthPt / 2, halfMm) << "centred title";

    const auto date = line(0, "Liège,", 3);
    ASSERT_EQ(date.size(), 3u);
    EXPECT_EQ(date[1].text, "décembre");
    EXPECT_NEAR(date[2].xMax, rightPt, halfMm) << "right-aligned date";

    const auto signature = line(1, "Handtekening", 2);
    ASSERT_EQ(signature.size(), 2u);
    EXPECT_NEAR(signature[1].xMax, rightPt, halfMm) << "right-aligned signature";
    const auto end = line(1, "Einde", 4);
    ASSERT_EQ(end.size(), 4u);
    EXPECT_NEAR((end[0].xMin + end[3].xMax) / 2, pageWidthPt / 2, halfMm) << "centred closing line";

    // Words of the body on both pages, with their accents and the euro sign.
    std::string text[2];
    for (size_t p = 0; p < 2; ++p)
        for (const PdfWord& w : pages[p]) text[p] += w.text + " ";
    for (const std::string& t : text) {
        EXPECT_NE(t.find("naïveté"), std::string::npos);
        EXPECT_NE(t.find("€ 1.250"), std::string::npos);
        EXPECT_NE(t.find("résultats"), std::string::npos);
    }
    EXPECT_NE(text[0].find("Paragraaf 1."), std::string::npos);
    EXPECT_NE(text[1].find("Paragraaf 14."), std::string::npos);

    // Justified body lines reach the right margin; every word stays between the margins.
    int reaching = 0;
    for (const auto& words : pages)
        for (const PdfWord& w : words) {
            EXPECT_GE(w.xMin, printer.MarginLeft() / 20 - halfMm) << w.text;
            EXPECT_LE(w.xMax, rightPt + halfMm) << w.text;
            reaching += std::abs(w.xMax - rightPt) < halfMm;
        }
    EXPECT_GT(reaching, 20);
}

}  // namespace
}  // namespace qor
