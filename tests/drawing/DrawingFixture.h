// A document on a real surface for the drawing tests, read back from the PDF it writes:
// word boxes with poppler's pdftotext -bbox, pixels with pdftoppm, structure with qpdf.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <qor/GenServices.h>
#include <qor/ModuleState.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

namespace qor::test {

constexpr double kMmPerPoint = 25.4 / 72.0;

// A word of the PDF, in millimetres from the paper's top-left corner.
struct PdfWord {
    std::string text;
    double left = 0, top = 0, right = 0, bottom = 0;
    double CentreX() const { return (left + right) / 2; }
};

inline std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        if (status) *status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

// Decodes the entities pdftotext writes in its XHTML output.
inline std::string Unescape(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : entities) {
        for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1)) {
            s.replace(at, std::strlen(from), to);
        }
    }
    return s;
}

// Opens a fresh document (A4 portrait, 10 mm margins) on a surface of its own, hands it to
// `lib`, and writes it as PDF on demand.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        modqorPrintLib().Reset();
        char tmpl[] = "/tmp/qordrawing-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        const double margin = GenServices().MmToTwips(10);
        surface.MarginLeft(margin);
        surface.MarginRight(margin);
        surface.MarginTop(margin);
        surface.MarginBottom(margin);
        surface.StartDoc();
        lib.VPrinter = &surface;
    }
    void TearDown() override {
        modqorPrintLib().Reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    // Ends the document, writes it as PDF and checks the file with qpdf.
    std::string WritePdf() {
        if (surface.IsDocOpen()) surface.EndDoc();
        const std::string pdf = File("out.pdf");
        VSPDF().ConvertDocument(surface, pdf);
        int status = 0;
        const std::string report = Shell("qpdf --check '" + pdf + "'", &status);
        EXPECT_EQ(status, 0) << report;
        return pdf;
    }

    // Every word of page `page` of the document.
    std::vector<PdfWord> Words(int page = 1) {
        if (pdf_.empty()) pdf_ = WritePdf();
        const std::string xml = Shell("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                      std::to_string(page) + " '" + pdf_ + "' -");
        // <word xMin="..." yMin="..." xMax="..." yMax="...">text</word>
        auto attribute = [](const std::string& tag, const char* name) {
            const std::size_t at = tag.find(std::string(name) + "=\"");
            return at == std::string::npos ? 0.0 : std::stod(tag.substr(at + std::strlen(name) + 2));
        };
        std::vector<PdfWord> words;
        for (std::size_t at = xml.find("<word "); at != std::string::npos; at = xml.find("<word ", at + 1)) {
            const std::size_t close = xml.find('>', at);
            const std::size_t end = xml.find("</word>", close);
            if (close == std::string::npos || end == std::string::npos) break;
            const std::string tag = xml.substr(at, close - at);
            words.push_back({Unescape(xml.substr(close + 1, end - close - 1)), attribute(tag, "xMin") * kMmPerPoint,
                             attribute(tag, "yMin") * kMmPerPoint, attribute(tag, "xMax") * kMmPerPoint,
                             attribute(tag, "yMax") * kMmPerPoint});
        }
        return words;
    }

    // The first word with text `text`; fails the test when there is none.
    PdfWord Word(const std::string& text, int page = 1) {
        for (const PdfWord& w : Words(page)) {
            if (w.text == text) return w;
        }
        ADD_FAILURE() << "no word \"" << text << "\" on page " << page;
        return {};
    }

    // Page `page` rendered at `dpi` by poppler.
    QImage Render(int page = 1, int dpi = 144) {
        if (pdf_.empty()) pdf_ = WritePdf();
        const std::string base = File("page" + std::to_string(page));
        Shell("pdftoppm -png -r " + std::to_string(dpi) + " -f " + std::to_string(page) + " -l " +
              std::to_string(page) + " -singlefile '" + pdf_ + "' '" + base + "'");
        dpi_ = dpi;
        QImage image(QString::fromStdString(base + ".png"));
        EXPECT_FALSE(image.isNull()) << "page " << page << " did not render";
        return image;
    }

    // The colour of the rendered page at (x, y) mm from the paper's corner.
    QColor At(const QImage& image, double xMm, double yMm) const {
        const int x = static_cast<int>(xMm / 25.4 * dpi_);
        const int y = static_cast<int>(yMm / 25.4 * dpi_);
        if (!image.valid(x, y)) return QColor(Qt::transparent);
        return image.pixelColor(x, y);
    }

    // True when some pixel within `radiusMm` of (x, y) mm is dark (ink of a black line).
    bool InkNear(const QImage& image, double xMm, double yMm, double radiusMm = 0.4) const {
        const double step = 25.4 / dpi_;
        for (double dx = -radiusMm; dx <= radiusMm; dx += step) {
            for (double dy = -radiusMm; dy <= radiusMm; dy += step) {
                if (At(image, xMm + dx, yMm + dy).lightness() < 128) return true;
            }
        }
        return false;
    }

    VSPrinter surface;
    clsqorPrintLib lib;

private:
    std::filesystem::path dir_;
    std::string pdf_;
    int dpi_ = 144;
};

}  // namespace qor::test
