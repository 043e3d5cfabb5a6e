#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "qor/RuntimeError.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"

namespace qor {
namespace {

using surface::DocumentOf;
using surface::RecordKind;
constexpr double kTwipsPerMm = 1440.0 / 25.4;

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(Document, PaperSizesByWindowsCodeAndOrientation) {
    struct Case {
        int code;
        double wMm, hMm;
    } cases[] = {
        {1, 215.9, 279.4}, {5, 215.9, 355.6}, {8, 297, 420}, {9, 210, 297}, {11, 148, 210},
        {13, 182, 257},    {20, 104.775, 241.3}, {27, 110, 220}, {28, 162, 229}, {30, 229, 324},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        VSPrinter p;
        p.PaperSize(c.code);
        EXPECT_NEAR(p.PageWidth(), c.wMm * kTwipsPerMm, 0.01);
        EXPECT_NEAR(p.PageHeight(), c.hMm * kTwipsPerMm, 0.01);
        p.Orientation(1);
        p.StartDoc();
        EXPECT_NEAR(p.PageWidth(), c.hMm * kTwipsPerMm, 0.01);
        EXPECT_NEAR(p.PageHeight(), c.wMm * kTwipsPerMm, 0.01);
    }
    VSPrinter p;
    EXPECT_EQ(p.PaperSize(), 9);
    EXPECT_EQ(p.Orientation(), 0);
    EXPECT_EQ(ErrorOf([&] { p.PaperSize(0); }), 380);
    EXPECT_EQ(ErrorOf([&] { p.PaperSize(999); }), 380);
    EXPECT_EQ(ErrorOf([&] { p.Orientation(2); }), 380);
    EXPECT_EQ(p.PaperSize(), 9);
}

TEST(Document, LifecycleAndPageCount) {
    VSPrinter p;
    EXPECT_EQ(p.PageCount(), 0);
    EXPECT_EQ(ErrorOf([&] { p.NewPage(); }), 5);
    EXPECT_EQ(ErrorOf([&] { p.Text("x"); }), 5);
    EXPECT_EQ(ErrorOf([&] { p.DrawLine(0, 0, 1, 1); }), 5);
    p.MarginLeft(567);
    p.MarginTop(600);
    p.StartDoc();
    EXPECT_TRUE(p.IsDocOpen());
    EXPECT_EQ(p.PageCount(), 1);
    EXPECT_DOUBLE_EQ(p.CurrentX(), 567);
    EXPECT_DOUBLE_EQ(p.CurrentY(), 600);
    p.CurrentX(5000);
    p.NewPage();
    p.NewPage();
    EXPECT_EQ(p.PageCount(), 3);
    EXPECT_EQ(p.CurrentPage(), 3);
    EXPECT_DOUBLE_EQ(p.CurrentX(), 567);
    p.EndDoc();
    EXPECT_FALSE(p.IsDocOpen());
    EXPECT_EQ(p.PageCount(), 3);   // kept for output
    EXPECT_EQ(ErrorOf([&] { p.Text("late"); }), 5);
    p.KillDoc();
    EXPECT_EQ(p.PageCount(), 0);
    // A new document starts afresh.
    p.StartDoc();
    p.Text("a");
    p.StartDoc();
    EXPECT_EQ(p.PageCount(), 1);
    EXPECT_TRUE(DocumentOf(p).pages[0].records.empty());
}

TEST(Document, TextAdvancesCurrentXAndLineBreaksGoDown) {
    VSPrinter p;
    p.StartDoc();
    p.CurrentX(1000);
    p.CurrentY(2000);
    double w = p.TextWidth("Hello World");
    p.Text("Hello World");
    EXPECT_NEAR(p.CurrentX(), 1000 + w, 1e-9);
    EXPECT_DOUBLE_EQ(p.CurrentY(), 2000);
    double h = p.TextHeight("x");
    p.CurrentX(1000);
    p.Text("ab\r\ncd\nlast");
    EXPECT_NEAR(p.CurrentY(), 2000 + 2 * h, 1e-9);
    EXPECT_NEAR(p.CurrentX(), 1000 + p.TextWidth("last"), 1e-9);
    const auto& recs = DocumentOf(p).pages[0].records;
    ASSERT_EQ(recs.size(), 4u);
    // The record keeps whole twips: x, and the baseline at top + ascent (Arial 9: 162.95).
    EXPECT_EQ(recs[0].v[0], 1000);
    EXPECT_EQ(recs[0].v[1], 2163);
    EXPECT_EQ(recs[2].v[1], static_cast<int>(std::lround(2000 + h + 162.95)));
    EXPECT_EQ(recs[3].v[0], 1000);
    // A text of blanks moves on but leaves no record.
    p.Text("   ");
    EXPECT_EQ(recs.size(), 4u);
}

TEST(Document, ShapesBecomeRecordsWithSharedStyles) {
    VSPrinter p;
    p.StartDoc();
    p.PenWidth(10);
    p.PenColor(0x0000FF);   // &HBBGGRR: red
    for (int i = 0; i < 100; ++i) p.DrawLine(0, i * 10, 1000, i * 10);
    p.BrushStyle(1);
    p.DrawCircle(5000, 5000, 500);             // default pair: whole circle
    p.DrawCircle(5000, 5000, 500, 90, 90);      // equal: whole circle
    p.DrawCircle(5000, 5000, 500, 0, 90);       // transparent brush: open arc
    p.BrushStyle(0);
    p.BrushColor(static_cast<int32_t>(0x8000000F));   // button face
    p.DrawCircle(5000, 5000, 500, 0, 90);       // filled: pie
    p.DrawRectangle(300, 400, 100, 200, 5000);  // corners swapped, radius clamped
    const auto& doc = DocumentOf(p);
    const auto& recs = doc.pages[0].records;
    ASSERT_EQ(recs.size(), 105u);
    EXPECT_EQ(recs[100].Kind(), RecordKind::Circle);
    EXPECT_EQ(recs[101].Kind(), RecordKind::Circle);
    EXPECT_EQ(recs[102].Kind(), RecordKind::Arc);
    EXPECT_EQ(recs[103].Kind(), RecordKind::Pie);
    EXPECT_FLOAT_EQ(recs[103].FloatAt(4), 90.f);
    const auto& rect = recs[104];
    EXPECT_EQ(rect.v[0], 100);
    EXPECT_EQ(rect.v[1], 200);
    EXPECT_EQ(rect.v[2], 300);
    EXPECT_EQ(rect.v[3], 400);
    EXPECT_EQ(rect.v[4], 100 | (100 << 16));   // half the smaller side
    EXPECT_EQ(doc.shapeStyles[recs[0].Style()].penRgb, 0xFF0000u);
    EXPECT_EQ(doc.shapeStyles[recs[103].Style()].brushRgb, 0xF0F0F0u);
    EXPECT_EQ(doc.shapeStyles.size(), 2u);   // 100 lines and 3 circles share one style
    EXPECT_EQ(ErrorOf([&] { p.PenStyle(9); }), 380);
    EXPECT_EQ(ErrorOf([&] { p.BrushStyle(-1); }), 380);
    EXPECT_EQ(ErrorOf([&] { p.PenWidth(-1); }), 380);
}

TEST(Document, RecordsAreCompactAndTextsShared) {
    VSPrinter p;
    p.StartDoc();
    for (int page = 0; page < 20; ++page) {
        for (int i = 0; i < 300; ++i) {
            p.CurrentX(1000 + (i % 6) * 1500);
            p.CurrentY(1000 + (i / 6) * 250);
            p.Text(i % 6 == 0 ? "Invoice " + std::to_string(page * 300 + i) : "1.234,50");
        }
        p.NewPage();
    }
    const auto& doc = DocumentOf(p);
    ASSERT_EQ(doc.RecordCount(), 6000u);
    double perRecord = static_cast<double>(doc.MemoryBytes()) / doc.RecordCount();
    EXPECT_LT(perRecord, 40.0);
    // "1.234,50" is stored once however often it is drawn.
    const auto& recs = doc.pages[0].records;
    EXPECT_EQ(recs[1].v[2], doc.pages[7].records[2].v[2]);
    EXPECT_EQ(doc.fonts.size(), 1u);
    EXPECT_EQ(doc.textStyles.size(), 1u);
}

TEST(Document, ColoursFollowTheWindowsLayout) {
    EXPECT_EQ(surface::ColorToRgb(0x0000FF), 0xFF0000u);
    EXPECT_EQ(surface::ColorToRgb(0x00FF00), 0x00FF00u);
    EXPECT_EQ(surface::ColorToRgb(0xFF0000), 0x0000FFu);
    EXPECT_EQ(surface::ColorToRgb(0xFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(surface::ColorToRgb(-2147483633), 0xF0F0F0u);   // &H8000000F
    EXPECT_EQ(surface::ColorToRgb(static_cast<int32_t>(0x80000005)), 0xFFFFFFu);
}

TEST(Document, AppendTextLeavesTheSurfaceStateAlone) {
    VSPrinter p;
    p.StartDoc();
    p.CurrentX(10);
    p.CurrentY(20);
    FontSpec bold{"Arial", 12, true};
    double w = surface::AppendText(p, 3000, 4000, "rich run", bold, 0x0000FF);
    EXPECT_NEAR(w, surface::MeasureText(bold, "rich run"), 1e-9);
    EXPECT_DOUBLE_EQ(p.CurrentX(), 10);
    EXPECT_DOUBLE_EQ(p.CurrentY(), 20);
    EXPECT_FALSE(p.Font().Bold);
    const auto& doc = DocumentOf(p);
    const auto& r = doc.pages[0].records.at(0);
    EXPECT_EQ(r.v[0], 3000);
    EXPECT_EQ(r.v[1], static_cast<int>(std::lround(4000 + surface::MetricsOf(bold).ascent)));
    EXPECT_EQ(doc.textStyles[r.Style()].rgb, 0xFF0000u);
    EXPECT_NEAR(surface::MetricsOf(FontSpec{}).height, 201.09, 0.05);
}

}  // namespace
}  // namespace qor
