#include "qor/VSPrinter.h"

#include <algorithm>
#include <cmath>

#include "qor/RuntimeError.h"
#include "surface/Paper.h"
#include "surface/SurfaceState.h"

namespace qor {

using surface::Access;
using surface::FontRegistry;
using surface::Record;
using surface::RecordKind;

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

int32_t Round(double v) {
    if (!(std::fabs(v) < 2.0e9)) throw RuntimeError(kErrOverflow);
    return static_cast<int32_t>(std::lround(v));
}

void RequireFinite(double v) {
    if (!std::isfinite(v)) throw RuntimeError(kErrInvalidCall);
}

// Calls `line` for each line of `text` split at "\r\n", "\r" or "\n".
template <class F>
void ForEachLine(std::string_view text, F&& line) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            line(text.substr(start, i - start), false);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    line(text.substr(start), true);
}

size_t LineCount(std::string_view text) {
    size_t n = 1;
    ForEachLine(text, [&](std::string_view, bool last) { n += last ? 0 : 1; });
    return n;
}

bool HasInk(std::string_view line) {
    for (char c : line)
        if (static_cast<unsigned char>(c) > ' ') return true;
    return false;
}

void PaperTwips(int32_t code, int32_t orientation, double& w, double& h) {
    const surface::PaperInfo* p = surface::FindPaper(code);
    w = p->widthMm * kTwipsPerMm;
    h = p->heightMm * kTwipsPerMm;
    if (orientation == 1) std::swap(w, h);
}

}  // namespace

// ---- Impl --------------------------------------------------------------------------------

void VSPrinter::Impl::RequireOpen() const {
    if (!open) throw RuntimeError(kErrInvalidCall, "No document is open (StartDoc was not called)");
}

surface::Page& VSPrinter::Impl::Current() {
    RequireOpen();
    return doc.pages.back();
}

surface::FaceId VSPrinter::Impl::FaceOf(const FontSpec& fontSpec) {
    if (resolvedValid && resolvedSpec.Name == fontSpec.Name && resolvedSpec.Bold == fontSpec.Bold &&
        resolvedSpec.Italic == fontSpec.Italic)
        return resolvedFace;
    resolvedFace = FontRegistry::Instance().Resolve(fontSpec.Name, fontSpec.Bold, fontSpec.Italic);
    resolvedSpec = fontSpec;
    resolvedValid = true;
    return resolvedFace;
}

const std::vector<surface::TextRun>& VSPrinter::Impl::RunsOf(surface::FaceId face, std::string_view line) {
    if (runsValid && runsFace == face && runsText == line) return runs;
    runs.clear();
    surface::ForEachRun(face, line, [&](const surface::TextRun& run) { runs.push_back(run); });
    runsFace = face;
    runsText.assign(line);
    runsValid = true;
    return runs;
}

namespace surface {

namespace {

void CheckSize(double size) {
    if (!(size > 0 && size < 10000)) throw RuntimeError(kErrInvalidProperty, "Invalid font size");
}

double AppendLine(VSPrinter::Impl& s, double x, double y, std::string_view line,
                  const FontSpec& fontSpec, FaceId face, uint32_t rgb) {
    if (!HasInk(line)) return LineWidthTwips(face, fontSpec.Size, line);
    FontRegistry& reg = FontRegistry::Instance();
    Page& page = s.Current();
    Document& doc = s.doc;
    const float size = static_cast<float>(fontSpec.Size);
    const double baseline = y + reg.Face(face).AscentTwips(fontSpec.Size);
    const int32_t by = Round(baseline);
    double xx = x;
    for (const TextRun& run : s.RunsOf(face, line)) {
        double w = run.advanceUnits * reg.Face(run.face).Scale(fontSpec.Size);
        const FontFace& drawn = reg.Face(run.face);
        uint32_t font = doc.FontIndex(DocFont{run.face, size, fontSpec.Underline, fontSpec.Strikethrough,
                                              fontSpec.Bold && !drawn.IsBold(),
                                              fontSpec.Italic && !drawn.IsItalic()});
        uint32_t style = doc.TextStyleIndex(TextStyle{font, rgb});
        std::string_view piece = line.substr(run.begin, run.end - run.begin);
        Record r;
        r.head = Record::Head(RecordKind::Text, style);
        r.v[0] = Round(xx);
        r.v[1] = by;
        r.v[2] = static_cast<int32_t>(doc.strings.Add(piece));
        r.v[3] = static_cast<int32_t>(piece.size());
        r.v[4] = Round(w);
        page.records.push_back(r);
        xx += w;
    }
    return xx - x;
}

}  // namespace

Document& DocumentOf(VSPrinter& printer) {
    Document& doc = Access::Of(printer).doc;
    doc.RestoreSpilledPages();
    return doc;
}
const Document& DocumentOf(const VSPrinter& printer) {
    // Reading spilled pages back changes where they are kept, not the document.
    return DocumentOf(const_cast<VSPrinter&>(printer));
}
const Document& DocumentAsSpilled(const VSPrinter& printer) { return Access::Of(printer).doc; }
void AddBookmark(VSPrinter& printer, uint32_t level, std::string_view title, double y) {
    VSPrinter::Impl& s = Access::Of(printer);
    s.RequireOpen();
    RequireFinite(y);
    s.doc.AddOutlineEntry(level, title, Round(y));
}
void SetCreationTime(VSPrinter& printer, int64_t seconds) {
    Access::Of(printer).doc.creationTime = seconds;
}
void SpillPagesAbove(VSPrinter& printer, size_t bytes, SpillTo where) {
    Access::Of(printer).doc.SpillAbove(bytes, where);
}
PrinterSettings& PrinterOf(VSPrinter& printer) { return Access::Of(printer).printer; }
const PrinterSettings& PrinterOf(const VSPrinter& printer) { return Access::Of(printer).printer; }

uint32_t ColorToRgb(int32_t color) {
    uint32_t c = static_cast<uint32_t>(color);
    if (c & 0x80000000u) return SystemColorRgb(static_cast<int32_t>(c & 0xFFFFFFu));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

LineMetrics MetricsOf(const FontSpec& font) {
    CheckSize(font.Size);
    const FontFace& f = FontRegistry::Instance().Face(
        FontRegistry::Instance().Resolve(font.Name, font.Bold, font.Italic));
    return {f.AscentTwips(font.Size), f.DescentTwips(font.Size), f.HeightTwips(font.Size)};
}

double MeasureText(const FontSpec& font, std::string_view utf8) {
    CheckSize(font.Size);
    FaceId face = FontRegistry::Instance().Resolve(font.Name, font.Bold, font.Italic);
    return LineWidthTwips(face, font.Size, utf8);
}

double AppendText(VSPrinter& printer, double x, double y, std::string_view utf8,
                  const FontSpec& font, int32_t color) {
    VSPrinter::Impl& s = Access::Of(printer);
    s.RequireOpen();
    RequireFinite(x);
    RequireFinite(y);
    CheckSize(font.Size);
    FaceId face = FontRegistry::Instance().Resolve(font.Name, font.Bold, font.Italic);
    double width = 0;
    ForEachLine(utf8, [&](std::string_view line, bool) {
        width += AppendLine(s, x + width, y, line, font, face, ColorToRgb(color));
    });
    return width;
}

void AppendPageCountText(VSPrinter& printer, double x, double y, std::string_view utf8,
                         const FontSpec& font, int32_t color, int32_t align) {
    VSPrinter::Impl& s = Access::Of(printer);
    Page& page = s.Current();
    RequireFinite(x);
    RequireFinite(y);
    CheckSize(font.Size);
    const FaceId face = FontRegistry::Instance().Resolve(font.Name, font.Bold, font.Italic);
    const FontFace& drawn = FontRegistry::Instance().Face(face);
    Document& doc = s.doc;
    const uint32_t index = doc.FontIndex(DocFont{face, static_cast<float>(font.Size), font.Underline,
                                                 font.Strikethrough, font.Bold && !drawn.IsBold(),
                                                 font.Italic && !drawn.IsItalic()});
    Record r;
    r.head = Record::Head(RecordKind::PageCountText, doc.TextStyleIndex(TextStyle{index, ColorToRgb(color)}));
    r.SetFloat(0, static_cast<float>(x));  // placed when its width is known
    r.v[1] = Round(y + drawn.AscentTwips(font.Size));
    r.v[2] = static_cast<int32_t>(doc.strings.Add(utf8));
    r.v[3] = static_cast<int32_t>(utf8.size());
    r.v[4] = align;
    page.records.push_back(r);
}

std::vector<int> AllPages(const VSPrinter& printer) {
    std::vector<int> pages(DocumentAsSpilled(printer).pages.size());
    for (size_t i = 0; i < pages.size(); ++i) pages[i] = static_cast<int>(i + 1);
    return pages;
}

}  // namespace surface

// ---- VSPrinter ---------------------------------------------------------------------------

VSPrinter::VSPrinter() : impl_(std::make_unique<Impl>()) {}
VSPrinter::~VSPrinter() = default;
VSPrinter::VSPrinter(VSPrinter&&) noexcept = default;
VSPrinter& VSPrinter::operator=(VSPrinter&&) noexcept = default;

namespace {

void AddPage(VSPrinter::Impl& s) {
    surface::Page page;
    PaperTwips(s.paperSize, s.orientation, page.width, page.height);
    s.doc.pages.push_back(std::move(page));
    s.currentX = s.marginLeft;
    s.currentY = s.marginTop;
}

}  // namespace

void VSPrinter::StartDoc() {
    impl_->doc.Clear();
    impl_->doc.backRgb = surface::ColorToRgb(impl_->backColor);
    impl_->open = true;
    AddPage(*impl_);
}

void VSPrinter::NewPage() {
    impl_->RequireOpen();
    impl_->doc.pages.back().records.shrink_to_fit();
    impl_->doc.MaybeSpill();
    AddPage(*impl_);
}

void VSPrinter::EndDoc() {
    if (!impl_->open) return;
    impl_->doc.pages.back().records.shrink_to_fit();
    impl_->open = false;
}

void VSPrinter::KillDoc() {
    impl_->doc.Clear();
    impl_->open = false;
}

int32_t VSPrinter::PageCount() const { return static_cast<int32_t>(impl_->doc.pages.size()); }
bool VSPrinter::IsDocOpen() const { return impl_->open; }
int32_t VSPrinter::CurrentPage() const {
    return impl_->open ? static_cast<int32_t>(impl_->doc.pages.size()) : 0;
}

int32_t VSPrinter::PaperSize() const { return impl_->paperSize; }
void VSPrinter::PaperSize(int32_t code) {
    if (!surface::FindPaper(code))
        throw RuntimeError(kErrInvalidProperty, "Unknown paper size " + std::to_string(code));
    impl_->paperSize = code;
}
int32_t VSPrinter::Orientation() const { return impl_->orientation; }
void VSPrinter::Orientation(int32_t value) {
    if (value != 0 && value != 1) throw RuntimeError(kErrInvalidProperty);
    impl_->orientation = value;
}

double VSPrinter::PageWidth() const {
    if (impl_->open) return impl_->doc.pages.back().width;
    double w, h;
    PaperTwips(impl_->paperSize, impl_->orientation, w, h);
    return w;
}
double VSPrinter::PageHeight() const {
    if (impl_->open) return impl_->doc.pages.back().height;
    double w, h;
    PaperTwips(impl_->paperSize, impl_->orientation, w, h);
    return h;
}
double VSPrinter::PageWidthOf(int32_t page) const {
    if (page < 1 || page > PageCount()) throw RuntimeError(kErrSubscript);
    return impl_->doc.pages[page - 1].width;
}
double VSPrinter::PageHeightOf(int32_t page) const {
    if (page < 1 || page > PageCount()) throw RuntimeError(kErrSubscript);
    return impl_->doc.pages[page - 1].height;
}

namespace {
void SetMargin(double& m, double v) {
    if (!std::isfinite(v) || v < 0) throw RuntimeError(kErrInvalidProperty);
    m = v;
}
}  // namespace

double VSPrinter::MarginLeft() const { return impl_->marginLeft; }
void VSPrinter::MarginLeft(double t) { SetMargin(impl_->marginLeft, t); }
double VSPrinter::MarginRight() const { return impl_->marginRight; }
void VSPrinter::MarginRight(double t) { SetMargin(impl_->marginRight, t); }
double VSPrinter::MarginTop() const { return impl_->marginTop; }
void VSPrinter::MarginTop(double t) { SetMargin(impl_->marginTop, t); }
double VSPrinter::MarginBottom() const { return impl_->marginBottom; }
void VSPrinter::MarginBottom(double t) { SetMargin(impl_->marginBottom, t); }

int32_t VSPrinter::BackColor() const { return impl_->backColor; }
void VSPrinter::BackColor(int32_t color) {
    impl_->backColor = color;
    impl_->doc.backRgb = surface::ColorToRgb(color);
}

bool VSPrinter::Preview() const { return impl_->preview; }
void VSPrinter::Preview(bool v) { impl_->preview = v; }
bool VSPrinter::AbortWindow() const { return impl_->abortWindow; }
void VSPrinter::AbortWindow(bool v) { impl_->abortWindow = v; }
bool VSPrinter::AutoRTF() const { return impl_->autoRtf; }
void VSPrinter::AutoRTF(bool v) { impl_->autoRtf = v; }

double VSPrinter::CurrentX() const { return impl_->currentX; }
void VSPrinter::CurrentX(double t) {
    RequireFinite(t);
    impl_->currentX = t;
}
double VSPrinter::CurrentY() const { return impl_->currentY; }
void VSPrinter::CurrentY(double t) {
    RequireFinite(t);
    impl_->currentY = t;
}

FontSpec& VSPrinter::Font() { return impl_->font; }
const FontSpec& VSPrinter::Font() const { return impl_->font; }
void VSPrinter::Font(const FontSpec& font) {
    surface::CheckSize(font.Size);
    impl_->font = font;
}
int32_t VSPrinter::TextColor() const { return impl_->textColor; }
void VSPrinter::TextColor(int32_t color) { impl_->textColor = color; }

void VSPrinter::Text(std::string_view text) {
    Impl& s = *impl_;
    s.RequireOpen();
    surface::CheckSize(s.font.Size);
    surface::FaceId face = s.FaceOf(s.font);
    const double lineHeight = FontRegistry::Instance().Face(face).HeightTwips(s.font.Size);
    const uint32_t rgb = surface::ColorToRgb(s.textColor);
    const double x0 = s.currentX;
    double y = s.currentY;
    double lastWidth = 0;
    ForEachLine(text, [&](std::string_view line, bool last) {
        lastWidth = surface::AppendLine(s, x0, y, line, s.font, face, rgb);
        if (!last) y += lineHeight;
    });
    s.currentX = x0 + lastWidth;
    s.currentY = y;
}

double VSPrinter::TextWidth(std::string_view text) const {
    surface::CheckSize(impl_->font.Size);
    surface::FaceId face = impl_->FaceOf(impl_->font);
    double w = 0;
    FontRegistry& reg = FontRegistry::Instance();
    ForEachLine(text, [&](std::string_view line, bool) {
        double lineWidth = 0;  // as LineWidthTwips sums it
        for (const surface::TextRun& run : impl_->RunsOf(face, line))
            lineWidth += run.advanceUnits * reg.Face(run.face).Scale(impl_->font.Size);
        w = std::max(w, lineWidth);
    });
    return w;
}

double VSPrinter::TextHeight(std::string_view text) const {
    surface::CheckSize(impl_->font.Size);
    surface::FaceId face = impl_->FaceOf(impl_->font);
    return LineCount(text) * FontRegistry::Instance().Face(face).HeightTwips(impl_->font.Size);
}

int32_t VSPrinter::PenStyle() const { return impl_->penStyle; }
void VSPrinter::PenStyle(int32_t style) {
    if (style < 0 || style > 6) throw RuntimeError(kErrInvalidProperty);
    impl_->penStyle = style;
}
int32_t VSPrinter::PenColor() const { return impl_->penColor; }
void VSPrinter::PenColor(int32_t color) { impl_->penColor = color; }
double VSPrinter::PenWidth() const { return impl_->penWidth; }
void VSPrinter::PenWidth(double twips) {
    if (!std::isfinite(twips) || twips < 0 || twips > 1e6) throw RuntimeError(kErrInvalidProperty);
    impl_->penWidth = twips;
}
int32_t VSPrinter::BrushStyle() const { return impl_->brushStyle; }
void VSPrinter::BrushStyle(int32_t style) {
    if (style < 0 || style > 7) throw RuntimeError(kErrInvalidProperty);
    impl_->brushStyle = style;
}
int32_t VSPrinter::BrushColor() const { return impl_->brushColor; }
void VSPrinter::BrushColor(int32_t color) { impl_->brushColor = color; }

namespace {

// The style of a shape; lines ignore the brush so that they share styles with outlines.
uint32_t ShapeStyleOf(VSPrinter::Impl& s, bool usesBrush = true) {
    surface::ShapeStyle st;
    st.penWidth = Round(s.penWidth);
    st.penRgb = surface::ColorToRgb(s.penColor);
    st.penStyle = static_cast<uint8_t>(s.penStyle == 6 ? 0 : s.penStyle);
    st.fill = usesBrush && s.brushStyle != 1;
    st.brushRgb = st.fill ? surface::ColorToRgb(s.brushColor) : 0;
    return s.doc.ShapeStyleIndex(st);
}

void Push(VSPrinter::Impl& s, RecordKind kind, uint32_t style, int32_t a, int32_t b, int32_t c,
          int32_t d, int32_t e) {
    Record r;
    r.head = Record::Head(kind, style);
    r.v[0] = a;
    r.v[1] = b;
    r.v[2] = c;
    r.v[3] = d;
    r.v[4] = e;
    s.Current().records.push_back(r);
}

}  // namespace

void VSPrinter::DrawRectangle(double left, double top, double right, double bottom,
                              double radiusX, double radiusY) {
    Impl& s = *impl_;
    s.RequireOpen();
    int32_t l = Round(std::min(left, right)), r = Round(std::max(left, right));
    int32_t t = Round(std::min(top, bottom)), b = Round(std::max(top, bottom));
    RequireFinite(radiusX);
    RequireFinite(radiusY);
    if (radiusY == 0) radiusY = radiusX;
    int32_t rx = std::clamp(Round(std::fabs(radiusX)), 0, std::min((r - l) / 2, 0xFFFF));
    int32_t ry = std::clamp(Round(std::fabs(radiusY)), 0, std::min((b - t) / 2, 0xFFFF));
    if (rx == 0 || ry == 0) rx = ry = 0;
    Push(s, RecordKind::Rectangle, ShapeStyleOf(s), l, t, r, b,
         static_cast<int32_t>(static_cast<uint32_t>(rx) | (static_cast<uint32_t>(ry) << 16)));
}

void VSPrinter::DrawCircle(double centerX, double centerY, double radius, double from,
                           double upTo) {
    Impl& s = *impl_;
    s.RequireOpen();
    RequireFinite(from);
    RequireFinite(upTo);
    int32_t cx = Round(centerX), cy = Round(centerY), r = Round(std::fabs(radius));
    uint32_t style = ShapeStyleOf(s);
    if (from == upTo || std::fabs(upTo - from) >= 360) {
        Push(s, RecordKind::Circle, style, cx, cy, r, 0, 0);
        return;
    }
    Record rec;
    rec.head = Record::Head(s.brushStyle != 1 ? RecordKind::Pie : RecordKind::Arc, style);
    rec.v[0] = cx;
    rec.v[1] = cy;
    rec.v[2] = r;
    rec.SetFloat(3, static_cast<float>(from));
    rec.SetFloat(4, static_cast<float>(upTo));
    s.Current().records.push_back(rec);
}

void VSPrinter::DrawLine(double x1, double y1, double x2, double y2) {
    Impl& s = *impl_;
    s.RequireOpen();
    Push(s, RecordKind::Line, ShapeStyleOf(s, false), Round(x1), Round(y1), Round(x2), Round(y2), 0);
}

void VSPrinter::DrawPicture(const Picture& picture, double left, double top,
                            std::optional<double> width, std::optional<double> height) {
    Impl& s = *impl_;
    s.RequireOpen();
    if (picture.IsNull()) return;
    double w = picture.WidthTwips(), h = picture.HeightTwips();
    if (width && height) {
        w = *width;
        h = *height;
    } else if (width) {
        h = h * *width / w;
        w = *width;
    } else if (height) {
        w = w * *height / h;
        h = *height;
    }
    Push(s, RecordKind::Picture, s.doc.PictureIndex(picture), Round(left), Round(top), Round(w),
         Round(h), 0);
}

}  // namespace qor
