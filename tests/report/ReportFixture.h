// Reports rendered for real: mode 3 (PDF) unattended, the PDF read back with poppler and
// checked with qpdf; lines, which carry no text, read from the retained pages of the
// thread's surface.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/Recordset.h>
#include <qor/RuntimeError.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "core/ModuleState.h"
#include "core/Surfaces.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"
#include "surface/DocumentAccess.h"

namespace qor::test {

// Every drawing position is this far right of and below the report's own millimetres.
inline constexpr double kOffset = 5.0;

// Report millimetres of a word read back from the PDF.
inline double X(const Word& w) { return w.Left() - kOffset; }
inline double Y(const Word& w) { return w.Top() - kOffset; }
inline double Right(const Word& w) { return w.Right() - kOffset; }

// A line or rectangle of a page in the report's millimetres, with its pen.
struct Shape {
    double x1, y1, x2, y2;
    uint32_t rgb;      // 0xRRGGBB
    int32_t penWidth;  // twips
};

using Rows = std::vector<std::vector<Variant>>;

inline std::shared_ptr<MemoryRecordset> MakeRows(std::vector<std::string> names, Rows rows) {
    return std::make_shared<MemoryRecordset>(std::move(names), std::move(rows));
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        modqorPrintLib().Reset();
        GenServicesObject& services = GenServices();
        services.Unattended = true;
        services.LanguageOffset = 0;
        services.NoLayoutCheck = false;
        previousLocale_ = std::string(services.Locale);
        services.Locale = "nl_BE";
        previousObserver_ = services.SetMessageObserver([this](const Message& m) {
            messages.push_back(m);
            return answer;
        });
    }

    void TearDown() override {
        GenServices().SetMessageObserver(std::move(previousObserver_));
        GenServices().Locale = previousLocale_;
        GenServices().NoLayoutCheck = false;
        modqorPrintLib().Reset();
    }

    std::string Pdf() const { return dir_.File("report.pdf"); }

    // The report of `lib`, set up for a PDF in `orient` (1 portrait, 2 landscape); without
    // foot lines unless `footLines`, so that digits on the page are cells only.
    clsRapport& Report(int32_t orient = 1, bool footLines = false) {
        clsRapport& r = lib.PrRapport();
        r.Init("", 3, orient, 1, 9, Pdf());
        r.PageNbr = footLines;
        r.FootNoteDate = footLines;
        return r;
    }

    int Pages() {  // after checking the PDF with qpdf
        std::string report;
        EXPECT_TRUE(QpdfCheck(Pdf(), &report)) << report;
        return PdfPages(Pdf());
    }

    // The words of `page` whose text is `text`.
    std::vector<Word> Find(const std::string& text, int page = 1) {
        std::vector<Word> found;
        for (const Word& w : PageWords(Pdf(), page))
            if (w.text == text) found.push_back(w);
        return found;
    }

    // The only word `text` on `page`; fails the test when there is not exactly one.
    Word One(const std::string& text, int page = 1) {
        const std::vector<Word> found = Find(text, page);
        EXPECT_EQ(found.size(), 1u) << "word \"" << text << "\" on page " << page;
        return found.empty() ? Word{} : found.front();
    }

    // The shapes of `kind` (Line, Rectangle) on `page` of the thread's surface running from y
    // `top` to y `bottom` (within 0.05 mm), in the report's millimetres.
    std::vector<Shape> Spanning(surface::RecordKind kind, double top, double bottom, int page = 1) {
        const surface::Document& doc = surface::DocumentOf(PreviewSurface());
        const auto mm = [](double twips) { return twips / kTwipsPerMm - kOffset; };
        std::vector<Shape> found;
        for (const surface::Record& rec : doc.pages.at(static_cast<std::size_t>(page - 1)).records) {
            if (rec.Kind() != kind) continue;
            const surface::ShapeStyle& style = doc.shapeStyles.at(rec.Style());
            const Shape s{mm(rec.v[0]), mm(rec.v[1]), mm(rec.v[2]), mm(rec.v[3]), style.penRgb, style.penWidth};
            if (std::abs(s.y1 - top) < 0.05 && std::abs(s.y2 - bottom) < 0.05) found.push_back(s);
        }
        return found;
    }

    clsqorPrintLib lib;
    std::vector<Message> messages;
    std::optional<int32_t> answer;  // the answer to every message; nullopt: the default button

private:
    TempDir dir_;
    std::string previousLocale_;
    MessageObserver previousObserver_;
};

}  // namespace qor::test
