// The page surface: a retained document of pages made of drawing records in twips.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qor {

class Picture;
namespace surface { struct Access; }

// The font the surface uses for `Text`, `TextWidth` and `TextHeight`. Plain data: change
// the fields through `VSPrinter::Font()` and the next text call picks the change up.
struct FontSpec {
    std::string Name = "Arial";   // family name; resolved through fontconfig ("Arial" gives
                                  // Liberation Sans, whose advances equal Arial's)
    double Size = 9;              // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A VSPrinter is a document being composed page by page, and everything needed to measure
// text for it. It keeps every page as compact drawing records (text, lines, rectangles,
// circles and arcs, pictures) whose positions are fixed when they are drawn; the PDF writer
// (`qor::VSPDF`, printing) and the screen/PNG painter read the same records.
//
// Conventions of this class:
// - Units: twips (1440 per inch, 56.69 per millimetre) for every position, size and pen
//   width, as `double`; font sizes in points. Origin at the paper's top-left corner, y down.
// - Colours: 32-bit values in the Windows form &HBBGGRR (red in the low byte). System
//   colours &H80000000 + index are accepted (e.g. &H8000000F, the button face).
// - Properties are getter/setter pairs with the member's name: `double CurrentX() const`
//   reads, `void CurrentX(double)` writes. `Text(s)` draws. `Font()` returns the font by
//   reference so that `Font().Bold = true` works.
// - Drawing and page members need an open document (`StartDoc` .. `EndDoc`); without one
//   they throw qor::RuntimeError(5). Bad property values throw qor::RuntimeError(380).
// - A VSPrinter is used from one thread at a time; different VSPrinters on different
//   threads are independent. Making a PDF needs no QGuiApplication.
class VSPrinter {
public:
    VSPrinter();
    ~VSPrinter();
    VSPrinter(VSPrinter&&) noexcept;
    VSPrinter& operator=(VSPrinter&&) noexcept;
    VSPrinter(const VSPrinter&) = delete;
    VSPrinter& operator=(const VSPrinter&) = delete;

    // ---- Document -------------------------------------------------------------------------

    // Discards any previous document and opens a new one with one empty page in the current
    // `PaperSize` and `Orientation`; the current position goes to (MarginLeft, MarginTop).
    void StartDoc();
    // Ends the current page and starts the next one (paper and orientation as they are now);
    // the current position goes to (MarginLeft, MarginTop). Throws RuntimeError(5) without
    // an open document.
    void NewPage();
    // Ends the document. Its pages stay for `PageCount`, `PrintDoc`, the PDF writer and the
    // preview until the next `StartDoc` or `KillDoc`. Does nothing when no document is open.
    // Pages are always retained: `Preview` false does not send anything by itself.
    void EndDoc();
    // Discards the document, open or ended: `PageCount` becomes 0.
    void KillDoc();
    // Number of pages of the open or ended document; 0 when there is none.
    int32_t PageCount() const;
    // True between `StartDoc` and `EndDoc`/`KillDoc`.
    bool IsDocOpen() const;
    // 1-based number of the page being drawn; 0 when no document is open.
    int32_t CurrentPage() const;

    // ---- Paper and page -------------------------------------------------------------------

    // Windows paper-size code: 1 Letter, 5 Legal, 8 A3, 9 A4 (default), 11 A5, 13 B5 (JIS),
    // envelopes 19-23 (#9-#14), 27 DL, 28 C5, 29 C3, 30 C4, 31 C6, 32 C65, 33-35 B4-B6,
    // 36 Italy, 37 Monarch, 38 6 3/4, and the other classic codes 2-4, 6, 7, 10, 12, 14-18.
    // Applies to pages started afterwards. Throws RuntimeError(380) for an unknown code.
    int32_t PaperSize() const;
    void PaperSize(int32_t code);
    // 0 portrait (default), 1 landscape (width and height swapped). Applies to pages started
    // afterwards. Throws RuntimeError(380) for other values.
    int32_t Orientation() const;
    void Orientation(int32_t value);
    // Size of the current page (of the paper setting when no document is open), twips.
    double PageWidth() const;
    double PageHeight() const;
    // Size of page `page` (1-based) of the document, twips. Throws RuntimeError(9) when out
    // of range.
    double PageWidthOf(int32_t page) const;
    double PageHeightOf(int32_t page) const;
    // Margins in twips, default 1440 (one inch). `StartDoc`/`NewPage` put the current
    // position at the top-left margin; rich text is laid out between left and right margin.
    double MarginLeft() const;
    void MarginLeft(double twips);
    double MarginRight() const;
    void MarginRight(double twips);
    double MarginTop() const;
    void MarginTop(double twips);
    double MarginBottom() const;
    void MarginBottom(double twips);
    // Page background colour, default white (&HFFFFFF). Applies to every page of the
    // document when it is drawn or written, whenever it is set.
    int32_t BackColor() const;
    void BackColor(int32_t color);

    // ---- Flags kept for the callers ------------------------------------------------------

    // True (default): keep the pages for display. False: the document is meant for the
    // printer; pages are retained either way and `PrintDoc` sends them.
    bool Preview() const;
    void Preview(bool value);
    // Whether a printing-progress window should be shown while printing (default true).
    bool AbortWindow() const;
    void AbortWindow(bool value);
    // Set by callers that placed a rich text; read back to choose the preview's zoom.
    // Default false.
    bool AutoRTF() const;
    void AutoRTF(bool value);

    // ---- Text -----------------------------------------------------------------------------

    // Current position in twips. `Text` draws with the top of the text at `CurrentY`.
    double CurrentX() const;
    void CurrentX(double twips);
    double CurrentY() const;
    void CurrentY(double twips);
    // The font of the next texts and measurements. Default Arial 9 pt, plain.
    FontSpec& Font();
    const FontSpec& Font() const;
    void Font(const FontSpec& font);
    // Colour of the next texts, default black (0).
    int32_t TextColor() const;
    void TextColor(int32_t color);
    // Draws `text` (UTF-8) on the current page with its top-left corner at (CurrentX,
    // CurrentY) in the current font and `TextColor`, and advances `CurrentX` by its width.
    // A line break ("\r\n", "\r" or "\n") continues at the same x one `TextHeight` lower;
    // `CurrentX` then ends after the last line and `CurrentY` at its top. Characters the
    // font lacks are drawn from a font that has them. Tabs and other control characters
    // are not drawn. Throws RuntimeError(5) without an open document.
    void Text(std::string_view text);
    // Width in twips of `text` in the current font: the sum of the glyph advances, without
    // kerning (Arial 9 "Hello World" = 930.23). For several lines, the widest.
    double TextWidth(std::string_view text) const;
    // Height in twips of `text` in the current font: the number of lines times ascent +
    // descent of the font (Arial 9: 201.09). An empty text counts as one line.
    double TextHeight(std::string_view text) const;

    // ---- Rich text (rich-text reader) -----------------------------------------------------

    // Lays the RTF document `rtf` out between `MarginLeft` and `PageWidth` - `MarginRight`,
    // from `CurrentY` down, starting new pages at `PageHeight` - `MarginBottom`; leaves
    // `CurrentY` below the last line.
    void TextRTF(std::string_view rtf);
    // Reads the RTF file `file` and lays it out as `TextRTF` does. Throws RuntimeError(53)
    // when the file cannot be read.
    void PrintFile(const std::string& file);

    // ---- Pen, brush and shapes ------------------------------------------------------------

    // Pen for lines and outlines: style 0 solid (default), 1 dash, 2 dot, 3 dash-dot,
    // 4 dash-dot-dot, 5 none; colour default black; width in twips, default 10 (0 draws the
    // thinnest line the device can show).
    int32_t PenStyle() const;
    void PenStyle(int32_t style);
    int32_t PenColor() const;
    void PenColor(int32_t color);
    double PenWidth() const;
    void PenWidth(double twips);
    // Brush for the inside of rectangles, circles and pies: style 0 solid (default),
    // 1 transparent; hatch styles 2-7 fill solid. Colour default white.
    int32_t BrushStyle() const;
    void BrushStyle(int32_t style);
    int32_t BrushColor() const;
    void BrushColor(int32_t color);

    // Rectangle from (left, top) to (right, bottom), outlined with the pen and filled with
    // the brush. With a non-zero radius the corners are rounded with `radiusX` horizontally
    // and `radiusY` vertically (`radiusY` 0 takes `radiusX`).
    void DrawRectangle(double left, double top, double right, double bottom,
                       double radiusX = 0, double radiusY = 0);
    // Circle around (centerX, centerY). `from` and `upTo` are angles in degrees counted
    // counter-clockwise from three o'clock; when they are equal (the default 0, 0) the whole
    // circle is drawn, else the arc from `from` to `upTo`: open when the brush is
    // transparent, a filled pie slice otherwise.
    void DrawCircle(double centerX, double centerY, double radius, double from = 0,
                    double upTo = 0);
    // Straight line from (x1, y1) to (x2, y2) with the pen.
    void DrawLine(double x1, double y1, double x2, double y2);
    // Draws `picture` with its top-left corner at (left, top). Without sizes it takes its
    // natural size (pixels at the picture's resolution, 96 dpi when it has none); with only
    // a width or only a height the other follows the aspect ratio. A null picture draws
    // nothing.
    void DrawPicture(const Picture& picture, double left, double top,
                     std::optional<double> width = std::nullopt,
                     std::optional<double> height = std::nullopt);

    // ---- Output -------------------------------------------------------------------------

    // Renders page `page` (1-based) at `dpi` dots per inch with the screen painter and saves
    // it as a PNG file (written to a temporary name, then renamed). Needs a QGuiApplication
    // (one is created on the offscreen platform when there is none). Throws
    // RuntimeError(9) for a page out of range, RuntimeError(75) when the file cannot be
    // written.
    void SavePagePng(int32_t page, const std::string& file, double dpi = 96) const;

    // ---- Printing (spooler) ---------------------------------------------------------------
    // Printers come from CUPS. These members live in VSPrinterPrint.cpp.

    // Number of installed printers, and the name of printer `i` (from 0; RuntimeError(9)
    // out of range).
    int32_t NDevices() const;
    std::string Devices(int32_t i) const;
    // The printer used by `PrintDoc` and the probes; "" is the default printer.
    std::string Device() const;
    void Device(const std::string& name);
    // 0 when the last `Device`, `PaperBin` or `Copies` setting was accepted by the printer;
    // another number when it was not. `Clear` resets it to 0.
    int32_t Error() const;
    void Clear();
    // Windows paper-bin code for the next print job (7 automatic, 15 form source, ...).
    int32_t PaperBin() const;
    void PaperBin(int32_t bin);
    // Copies for the next print job, default 1.
    int32_t Copies() const;
    void Copies(int32_t copies);
    // Prints the ended document on `Device` with the current `Copies` and `PaperBin`: all
    // pages; the pages `fromPage` to `toPage`; or the page list `range` ("1", "1-5", "2,4").
    // `showDialog` is accepted for compatibility; no dialog is shown. Throws
    // qor::RuntimeError when the printer rejects the job.
    void PrintDoc(bool showDialog = false);
    void PrintDoc(bool showDialog, int32_t fromPage, int32_t toPage);
    void PrintDoc(bool showDialog, const std::string& range);

    // The implementation, opaque outside the library.
    struct Impl;

private:
    friend struct surface::Access;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qor
