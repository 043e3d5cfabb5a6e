// The library object: document settings, opening and ending a document, and every drawing
// operation. Positions and sizes are millimetres from the page's top-left corner, y downwards;
// every drawing operation adds a 5 mm offset to the positions it receives.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <qor/Application.h>
#include <qor/Enums.h>
#include <qor/Variant.h>

namespace qor {

class VSPrinter;
class VSPDF;
class clsRapport;
class Picture;
class PrinterList;
struct RtfSource;
struct LibraryAccess;

// One printed document at a time: a client creates it, optionally calls PrSetUpDLL, opens a
// document with InitPrinter, draws, and ends it with PrEndDoc. All objects of one thread share
// the thread's module state and page surface, so only one document is open per
// thread. Not for use from several threads.
class clsqorPrintLib {
public:
    // Creation defaults: DefaultFontSize 9, DefaultFontName "Arial", PrBackColor white,
    // PrCurr " \B\E\F"; every other property 0, "" or null.
    clsqorPrintLib();

    // ---- Properties -----------------------------------------------------------------------

    // Current line top in mm. PrItem with Top 0 prints 4 mm lower and advances it; PrBoxText
    // leaves it at its last line. Default 0.
    float T = 0;
    // Format tail that PrItem appends to the currency formats. Default " \B\E\F" (prints
    // " BEF").
    std::string PrCurr = " \\B\\E\\F";
    // The page surface being drawn on; set by InitPrinter, cleared when a document ends. Not
    // owned: the surface belongs to the thread's preview window. Default null.
    VSPrinter* VPrinter = nullptr;
    // A PDF control slot for the client; the library never reads or writes it. Default null.
    class VSPDF* VSPDF = nullptr;
    // Page width and height in mm, set by InitPrinter (A4 portrait about 210 x 297). Default 0.
    float PrScaleWidth = 0;
    float PrScaleHeight = 0;
    // Page background colour (RGB &HBBGGRR) given to the surface when the document ends.
    // Default white (&HFFFFFF); back to white after each document.
    int32_t PrBackColor = bcWhite;
    // Caption of the preview window; "" keeps the window's own. Back to "" after each
    // document.
    std::string PrCaption;
    // Decimals of PrItem's number, currency and percent formats. Default 0.
    int32_t PrNbrDec = 0;
    // Kept for the client; the library does not read it. Default 0.
    float PrEurDec = 0;
    // Font size in points and name InitPrinter gives the surface. Defaults 9 and "Arial";
    // back to them after each document.
    float DefaultFontSize = 9;
    std::string DefaultFontName = "Arial";
    // Output of InitPrinter: the default-printer string the user chose to keep in the printer
    // dialog ("bin;printer;bin name" or "15;printer"), or "".
    std::string DefaultPrinter;
    // Output of PrEndDoc in preview mode: the PDF file the preview left; InitPrinter clears it.
    std::string PrPdfFile;
    // Fixed creation date of the PDF files of the documents this object ends, in seconds
    // since 1970-01-01 00:00 UTC, so that equal documents give byte-identical files; -1 dates
    // them by SOURCE_DATE_EPOCH when it is set, else by the clock. Kept across documents.
    // Default -1.
    int64_t PrCreationDate = -1;
    // "Page 3 of 164" for documents drawn by hand (an extension): when not "", a PrItem text
    // that contains this token shows the document's number of pages in its place, filled in
    // when the pages are shown, printed or written, so the total needs no second pass.
    // Choose a token no other text contains ("{pages}" is fine unless a text may hold it).
    // Such a text is placed line by line on Left by Align with the width of its final text,
    // in its font only (no fallback font for characters the font lacks); a spreadsheet
    // export writes it as it stands. Default "" (off).
    //   lib.PrPageCountToken = "{pages}";
    //   lib.PrItem(190, 280, "Page " + std::to_string(page) + " of {pages}", qor::frmtText, 1);
    std::string PrPageCountToken;

    // The report builder of this object, created on first use; the same object on every
    // call until another one (or nullptr) is assigned.
    clsRapport& PrRapport();
    // Replaces the report builder; nullptr makes the next PrRapport() create a fresh one.
    void PrRapport(std::shared_ptr<clsRapport> rapport);

    // ---- Set-up ---------------------------------------------------------------------------

    // Called once after creation, before any text is shown. Sets the thread's language
    // offset (GenServices().LanguageOffset: 0 Dutch, 10000 French, 20000 English) to
    // `AppOffset`, stores `app` as the thread's ClientApplication and registers it with
    // GenServices (flagged when its EXEName is not "qorprint", the library's own tool).
    // Shows nothing, never throws.
    void PrSetUpDLL(const Application& app, int32_t AppOffset);

    // ---- Documents ------------------------------------------------------------------------

    // Opens a new document. `PrinterName` is a device name or a composite printer string
    // ("printer", "x;printer" or "bin;printer;bin name", separated by
    // GenServices().FieldSeparator). `Preview` is the output mode: 0 print, 1 preview,
    // 2 spreadsheet, 3 PDF, 4 view only. `Orient` 1 portrait, 2 landscape; `Copies` for direct
    // printing; `PaperSize` a Windows paper-size code (9 A4); `ExportFilePDF` the PDF file of
    // mode 3 ("" gives Document.pdf in the user's documents folder); `SecondPageBinNr` the
    // paper bin of pages 2 onwards (0 the same as page 1); `SilentMode` hides the printing
    // progress. Asks for a printer when no usable name was given (unattended: the entry the
    // dialog would preselect). Sets VPrinter, PrScaleWidth, PrScaleHeight, DefaultPrinter and
    // clears PrPdfFile. Returns true when a document was started (mode 2: when the export is
    // ready); false after a cancelled dialog or, in mode 0, without printers (after a
    // message). Throws what the surface or the spooler throws.
    bool InitPrinter(const std::string& PrinterName, int16_t Preview = 0, int32_t Orient = 1,
                     int32_t Copies = 1, int32_t PaperSize = 9, const std::string& ExportFilePDF = "",
                     int32_t SecondPageBinNr = 0, bool SilentMode = false);

    // Starts the next page; while exporting to a spreadsheet, marks a page break instead.
    // Throws what the surface throws.
    void PrNewPage();

    // Ends the document and delivers it in the mode InitPrinter chose: prints it (true),
    // shows the preview (true when the user printed), writes the PDF (true; false when the
    // file could not be written: the user then sees a critical message naming the file and
    // the reason, and an older file of that name is kept; a cancelled save dialog is true),
    // finishes the spreadsheet (false); any other mode false. Then restores VPrinter, DefaultFontSize,
    // DefaultFontName, PrBackColor and PrCaption to their defaults. In preview mode copies
    // the PDF file the preview wrote into PrPdfFile. Throws what the surface or the printer
    // throws (the settings are then not restored).
    bool PrEndDoc();

    // Tells the user that the document `DocName` has no data (message 1050/1051, title 1049)
    // and discards the open document unless `NoKillDoc` is true, restoring the defaults as
    // PrEndDoc does. While exporting to a spreadsheet it only ends the export. Throws what
    // the surface throws.
    void PrEmptyReport(const std::string& DocName = "", bool NoKillDoc = false);

    // ---- Printer choice -------------------------------------------------------------------

    // Fills `ComboList` with "(Geen)" (text 1023, item data -1) and every installed printer
    // (item data 15), selecting the entry of the default-printer string `DefaultPrinter`
    // ("printer", "bin;printer" or "bin;printer;bin name") or else "(Geen)".
    // Throws what the list throws.
    void PrCollectionLoad(PrinterList& ComboList, const std::string& DefaultPrinter = "");

    // Opens the paper-bin dialog for the printer selected in `Combo` and rewrites that entry
    // as "printer;bin name" with the bin code as item data ("(Automatisch)": the printer
    // alone, 15). Beeps and does nothing on the "(Geen)" entry or for a printer with fewer
    // than two bins. Throws what the list throws.
    void PrCollectionShowBins(PrinterList& Combo);

    // ---- Drawing (positions in mm; each adds the 5 mm offset) --------------------------

    // Places `Item` with its top at `Top` and anchored at `Left` by `Align` (0 left, 1 right
    // end, 2 centre). Top 0 means 4 mm below T, and advances T. `Frmt` chooses the number
    // format (Frmt enumeration, PrNbrDec decimals, PrCurr for currencies); frmtNumberNoZero
    // and frmtNumberDecNoZero draw nothing for 0. `PrintStyle` picks a type style (psCustom:
    // `FontName`, `FontSize` points and the letters B, U, I, T of `Style`); an "F" in
    // `Style` draws a frame around the item. `Color` is the RGB text colour.
    // Replaces `Item` by its numeric value for every Frmt but frmtText, by " " for a blank
    // text, and upper-cases it for psTitle and psCaps. While exporting to a spreadsheet writes
    // a cell instead. Throws RuntimeError(6) when a position overflows, and what the surface
    // or the formatter throws.
    // On paper the currency formats drop the spreadsheet code "_(" and print "* " as a blank
    // ("$ 1.234 BEF"); percent formats never scale by 100 and show PrNbrDec decimals before
    // the sign ("12,50 %"). The spreadsheet writer gets the patterns unchanged.
    void PrItem(float Left, float Top, Variant& Item, int32_t Frmt, int32_t Align,
                int32_t PrintStyle = psNormal, const std::string& Style = "", float FontSize = 9,
                const std::string& FontName = "Arial", int32_t Color = 0);
    // The same for an item whose change the caller does not need (literals, temporaries).
    void PrItem(float Left, float Top, const Variant& Item, int32_t Frmt, int32_t Align,
                int32_t PrintStyle = psNormal, const std::string& Style = "", float FontSize = 9,
                const std::string& FontName = "Arial", int32_t Color = 0) {
        Variant copy = Item;
        PrItem(Left, Top, copy, Frmt, Align, PrintStyle, Style, FontSize, FontName, Color);
    }

    // Wraps `Text` at blanks into the rectangle (Left, Top)-(Right, Bottom); carriage returns
    // (with or without line feed) start paragraphs. Each line is aligned by `Align` (0 left,
    // 1 right, 2 centre). `Border` draws a frame of `DrawWidth` (surface units, default 10) in
    // `BorderColor`, filled with `FillColor` when given, and keeps the text 2 mm inside it; a
    // framed box less than 10 mm high or wide shows message 1006 or 1007 and is not framed.
    // `PrintStyle`, `Style`, `FontSize` and `FontName` as PrItem (psSubTitle underlines here).
    // Returns the text that did not fit, or "" when all fitted or `EllipsText` cut the last
    // line with "...". Sets T to the top of the last paragraph's last line. `Text` is left
    // holding the last line placed. Never throws: failing steps are skipped.
    std::string PrBoxText(float Left, float Top, float Right, float Bottom, std::string& Text,
                          bool Border, int32_t Align, int32_t PrintStyle = psNormal,
                          const std::string& Style = "", int32_t DrawWidth = 10,
                          int32_t BorderColor = 0, std::optional<int32_t> FillColor = std::nullopt,
                          float FontSize = 9, const std::string& FontName = "Arial",
                          bool EllipsText = false);
    // The same for a text whose change the caller does not need.
    std::string PrBoxText(float Left, float Top, float Right, float Bottom, const std::string& Text,
                          bool Border, int32_t Align, int32_t PrintStyle = psNormal,
                          const std::string& Style = "", int32_t DrawWidth = 10,
                          int32_t BorderColor = 0, std::optional<int32_t> FillColor = std::nullopt,
                          float FontSize = 9, const std::string& FontName = "Arial",
                          bool EllipsText = false) {
        std::string copy = Text;
        return PrBoxText(Left, Top, Right, Bottom, copy, Border, Align, PrintStyle, Style, DrawWidth,
                         BorderColor, FillColor, FontSize, FontName, EllipsText);
    }

    // Shortens `Text` from the right until it fits `MaxWidth` mm in `FontName` `FontSize`
    // points, appending "..." unless `NoDots`; draws nothing. When it shortens with dots,
    // `MaxWidth` is reduced by the width of "...". Returns the fitted text (equal to `Text`),
    // or "" after message 1059 when even the dots do not fit. Sets the surface's font name
    // and size. While exporting to a spreadsheet returns `Text` unchanged. Throws what the
    // surface throws.
    std::string PrLeft(std::string& Text, float& MaxWidth, float FontSize = 9,
                       const std::string& FontName = "Arial", bool NoDots = false);
    // The same where the caller does not need the changed text or width.
    std::string PrLeft(std::string& Text, const float& MaxWidth, float FontSize = 9,
                       const std::string& FontName = "Arial", bool NoDots = false) {
        float width = MaxWidth;
        return PrLeft(Text, width, FontSize, FontName, NoDots);
    }
    std::string PrLeft(const std::string& Text, float& MaxWidth, float FontSize = 9,
                       const std::string& FontName = "Arial", bool NoDots = false) {
        std::string text = Text;
        return PrLeft(text, MaxWidth, FontSize, FontName, NoDots);
    }
    std::string PrLeft(const std::string& Text, const float& MaxWidth, float FontSize = 9,
                       const std::string& FontName = "Arial", bool NoDots = false) {
        std::string text = Text;
        float width = MaxWidth;
        return PrLeft(text, width, FontSize, FontName, NoDots);
    }

    // Draws the rectangle (Left, Top)-(Right, Bottom) with a pen of `DrawWidth` surface units
    // (default 10) in `BorderColor`, filled with `FillColor` when given (else transparent),
    // with corners of `Radius` mm when `RoundedCorners`. Leaves pen and brush set. Does
    // nothing while exporting to a spreadsheet. Throws RuntimeError(6) when a position
    // overflows, and what the surface throws.
    void PrBox(float Left, float Top, float Right, float Bottom, int32_t DrawWidth = 10,
               int32_t BorderColor = 0, std::optional<int32_t> FillColor = std::nullopt,
               bool RoundedCorners = false, float Radius = 10);

    // Draws a circle of `Radius` mm around (Left, Top), or the arc from `From` to `UpTo` in the
    // surface's angle units (0 and 0: the whole circle), pen and brush as PrBox. Does nothing
    // while exporting. Throws as PrBox.
    void PrCircle(float Left, float Top, float Radius, int32_t DrawWidth = 10, int32_t BorderColor = 0,
                  std::optional<int32_t> FillColor = std::nullopt, float From = 0, float UpTo = 0);

    // Draws a line from (Left, Top) to (Right, Bottom) with a pen of `DrawWidth` surface units
    // (default 1) in `BorderColor`. Does nothing while exporting. Throws as PrBox.
    void PrLine(float Left, float Top, float Right, float Bottom, int32_t DrawWidth = 1,
                int32_t BorderColor = 0);

    // Draws a 3 mm check box with its top-left corner at (Left, Top): `Value` 1 crossed,
    // 2 crossed in the button-face grey, anything else empty. Pen and brush as PrBox. Does
    // nothing while exporting. Throws as PrBox.
    void PrCheckBox(float Left, float Top, int32_t Value, int32_t DrawWidth = 10, int32_t BorderColor = 0,
                    std::optional<int32_t> FillColor = std::nullopt);

    // Draws a page frame from (Left, Top) to (Right, Bottom) with a title band of `TitleRows`
    // lines (5 mm, or 10 mm for 2 or more) filled with `TitleFillColor` (default the
    // button-face colour). Right 0 means 190 mm in portrait and 280 in landscape; Bottom 0 the
    // page height in mm less 17 (280 on A4 portrait). Does nothing while exporting. Throws as PrBox.
    void PrFrame(int32_t TitleRows = 1, float Left = 10, float Top = 10, float Right = 0, float Bottom = 0,
                 int32_t TitleFillColor = kColorButtonFace);

    // Draws `iPic` with its top-left corner at (Left, Top), `Width` x `Height` mm (0 keeps the
    // picture's own size in that direction). `iPic` may be replaced by the picture the surface
    // hands back. Does nothing while exporting. Throws what the surface throws.
    void PrPaintPicture(Picture& iPic, float Left, float Top, float Width = 0, float Height = 0);

    // Places the rich text of `RTF` on the page from `Top` mm (0: the current position),
    // between margins `Left` and `Right` mm (0: the surface's own), which are restored
    // afterwards. No 5 mm offset here. Does nothing while exporting. Throws what the surface
    // or `RTF` throws.
    void PrRTF(const RtfSource& RTF, float Top = 0, float Left = 0, float Right = 0);

    // Prints the RTF file `FileName` into the document. A file that cannot be found shows a
    // critical message "Print RTF" (texts 1005, 1010 and the file name) and prints nothing.
    // Does nothing while exporting. Throws what the surface throws while rendering.
    void PrRTFFile(const std::string& FileName);

    // Draws the letterhead of customer key `Lic` (any case): its picture from the Headers
    // folder and the design's texts, with `Naam` and `SubNaam` where the design uses them.
    // `Layout` places the picture (Layout enumeration); `VerkleinFactor` divides the size of
    // the reducible designs; `TopShift` and `LeftShift` move the picture (mm). A missing
    // picture falls back to the generic design. Does nothing while exporting. Throws what
    // the drawing operations throw.
    void PrLogo(const std::string& Lic, const std::string& Naam = "", const std::string& SubNaam = "",
                int32_t Layout = layLeft, int32_t VerkleinFactor = 0, int32_t TopShift = 0,
                int32_t LeftShift = 0);

    // Adds an entry to the document's outline: `Title` pointing at `Top` mm (plus the 5 mm
    // offset) on the page being drawn. `Level` 1 is the top; an entry of a deeper level
    // belongs to the entry before it (a level more than one deeper than that entry counts as
    // one deeper). PDF files show the outline as bookmarks, the preview in a side panel.
    // Does nothing while exporting to a spreadsheet. Throws RuntimeError(5) for a Level
    // below 1 or without an open document, 91 when no document was opened.
    void PrBookmark(const std::string& Title, float Top, int32_t Level = 1);

    // Prints the shared texts 9500-9999 in Dutch and French, two columns, into a preview
    // for checking translations; returns when the preview closes. Throws what the surface
    // throws.
    void PrResource();

private:
    friend struct LibraryAccess;

    // Restores VPrinter, DefaultFontSize, DefaultFontName, PrBackColor and PrCaption to their
    // creation values; everything else survives to the next document.
    void ResetDefaults();

    std::shared_ptr<clsRapport> rapport_;
};

}  // namespace qor
