// The invoice pages drawn with pango on a cairo PDF surface, fonts from fontconfig: title box
// and texts, frame, captions, dividers, one line of six texts and a separator per record,
// foot lines, and the totals band; amounts formatted as the Qt peer's en_US locale does.
#include "Peers.h"

#include "support/Invoices.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace reportpdf {

namespace {

// "1234567.891" -> "1,234,567.89": two decimals with thousands separators.
std::string Amount(double v) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2f", v < 0 ? -v : v);
    std::string whole(digits, std::string(digits).find('.'));
    std::string out;
    if (v < 0) out.push_back('-');
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out.push_back(',');
        out.push_back(whole[i]);
    }
    return out.append(digits + whole.size());
}

// The en_US short date of today, M/d/yy.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char text[48];
    std::snprintf(text, sizeof text, "%d/%d/%02d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year % 100);
    return text;
}

class Page {
public:
    // Pango sizes fonts for 96 dpi by default; the PDF surface's unit is the point.
    explicit Page(cairo_t* cr) : cr_(cr), layout_(pango_cairo_create_layout(cr)) {
        pango_cairo_context_set_resolution(pango_layout_get_context(layout_), 72);
        pango_layout_context_changed(layout_);
    }
    ~Page() { g_object_unref(layout_); }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    static double X(double mmValue) { return (mmValue + kOffsetMm) * 72 / 25.4; }

    // `s` with its left edge, right edge or middle (a = 0, 1, 2) at x, its top at y (mm).
    void Text(double x, double y, const std::string& s, int a, const PangoFontDescription* font) {
        if (font != font_) {
            pango_layout_set_font_description(layout_, font);
            font_ = font;
        }
        pango_layout_set_text(layout_, s.data(), static_cast<int>(s.size()));
        double left = X(x);
        if (a != 0) {
            int w = 0;
            pango_layout_get_size(layout_, &w, nullptr);
            const double width = w / double(PANGO_SCALE);
            left -= a == 1 ? width : width / 2;
        }
        cairo_move_to(cr_, left, X(y));
        pango_cairo_show_layout(cr_, layout_);
    }

    void Rgb(int r, int g, int b) { cairo_set_source_rgb(cr_, r / 255.0, g / 255.0, b / 255.0); }
    void Fill(double x, double y, double w, double h) {
        cairo_rectangle(cr_, X(x), X(y), w * 72 / 25.4, h * 72 / 25.4);
        cairo_fill(cr_);
    }
    void Box(double x, double y, double w, double h, double width) {
        cairo_set_line_width(cr_, width);
        cairo_rectangle(cr_, X(x), X(y), w * 72 / 25.4, h * 72 / 25.4);
        cairo_stroke(cr_);
    }
    void Line(double x1, double y1, double x2, double y2, double width) {
        cairo_set_line_width(cr_, width);
        cairo_move_to(cr_, X(x1), X(y1));
        cairo_line_to(cr_, X(x2), X(y2));
        cairo_stroke(cr_);
    }

private:
    cairo_t* cr_;
    PangoLayout* layout_;
    const PangoFontDescription* font_ = nullptr;
};

PangoFontDescription* Font(double points, bool bold) {
    PangoFontDescription* f = pango_font_description_from_string("Arial");
    pango_font_description_set_size(f, static_cast<int>(points * PANGO_SCALE));
    if (bold) pango_font_description_set_weight(f, PANGO_WEIGHT_BOLD);
    return f;
}

}  // namespace

Measure RunCairoReference(const std::string& db, const std::string& pdf) {
    using Clock = std::chrono::steady_clock;
    Measure m;
    const auto t0 = Clock::now();
    cairo_surface_t* surface = cairo_pdf_surface_create(pdf.c_str(), 595.276, 841.89);
    cairo_t* cr = cairo_create(surface);
    PangoFontDescription* normal = Font(9, false);
    PangoFontDescription* bold = Font(9, true);
    PangoFontDescription* title = Font(24, true);
    PangoFontDescription* caps = Font(8, false);
    const double thick = 10 * 72.0 / 1440, thin = 72.0 / 1440;
    const std::string today = Today();
    {
        Page p(cr);
        int page = 0;
        auto frame = [&]() {
            if (page > 0) cairo_show_page(cr);
            ++page;
            p.Rgb(0x0A, 0x24, 0x6A);
            p.Fill(10, 5, 180, 13);
            p.Rgb(0x79, 0xCD, 0x0D);
            p.Text(15, 6, "Invoices", 0, title);
            p.Rgb(255, 255, 255);
            p.Text(185, 12, "Benchmark", 1, bold);
            p.Rgb(0xF0, 0xF0, 0xF0);
            p.Fill(10, 24, 180, 6);
            p.Rgb(0, 0, 0);
            p.Box(10, 24, 180, 250, thick);
            for (int c = 0; c < 6; ++c) {
                if (c > 0) p.Line(kColX[c], 24, kColX[c], kFrameBottomMm, thick);
                p.Text(CellX(c), 25, kCaptions[c], kAlign[c], caps);
            }
            p.Text(10, 276, today, 0, normal);
            p.Text(100, 276, "qorPrintLib", 2, normal);
            p.Text(190, 276, "Page " + std::to_string(page), 1, normal);
        };
        const Totals t = WalkInvoices(db, frame, [&](sqlite3_stmt* st, double y) {
            for (int c = 0; c < 4; ++c)
                p.Text(CellX(c), y, reinterpret_cast<const char*>(sqlite3_column_text(st, c)), kAlign[c], normal);
            for (int c = 4; c < 6; ++c) p.Text(CellX(c), y, Amount(sqlite3_column_double(st, c)), kAlign[c], normal);
            p.Line(10, y + 3.7, 190, y + 3.7, thin);
        });
        p.Box(10, 266, 180, 8, thick);
        p.Text(15, 268, "TOTAL", 0, bold);
        p.Text(CellX(0), 268, std::to_string(t.count), 0, bold);
        p.Text(CellX(4), 268, Amount(t.amount), 1, bold);
        p.Text(CellX(5), 268, Amount(t.total), 1, bold);
        m.pages = page;
    }
    for (PangoFontDescription* f : {normal, bold, title, caps}) pango_font_description_free(f);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    m.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    m.peakMb = bench::PeakMb();
    std::error_code ec;
    m.fileBytes = static_cast<double>(std::filesystem::file_size(pdf, ec));
    return m;
}

}  // namespace reportpdf
