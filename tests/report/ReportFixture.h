// Reports rendered for real: mode 3 (PDF) unattended, the PDF read back with poppler
// (pdftotext -bbox, pdfinfo) and checked with qpdf; lines, which carry no text, read from the
// retained pages of the thread's surface.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/Recordset.h>
#include <qor/RuntimeError.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include "core/Surfaces.h"
#include "surface/DocumentAccess.h"

namespace qor::test {

// A word of the PDF in the report's own millimetres (the 5 mm drawing offset taken off).
struct Word {
    std::string text;
    double left = 0, top = 0, right = 0, bottom = 0;
};

// A line or rectangle of a page in the report's millimetres, with its pen.
struct Shape {
    double x1, y1, x2, y2;
    uint32_t rgb;       // 0xRRGGBB
    int32_t penWidth;   // twips
};

inline std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

// Rows for a MemoryRecordset.
using Rows = std::vector<std::vector<Variant>>;

inline std::shared_ptr<MemoryRecordset> MakeRows(std::vector<std::string> names, Rows rows) {
    return std::make_shared<MemoryRecordset>(std::move(names), std::move(rows));
}

class ReportTest : public ::testing::Test {
protected:
    static constexpr double kMmPerPoint = 25.4 / 72.0;
    static constexpr double kTwipsPerMm = 1440.0 / 25.4;
    static constexpr double kOffset = 5.0;

    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        modqorPrintLib().Reset();
        GenServicesObject& services = GenServices();
        services.Unattended = true;
        services.LanguageOffset = 0;
        services.NoLayoutCheck = false;
        previousLocale_ = std::string(services.Locale);
        services.Locale = "nl_BE";
        char tmpl[] = "/tmp/qorreport-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        previousObserver_ = services.SetMessageObserver([this](const Message& m) {
            messages.push_back(m);
            return answer;
        });
    }

    void TearDown() override {
        GenServicesObject& services = GenServices();
        services.SetMessageObserver(std::move(previousObserver_));
        services.Locale = previousLocale_;
        services.NoLayoutCheck = false;
        modqorPrintLib().Reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string File(const std::string& name) const { return (dir_ / name).string(); }
    std::string Pdf() const { return File("report.pdf"); }

    // The report of `lib`, set up for a PDF in `orient` (1 portrait, 2 landscape).
    clsRapport& Report(int32_t orient = 1) {
        clsRapport& r = lib.PrRapport();
        r.Init("", 3, orient, 1, 9, Pdf());
        return r;
    }

    // Number of pages of the PDF as pdfinfo reports it, after checking it with qpdf.
    int Pages() {
        int status = 0;
        const std::string check = Shell("qpdf --check '" + Pdf() + "'", &status);
        EXPECT_EQ(status, 0) << check;
        const std::string info = Shell("pdfinfo '" + Pdf() + "'");
        const std::size_t at = info.find("Pages:");
        if (at == std::string::npos) {
            ADD_FAILURE() << "pdfinfo: " << info;
            return -1;
        }
        return std::atoi(info.c_str() + at + 6);
    }

    // The words of page `page` of the PDF.
    std::vector<Word> Words(int page = 1) {
        const std::string xml = Shell("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                      std::to_string(page) + " '" + Pdf() + "' -");
        // <word xMin="..." yMin="..." xMax="..." yMax="...">text</word>
        std::vector<Word> words;
        for (std::size_t at = xml.find("<word "); at != std::string::npos; at = xml.find("<word ", at + 1)) {
            const auto attribute = [&](const char* name) {
                const std::size_t p = xml.find(std::string(name) + "=\"", at);
                return std::atof(xml.c_str() + p + std::strlen(name) + 2) * kMmPerPoint - kOffset;
            };
            const std::size_t open = xml.find('>', at) + 1;
            const std::size_t close = xml.find("</word>", open);
            words.push_back({Unescape(xml.substr(open, close - open)), attribute("xMin"),
                             attribute("yMin"), attribute("xMax"), attribute("yMax")});
        }
        return words;
    }

    // The words of `page` whose text is `text`.
    std::vector<Word> Find(const std::string& text, int page = 1) {
        std::vector<Word> found;
        for (const Word& w : Words(page)) {
            if (w.text == text) found.push_back(w);
        }
        return found;
    }

    // The only word `text` on `page`; fails the test when there is not exactly one.
    Word One(const std::string& text, int page = 1) {
        const std::vector<Word> found = Find(text, page);
        EXPECT_EQ(found.size(), 1u) << "word \"" << text << "\" on page " << page;
        return found.empty() ? Word{} : found.front();
    }

    // The lines (kind Line) or rectangles of page `page` of the thread's surface.
    std::vector<Shape> Shapes(surface::RecordKind kind, int page = 1) {
        const surface::Document& doc = surface::DocumentOf(PreviewSurface());
        std::vector<Shape> shapes;
        if (page < 1 || page > static_cast<int>(doc.pages.size())) {
            ADD_FAILURE() << "no page " << page;
            return shapes;
        }
        for (const surface::Record& rec : doc.pages[static_cast<std::size_t>(page - 1)].records) {
            if (rec.Kind() != kind) continue;
            const surface::ShapeStyle& style = doc.shapeStyles[rec.Style()];
            shapes.push_back({rec.v[0] / kTwipsPerMm - kOffset, rec.v[1] / kTwipsPerMm - kOffset,
                              rec.v[2] / kTwipsPerMm - kOffset, rec.v[3] / kTwipsPerMm - kOffset,
                              style.penRgb, style.penWidth});
        }
        return shapes;
    }

    // The horizontal lines of `page` at height `y` (within 0.05 mm).
    std::vector<Shape> HorizontalAt(double y, int page = 1) {
        std::vector<Shape> found;
        for (const Shape& s : Shapes(surface::RecordKind::Line, page)) {
            if (std::abs(s.y1 - y) < 0.05 && std::abs(s.y2 - y) < 0.05) found.push_back(s);
        }
        return found;
    }

    static std::string Unescape(std::string s) {
        const std::pair<const char*, const char*> entities[] = {
            {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
        for (auto [from, to] : entities) {
            for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
                s.replace(at, std::strlen(from), to);
        }
        return s;
    }

    clsqorPrintLib lib;
    std::vector<Message> messages;
    std::optional<int32_t> answer;  // the answer to every message; nullopt: the default button

private:
    std::filesystem::path dir_;
    std::string previousLocale_;
    MessageObserver previousObserver_;
};

// The RuntimeError `call` throws; fails the test when it throws none.
template <typename F>
RuntimeError ErrorOf(F call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e;
    }
    ADD_FAILURE() << "no RuntimeError";
    return RuntimeError(0, "");
}

}  // namespace qor::test
