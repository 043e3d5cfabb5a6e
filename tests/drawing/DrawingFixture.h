// A document on a real surface for the drawing tests, read back from the PDF it writes:
// word boxes with poppler, pixels of the rendered page, structure with qpdf.
#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <qor/GenServices.h>
#include <qor/Picture.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "core/ModuleState.h"
#include "drawing/ExcelBridge.h"
#include "support/Files.h"
#include "support/Pdf.h"

namespace qor::test {

// A 100 x 50 pixel picture at 96 dpi (26.46 x 13.23 mm), red.
inline Picture RedPicture() {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Picture::FromBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// Opens a fresh document (A4 portrait, 10 mm margins) on a surface of its own, hands it to
// `lib`, and writes it as PDF on demand.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        modqorPrintLib().Reset();
        const double margin = GenServices().MmToTwips(10);
        surface.MarginLeft(margin);
        surface.MarginRight(margin);
        surface.MarginTop(margin);
        surface.MarginBottom(margin);
        surface.StartDoc();
        lib.VPrinter = &surface;
    }
    void TearDown() override { modqorPrintLib().Reset(); }

    // The document as a PDF that qpdf accepts, written once.
    const std::string& Pdf() {
        if (pdf_.empty()) {
            if (surface.IsDocOpen()) surface.EndDoc();
            pdf_ = dir_.File("out.pdf");
            VSPDF().ConvertDocument(surface, pdf_);
            std::string report;
            EXPECT_TRUE(QpdfCheck(pdf_, &report)) << report;
        }
        return pdf_;
    }

    // Every word of page 1, in millimetres from the paper's corner.
    std::vector<Word> Words() { return PageWords(Pdf(), 1); }

    // The first word with text `text` on page 1; fails the test when there is none.
    Word FindWord(const std::string& text) {
        for (const Word& w : Words())
            if (w.text == text) return w;
        ADD_FAILURE() << "no word \"" << text << "\"";
        return {};
    }

    // Page `page` rendered at `dpi` by poppler.
    QImage Render(int page = 1, int dpi = 144) {
        dpi_ = dpi;
        QImage image(QString::fromStdString(RenderPage(Pdf(), page, dpi, dir_.File("page" + std::to_string(page)))));
        EXPECT_FALSE(image.isNull()) << "page " << page << " did not render";
        return image;
    }

    // The colour of the rendered page at (x, y) mm from the paper's corner.
    QColor At(const QImage& image, double xMm, double yMm) const {
        const int x = static_cast<int>(xMm / 25.4 * dpi_), y = static_cast<int>(yMm / 25.4 * dpi_);
        return image.valid(x, y) ? image.pixelColor(x, y) : QColor(Qt::transparent);
    }

    // True when some pixel within `radiusMm` of (x, y) mm is dark (ink of a black line).
    bool InkNear(const QImage& image, double xMm, double yMm, double radiusMm = 0.4) const {
        const double step = 25.4 / dpi_;
        for (double dx = -radiusMm; dx <= radiusMm; dx += step)
            for (double dy = -radiusMm; dy <= radiusMm; dy += step)
                if (At(image, xMm + dx, yMm + dy).lightness() < 128) return true;
        return false;
    }

    // Millimetres of a surface measurement in twips.
    static double Mm(double twips) { return GenServices().TwipsToMm(static_cast<float>(twips)); }

    VSPrinter surface;
    clsqorPrintLib lib;

private:
    TempDir dir_;
    std::string pdf_;
    int dpi_ = 144;
};

// Collects the messages shown while it lives, answering OK.
class MessageLog {
public:
    MessageLog()
        : watch_([this](const Message& m) {
              seen.push_back(m);
              return std::optional<int32_t>(kAnswerOk);
          }) {}
    std::vector<Message> seen;

private:
    ScopedMessageObserver watch_;
};

// While it lives, the thread's document goes to a spreadsheet writer that records each cell
// as "T|Left|Top|Item|Pattern|Align|PrintStyle|Style|FontSize|FontName|Color" and changes
// the item it was handed to "changed".
class CellLog {
public:
    CellLog() : previous_(SetExcelCellWriter(&Record)) {
        cells().clear();
        modqorPrintLib().ExcelMode = true;
    }
    ~CellLog() { SetExcelCellWriter(previous_); }
    static std::vector<std::string>& cells() {
        static std::vector<std::string> recorded;
        return recorded;
    }

private:
    static void Record(float T, float Left, float Top, Variant& Item, const std::string& Pattern, int32_t Align,
                       int32_t PrintStyle, const std::string& Style, float FontSize, const std::string& FontName,
                       int32_t Color) {
        std::ostringstream cell;
        cell << T << "|" << Left << "|" << Top << "|" << CStr(Item) << "|" << Pattern << "|" << Align << "|"
             << PrintStyle << "|" << Style << "|" << FontSize << "|" << FontName << "|" << Color;
        cells().push_back(cell.str());
        Item = Variant("changed");
    }
    ExcelCellWriter previous_;
};

}  // namespace qor::test
