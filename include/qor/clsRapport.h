// The report builder: a ruled table report over the rows of a record set.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <qor/DataGrid.h>
#include <qor/Enums.h>
#include <qor/Recordset.h>
#include <qor/Variant.h>

namespace qor {

class VSPrinter;

// One report column. Positions and widths are millimetres.
struct ColumnDef {
    float X = 0;              // left edge, set on every page: column 0 at 10, then the sum of widths
    Variant Value;            // the current record's field value as text; Null after SetCol
    double SubTotal = 0;      // running sub-total of the current group
    double Total = 0;         // running total of the report (kept after EndDoc)
    std::string Caption;      // heading in the caption row
    std::string DataField;    // record-set field shown in the column
    bool PrLeft = false;      // fit the cell text into the column, "..." where it is cut
    int32_t Frmt = frmtText;  // number format of cells and totals (Frmt)
    std::string FFrmt;        // extra format pattern applied to the cell text, "" for none
    int32_t Align = 0;        // 0 left, 1 right, 2 centre
    int32_t PrintStyle = psNormal;  // type style; 0 gives captions and totals the report's own
    std::string Style;        // style letters for PrItem (B, U, I, T, F)
    float FontSize = 0;       // points, with psCustom
    std::string FontName;     // with psCustom
    int32_t Color = 0;        // text colour &HBBGGRR
    int32_t SubTotalCol = 0;  // column whose change of value closes this column's group
    int32_t SubTotalType = 0; // 0 none, 1 sum, 2 count of rows
    int32_t TotalType = 0;    // 0 none, 1 sum, 2 count of rows
    float Width = 0;          // column width
    bool NoDividerLine = false;  // no divider on the right edge; totals print the next
                                 // column's value beside the figure
    int32_t LLGenLib = 0;     // not 0: the cell shows text LLGenLib + value of the text table
};

// Number of entries of the column table (indexes 0 to 15).
inline constexpr int32_t kReportColumns = 16;

// A report over a record set: title band, column captions, one line per record with
// repeated values merged, sub-total bands per group, a totals band and foot lines with
// date, foot note and page number. Obtain it from clsqorPrintLib::PrRapport(), call Init,
// set the texts, describe the columns with SetCol (or SetDBGrid), attach the rows with SetRt
// and call EndDoc:
//   qor::clsRapport& r = lib.PrRapport();
//   r.Init("", 3, 1, 1, 9, "/tmp/report.pdf");
//   r.Title = "Invoices";
//   r.SetCol(0, 100, "Customer", "customer", qor::frmtText, 0);
//   r.SetCol(1, 80, "Amount", "amount", qor::frmtAmount2, 1, false, "", false, 0, 0, -1, 1);
//   r.SetRt(qor::SqliteRecordset::Open("invoices.sqlite", "SELECT * FROM invoices"));
//   r.EndDoc();
// Everything it stores survives EndDoc, so the same object can render again. Not for use
// from several threads.
class clsRapport {
public:
    clsRapport() = default;

    // ---- Report texts and flags (Init and Clear reset them) -------------------------------

    // Title in the title band; also the document name of the "no data" message. Default "".
    std::string Title;
    // Second title line, right-aligned in the title band. Default "".
    std::string SubTitle;
    // Foot line text under the frame, when not "". Default "".
    std::string FootNote;
    // Print today's date (the locale's short date) in the foot line. False on a new object,
    // true after Init or Clear.
    bool FootNoteDate = false;
    // Print "Page " and the page number in the foot line. False on a new object, true after
    // Init or Clear.
    bool PageNbr = false;
    // Highest column index whose repeated values are merged; -1 merges nothing. 0 on a new
    // object (so column 0 merges), -1 after Init or Clear.
    int32_t MaxMergeCol = 0;
    // Bookmarks: the column whose every new value becomes an outline entry pointing at the
    // first line of that value (PDF bookmarks, the preview's side panel); -1 none. With
    // SubOutline, each new value of that column becomes an entry under the current Outline
    // entry (a new Outline value starts its list afresh). -1 on a new object and after Init or
    // Clear; EndDoc throws RuntimeError(9) for a column past the last one and 5 for a
    // SubOutline without Outline. Not used for spreadsheets.
    int32_t Outline = -1;
    int32_t SubOutline = -1;

    // ---- Extensions, off on a new object and after Init or Clear ------------------------------

    // Carried-forward totals. Every page that continues on the next ends with a band showing
    // the running totals of the sum columns (TotalType 1) so far, labelled with text 1200
    // ("TRANSPORT", "À REPORTER", "CARRIED FORWARD"), and the next page starts with a band of
    // the same figures, text 1201 ("TRANSPORT", "REPORT", "BROUGHT FORWARD"). The bands are
    // drawn like the totals band (8 mm) and their room is taken from the record lines: a
    // continuing portrait page holds 59 lines at most, the next pages 57. Sub-totals and the
    // totals band are unchanged. No bands without a sum column, nor in spreadsheet mode.
    bool CarryForward = false;
    // "Page X of Y": the foot line reads "Pagina 3 van 164", "Page 3 sur 164" or "Page 3 of
    // 164" (texts 1202 and 1203) instead of "Page 3", right-aligned as before, also when
    // PageNbr is false. The total is filled in when the pages are shown, printed or written
    // (clsqorPrintLib::PrPageCountToken), without a second pass. A spreadsheet export keeps
    // "Page 3".
    bool PageOfPages = false;

    // ---- Definition -------------------------------------------------------------------------

    // Describes column `ColIndex` (0 to 15) and makes it the last column of the report:
    // a later call with a lower index shortens the report. `Width` mm; `Caption` its heading;
    // `DataField` the record-set field; `Frmt` the number format and `Align` (0 left, 1 right,
    // 2 centre) of its cells; `NoDividerLine` drops the divider on its right edge; `FFrmt` a
    // format pattern applied to each cell ("" none); `PrLeft` fits the text to the column
    // with "..."; `LLGenLib` not 0 shows text LLGenLib + value of the text table;
    // `SubTotalType` and `TotalType` 0 none, 1 sum, 2 count; `SubTotalCol` the column whose
    // change closes a group; `PrintStyle`, `Style`, `FontSize` (points), `FontName` and
    // `Color` the type of its cells (as PrItem). Zeroes the column's sub-total and total.
    // Throws RuntimeError(9) for an index outside 0 to 15; the last column is then already
    // that index, so EndDoc fails the same way until a valid SetCol.
    void SetCol(int16_t ColIndex, float Width, const std::string& Caption,
                const std::string& DataField, int32_t Frmt, int32_t Align,
                bool NoDividerLine = false, const std::string& FFrmt = "", bool PrLeft = false,
                int32_t LLGenLib = 0, int32_t SubTotalType = 0, int32_t SubTotalCol = -1,
                int32_t TotalType = 0, int32_t PrintStyle = psNormal, const std::string& Style = "",
                float FontSize = 9, const std::string& FontName = "Arial", int32_t Color = 0);
    // The same with the arguments in a ColumnDef: every member but X, Value, SubTotal and
    // Total (which start afresh) is taken from `Col`. A default ColumnDef differs from the
    // long form's defaults in SubTotalCol (0, not -1), FontSize (0, not 9) and FontName
    // ("", not "Arial"): set them when they matter.
    //   qor::ColumnDef amount;
    //   amount.Width = 30; amount.Caption = "Amount"; amount.DataField = "amount";
    //   amount.Frmt = qor::frmtAmount2; amount.Align = 1; amount.TotalType = 1;
    //   r.SetCol(1, amount);
    void SetCol(int16_t ColIndex, const ColumnDef& Col);

    // Stores the arguments EndDoc hands to clsqorPrintLib::InitPrinter (see there), shows
    // the busy pointer and calls Clear. Opens no document and always returns false. Set the
    // texts and flags after Init: it clears them.
    bool Init(const std::string& PrinterName, int16_t Preview = 0, int32_t Orient = 1,
              int32_t Copies = 1, int32_t PaperSize = 9, const std::string& ExportFilePDF = "",
              int32_t SecondPageBinNr = 0, bool SilentMode = false);

    // Empties Title, SubTitle, FootNote and the letterhead choice; FootNoteDate and PageNbr
    // become true, MaxMergeCol, Outline and SubOutline -1, CarryForward and PageOfPages false.
    // Columns, printer arguments and the rows stay.
    void Clear();

    // Kept for compatibility: does nothing and returns false.
    bool RunScriptFile(const std::string& ScriptFileName);

    // Stores a letterhead choice (the arguments of clsqorPrintLib::PrLogo). The report does
    // not draw it; Clear forgets it.
    void Logo(const std::string& Lic, const std::string& Naam = "", const std::string& SubNaam = "",
              int32_t Layout = layLeft);

    // Attaches the rows of the report (shared: the caller may keep using the set; EndDoc
    // leaves it at its end). Returns Empty.
    Variant SetRt(std::shared_ptr<Recordset> Rt);

    // Takes the column layout from `DBGrid` at the next EndDoc (and every EndDoc after: there
    // is no way back to SetCol columns). Rows still come from SetRt. Returns Empty.
    Variant SetDBGrid(std::shared_ptr<const DataGrid> DBGrid);
    Variant SetDBGrid(const DataGrid& DBGrid) { return SetDBGrid(std::make_shared<DataGrid>(DBGrid)); }

    // Renders the report with a clsqorPrintLib of its own: opens the document with the Init
    // arguments (output mode 0 print, 1 preview, 2 spreadsheet, 3 PDF, 4 view only), draws
    // every page and ends it. Without rows it tells the user so (PrEmptyReport with Title) and
    // opens nothing. When the column widths do not fill the line from 10 to 190 mm (portrait)
    // or 280 mm (landscape), asks "Kolombreedtes : ..." (title "PrRapport"); No ends the run
    // with the document left open and nothing delivered. Returns Empty.
    // Throws RuntimeError(91) without SetRt (or SetDBGrid's grid), 9 for a bad column or
    // sub-total column index, 94 for an Align outside 0 to 2, 11 for a grid of 360 twips or
    // less, and what the record set, the formatter or the drawing throws (a DataField the
    // record set lacks: 3265 naming it). After an error the document stays open.
    Variant EndDoc();

    // ---- Read-only view of the definition ---------------------------------------------------

    // Index of the last column rendered (columns 0 to LastCol). 0 on a new object.
    int32_t LastCol() const noexcept { return lastCol_; }
    // Entry `index` of the column table. Throws RuntimeError(9) outside 0 to 15.
    const ColumnDef& Cols(int32_t index) const;

    // ---- The rendered document ----------------------------------------------------------------

    // The document EndDoc drew on: the page surface of the calling thread, which every
    // clsqorPrintLib of the thread shares. After EndDoc its pages stay there (PageCount,
    // SavePagePng, PrintDoc, VSPDF::ConvertDocument) until the thread's next document
    // starts or KillDoc discards them. Without rows EndDoc opens no document of its own.
    //   r.EndDoc();
    //   qor::VSPDF().ConvertDocument(r.Document(), "report.pdf");
    VSPrinter& Document() const;

private:
    friend class ReportRun;

    // Printer arguments of Init.
    std::string PrinterName_;
    int16_t Preview_ = 0;
    int32_t Orient_ = 0;
    int32_t Copies_ = 0;
    int32_t PaperSize_ = 0;
    std::string ExportFilePDF_;
    int32_t SecondPageBinNr_ = 0;
    bool SilentMode_ = false;

    std::shared_ptr<Recordset> rt_;
    std::shared_ptr<const DataGrid> dbGrid_;
    bool useGrid_ = false;
    int32_t lastCol_ = 0;

    // Letterhead choice of Logo.
    int32_t layout_ = 0;
    std::string naam_, subNaam_, lic_;

    std::array<ColumnDef, kReportColumns> cols_{};
};

}  // namespace qor
