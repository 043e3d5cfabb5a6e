// One rendering of a clsRapport: the state of EndDoc from opening the document to its end.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

namespace qor {

// The report's vertical layout, millimetres in the report's own coordinates.
// Top of the first record line of a page, under the captions.
inline constexpr float kFirstLineY = 30.4f;
// One record line; a band also needs this much room above the frame's bottom to start.
inline constexpr float kLineHeight = 4.0f;
// The separator under a line (and the line that closes a sub-total block), below its top.
inline constexpr float kSeparatorDrop = 3.7f;
// A sub-total band: its box starts this far above the line's top and is this high; its
// figures stand 1 mm lower than the line would, and the next line follows 8 mm below where
// the block started (kSubTotalTextDrop twice, then kSubTotalAdvance).
inline constexpr float kSubTotalBoxRise = 0.3f;
inline constexpr float kSubTotalBoxHeight = 6.0f;
inline constexpr float kSubTotalTextDrop = 1.0f;
inline constexpr float kSubTotalAdvance = 6.0f;
// The totals band stands on the frame's bottom, this high, its figures this far above the bottom.
inline constexpr float kTotalsBandHeight = 8.0f;
inline constexpr float kTotalsTextRise = 6.0f;
// A carried-forward band at the top of a page stands this far above the first line's top;
// the page's lines follow it.
inline constexpr float kBroughtForwardRise = 0.4f;

// Texts of the library's table (resources/texts.tsv) for the extensions.
inline constexpr int32_t kTextCarriedForward = 1200;  // band at the foot of a continuing page
inline constexpr int32_t kTextBroughtForward = 1201;  // the same figures atop the next page
inline constexpr int32_t kTextPage = 1202;            // "Pagina " of "Pagina 3 van 164"
inline constexpr int32_t kTextPageOf = 1203;          // " van "

// A type style for PrItem: print style, style letters, size, font and colour.
struct TextType {
    int32_t printStyle;
    std::string style;
    float fontSize;
    std::string fontName;
    int32_t color;
};

class ReportRun {
public:
    explicit ReportRun(clsRapport& report);
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // The whole of EndDoc.
    void Execute();

private:
    // Thrown by the width check when the user answers No: the run ends at once.
    struct Stop {};

    // GridImport.cpp: rebuilds the column table from the grid.
    void ImportGrid();

    // Frame.cpp
    void PageFrame();
    void NewPage();
    void CheckWidths();
    void FootLines();

    // Rows.cpp
    void RecordLoop();
    void PrintRecord();
    // Column `i` of the current record: printed, and added to its sums.
    void PrintField(int32_t i, ColumnDef& col);
    // The current record's value of column `i` as text, for an error message; never throws.
    std::string FieldText(int32_t i);
    void SeparatorAndMerge();
    // Outline entries for the current record where its Outline or SubOutline value is new.
    void MarkOutline();
    // RuntimeError(9) or (5) for Outline and SubOutline columns EndDoc cannot use.
    void CheckOutline() const;

    // Totals.cpp
    void SubTotalBlock();
    void TotalsBand();
    // A band like the totals band from `top` down, labelled with text `textId`, showing the
    // running totals of the sum columns (clsRapport::CarryForward).
    void CarryBand(float top, int32_t textId);
    // Where the lines and bands of a page must end: above the carried-forward band when
    // there is one.
    float FlowBottom() const { return carry_ ? bottomEdge_ - kTotalsBandHeight : bottomEdge_; }
    TextType FigureType(const ColumnDef& col) const;
    TextType LabelType(const ColumnDef& figure, const ColumnDef& label) const;

    // Entry `index` of the column table; RuntimeError(9) outside 0 to 15.
    ColumnDef& Col(int32_t index);
    // The x of a text placed in `col`: X + `leftOffset` (align 0), X + Width - 1 (1),
    // X + Width / 2 (2). RuntimeError(94) for any other alignment.
    static float Anchor(const ColumnDef& col, float leftOffset = 1);
    // The record-set field of column `index`, looked up once per run.
    int32_t FieldOf(int32_t index);
    // Whether the current record's field of column `index`, as text, differs from the
    // column's Value.
    bool Differs(int32_t index);
    void Print(float left, float top, Variant& item, int32_t frmt, int32_t align, const TextType& type);
    // A sub-total or total figure `value` of `col` on line `top`; an error names the column
    // (and `record`, when not 0) and the value.
    void PrintFigure(const ColumnDef& col, float top, double value, int64_t record);
    // `error` with the place it was raised at appended to its text: the record (when
    // `record` is above 0), the column, and the value as text (when not empty).
    [[noreturn]] static void RethrowAt(const RuntimeError& error, int64_t record, const ColumnDef& col,
                                       std::string_view value);

    clsRapport& r_;
    std::array<ColumnDef, kReportColumns>& cols_;
    int32_t& lastCol_;
    clsqorPrintLib lib_;
    Recordset* rs_ = nullptr;
    int16_t preview_ = 0;

    float rightEdge_ = 190;
    float bottomEdge_ = 274;
    float curY_ = 0;
    int32_t mergeFrom_ = 0;
    bool hasSubTotals_ = false;
    bool carry_ = false;  // carried-forward bands: asked for, a sum column, not a worksheet

    std::array<int32_t, kReportColumns> fieldIndex_;
    std::string scratch_;
    int64_t record_ = 0;  // the record being printed, counted from 1
    // Outline values of the last record marked; none before the first record.
    std::array<std::string, 2> outlineValue_;
    bool outlineStarted_ = false;
    std::string outlineText_;
};

}  // namespace qor
