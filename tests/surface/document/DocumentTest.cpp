// The retained document: paper, the document's life cycle, the records drawing leaves, and
// the fonts text is measured with (families resolved to files, fallback faces).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include <QImage>
#include <QPainter>

#include "qor/PagePainting.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/PagePainter.h"
#include "surface/Fonts.h"
#include "support/Errors.h"
#include "support/Pdf.h"

namespace qor {
namespace {

using surface::DocumentOf;
using surface::FontRegistry;
using surface::RecordKind;
using test::ExpectRuntimeError;
using test::kTwipsPerMm;

TEST(Document, PaperSizesByWindowsCodeAndOrientation) {
    struct Case {
        int code;
        double wMm, hMm;
    } cases[] = {{1, 215.9, 279.4}, {5, 215.9, 355.6}, {8, 297, 420},        {9, 210, 297},  {11, 148, 210},
                 {13, 182, 257},    {20, 104.775, 241.3}, {27, 110, 220}, {28, 162, 229}, {30, 229, 324}};
    for (const Case& c : cases) {
        VSPrinter p;
        p.PaperSize(c.code);
        EXPECT_NEAR(p.PageWidth(), c.wMm * kTwipsPerMm, 0.01) << c.code;
        EXPECT_NEAR(p.PageHeight(), c.hMm * kTwipsPerMm, 0.01) << c.code;
        p.Orientation(1);
        p.StartDoc();
        EXPECT_NEAR(p.PageWidth(), c.hMm * kTwipsPerMm, 0.01) << c.code;
    }
    VSPrinter p;
    for (int bad : {0, 999}) ExpectRuntimeError(380, [&] { p.PaperSize(bad); });
    ExpectRuntimeError(380, [&] { p.Orientation(2); });
    EXPECT_EQ(p.PaperSize(), 9);
}

TEST(Document, LifecyclePageCountAndTextPosition) {
    VSPrinter p;
    ExpectRuntimeError(5, [&] { p.DrawLine(0, 0, 1, 1); });   // no open document
    p.MarginLeft(567);
    p.StartDoc();
    p.CurrentX(5000);
    p.NewPage();
    p.NewPage();
    EXPECT_EQ(p.PageCount() * 10 + p.CurrentPage(), 33);
    EXPECT_DOUBLE_EQ(p.CurrentX(), 567);
    p.EndDoc();
    EXPECT_EQ(p.PageCount(), 3);   // kept for output
    ExpectRuntimeError(5, [&] { p.Text("late"); });
    p.KillDoc();
    EXPECT_EQ(p.PageCount(), 0);

    // Text advances CurrentX; line breaks go down.
    p.StartDoc();
    p.CurrentX(1000);
    p.CurrentY(2000);
    p.Text("ab\r\ncd\nlast");
    const double h = p.TextHeight("x");
    EXPECT_NEAR(p.CurrentY(), 2000 + 2 * h, 1e-9);
    EXPECT_NEAR(p.CurrentX(), 1000 + p.TextWidth("last"), 1e-9);
    p.Text("   ");   // blanks move on but leave no record
    const auto& recs = DocumentOf(p).pages[0].records;
    ASSERT_EQ(recs.size(), 3u);
    // Whole twips: x, and the baseline at top + ascent (Arial 9: 162.95).
    EXPECT_EQ(recs[0].v[0], 1000);
    EXPECT_EQ(recs[0].v[1], 2163);
    EXPECT_EQ(recs[2].v[1], static_cast<int>(std::lround(2000 + 2 * h + 162.95)));
}

TEST(Document, ShapesBecomeRecordsWithSharedStyles) {
    VSPrinter p;
    p.StartDoc();
    p.PenColor(0x0000FF);   // &HBBGGRR: red
    for (int i = 0; i < 100; ++i) p.DrawLine(0, i * 10, 1000, i * 10);
    p.BrushStyle(1);
    p.DrawCircle(5000, 5000, 500);              // default pair: whole circle
    p.DrawCircle(5000, 5000, 500, 90, 90);      // equal: whole circle
    p.DrawCircle(5000, 5000, 500, 0, 90);       // transparent brush: open arc
    p.BrushStyle(0);
    p.BrushColor(static_cast<int32_t>(0x8000000F));   // button face
    p.DrawCircle(5000, 5000, 500, 0, 90);       // filled: pie
    p.DrawRectangle(300, 400, 100, 200, 5000);  // corners swapped, radius clamped
    const auto& doc = DocumentOf(p);
    const auto& recs = doc.pages[0].records;
    ASSERT_EQ(recs.size(), 105u);
    const RecordKind kinds[] = {RecordKind::Circle, RecordKind::Circle, RecordKind::Arc, RecordKind::Pie};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(recs[size_t(100 + i)].Kind(), kinds[i]) << i;
    EXPECT_FLOAT_EQ(recs[103].FloatAt(4), 90.f);
    const int32_t rect[] = {100, 200, 300, 400, 100 | (100 << 16)};   // radii: half the smaller side
    EXPECT_TRUE(std::equal(rect, rect + 5, recs[104].v));
    EXPECT_EQ(doc.shapeStyles[recs[0].Style()].penRgb, 0xFF0000u);
    EXPECT_EQ(doc.shapeStyles[recs[103].Style()].brushRgb, 0xF0F0F0u);
    EXPECT_EQ(doc.shapeStyles.size(), 2u);   // 100 lines and 3 circles share one style
    ExpectRuntimeError(380, [&] { p.PenStyle(9); });
    ExpectRuntimeError(380, [&] { p.PenWidth(-1); });
}

// A document whose pages are set aside as they are finished writes the same PDF as one kept
// whole, also with a background colour given after they were set aside; reading the
// document brings every page back.
TEST(Document, SpilledPagesWriteTheSamePdfAndComeBackWhole) {
    auto draw = [](VSPrinter& p, size_t spillAbove, surface::SpillTo where) {
        p.StartDoc();
        surface::SpillPagesAbove(p, spillAbove, where);
        for (int page = 0; page < 4; ++page) {
            if (page > 0) p.NewPage();
            for (int i = 0; i < 30; ++i) {
                p.CurrentX(1000);
                p.CurrentY(1000 + i * 300);
                p.Text("page " + std::to_string(page) + " line " + std::to_string(i % 7));
            }
            p.DrawLine(0, 0, 1000, 1000);
        }
        p.BackColor(0xCCFFFF);
        p.EndDoc();
    };
    VSPrinter whole, inMemory, spilled;
    draw(whole, 0, surface::SpillTo::File);
    draw(inMemory, 1, surface::SpillTo::Memory);
    draw(spilled, 1, surface::SpillTo::File);
    const std::vector<int> pages{1, 2, 3, 4};
    for (const VSPrinter* p : {&inMemory, &spilled}) {
        EXPECT_TRUE(surface::DocumentAsSpilled(*p).HasSpilledPages());
        EXPECT_EQ(surface::DocumentAsSpilled(*p).pages[0].records.size(), 0u);
        EXPECT_EQ(test::WithoutPdfDates(surface::WritePdfToString(*p, pages)),
                  test::WithoutPdfDates(surface::WritePdfToString(whole, pages)));
    }

    // The painter reads a page set aside in memory without bringing the others back.
    surface::EnsureGuiApplication();
    QImage painted[2];
    for (int i = 0; i < 2; ++i) {
        painted[i] = QImage(200, 280, QImage::Format_RGB32);
        painted[i].fill(Qt::black);
        QPainter painter(&painted[i]);
        PaintPage(painter, i == 0 ? whole : inMemory, 2, 0.015);
    }
    EXPECT_EQ(painted[0], painted[1]);
    EXPECT_TRUE(surface::DocumentAsSpilled(inMemory).HasSpilledPages());

    const auto& back = DocumentOf(spilled);
    ASSERT_FALSE(back.HasSpilledPages());
    const auto& first = back.pages[0].records;
    ASSERT_EQ(first.size(), 31u);
    EXPECT_EQ(back.strings.At(static_cast<uint32_t>(first[29].v[2]), static_cast<uint32_t>(first[29].v[3])),
              "page 0 line 1");
}

// With SOURCE_DATE_EPOCH set, a file is dated by it, so two writings are byte-identical.
TEST(Document, SourceDateEpochDatesTheFile) {
    VSPrinter p;
    p.StartDoc();
    p.Text("same bytes");
    p.EndDoc();
    setenv("SOURCE_DATE_EPOCH", "1767225600", 1);  // 2026-01-01 00:00:00 UTC
    const std::string first = surface::WritePdfToString(p, {1});
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::string second = surface::WritePdfToString(p, {1});
    VSPrinter other;  // the same layout with another text: another ID
    other.StartDoc();
    other.Text("same byteS");
    other.EndDoc();
    const std::string third = surface::WritePdfToString(other, {1});
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("/CreationDate (D:20260101000000Z)"), std::string::npos);
    auto id = [](const std::string& pdf) { return pdf.substr(pdf.find("/ID [<"), 40); };
    EXPECT_NE(id(first), id(third));
}

TEST(Fonts, FamiliesResolveToMetricCompatibleFilesWithTheWindowsMeasurement) {
    auto& reg = FontRegistry::Instance();
    EXPECT_EQ(reg.Face(reg.Resolve("Times New Roman", false, false)).Family(), "Liberation Serif");
    EXPECT_TRUE(reg.Face(reg.Resolve("Courier New", false, false)).IsFixedPitch());
    const auto& boldItalic = reg.Face(reg.Resolve("Arial", true, true));
    EXPECT_TRUE(boldItalic.Family() == "Liberation Sans" && boldItalic.IsBold() && boldItalic.IsItalic());
    EXPECT_FALSE(reg.Face(reg.Resolve("Arial", false, true)).IsBold());
    ExpectRuntimeError(380, [] { VSPrinter().Font(FontSpec{"Arial", -3}); });

    VSPrinter p;   // Arial 9
    EXPECT_NEAR(p.TextWidth("Hello World"), 930.23, 0.1);   // no kerning
    EXPECT_NEAR(p.TextHeight(""), 201.09, 0.05);
    EXPECT_NEAR(p.TextHeight("a\r\nb\nc"), 3 * 201.09, 0.15);
    EXPECT_NEAR(p.TextWidth("Hi\r\nHello World\r\nx"), 930.23, 0.1) << "the widest line";
    EXPECT_NEAR(p.TextWidth("Hello\tWorld"), p.TextWidth("HelloWorld"), 1e-9) << "a tab adds nothing";
    p.Font().Size = 18;
    EXPECT_NEAR(p.TextWidth("Hello World"), 2 * 930.23, 0.2);
    const double regular = p.TextWidth("Hello World");
    p.Font().Bold = true;
    EXPECT_GT(p.TextWidth("Hello World"), regular + 10);
    p.Font().Name = "No Such Family 12345";
    EXPECT_GT(p.TextWidth("abc"), 0);
}

TEST(Fonts, CharactersTheFontLacksComeFromAFallbackFace) {
    auto& reg = FontRegistry::Instance();
    const surface::FaceId arial = reg.Resolve("Arial", false, false);
    const char32_t missing = U'\u2713';   // check mark: not in Liberation Sans
    ASSERT_EQ(reg.Face(arial).Glyph(missing), 0u);
    const surface::FaceId fb = reg.FallbackFor(arial, missing);
    ASSERT_NE(fb, arial);

    // The width counts the fallback glyph's advance, not .notdef's.
    VSPrinter p;
    EXPECT_NEAR(p.TextWidth("a\xE2\x9C\x93"),
                p.TextWidth("a") + reg.Face(fb).Advance(reg.Face(fb).Glyph(missing)) * reg.Face(fb).Scale(9), 1e-6);

    // Invalid UTF-8 (overlong, surrogate, stray, truncated) reads as U+FFFD.
    const std::string bytes = "A\xC3\xA9\xF0\x9F\x98\x80\xC0\xAF\xED\xA0\x80\x80z\xC3";
    std::u32string got;
    for (size_t i = 0; i < bytes.size();) got += surface::NextCodePoint(bytes, i);
    EXPECT_EQ(got, U"A\u00E9\U0001F600\uFFFD\uFFFD\uFFFD\uFFFDz\uFFFD");
}

}  // namespace
}  // namespace qor
