// The report definition: texts, printer arguments, the column table, the rows, and the
// report builder of a library object.
#include <qor/clsRapport.h>

#include <qor/RuntimeError.h>
#include <qor/clsqorPrintLib.h>

#include "core/Desktop.h"
#include "core/Surfaces.h"
#include "report/ReportRun.h"

namespace qor {

clsRapport& clsqorPrintLib::PrRapport() {
    if (!rapport_) rapport_ = std::make_shared<clsRapport>();
    return *rapport_;
}

void clsqorPrintLib::PrRapport(std::shared_ptr<clsRapport> rapport) { rapport_ = std::move(rapport); }

void clsRapport::SetCol(int16_t ColIndex, float Width, const std::string& Caption,
                        const std::string& DataField, int32_t Frmt, int32_t Align,
                        bool NoDividerLine, const std::string& FFrmt, bool PrLeft,
                        int32_t LLGenLib, int32_t SubTotalType, int32_t SubTotalCol,
                        int32_t TotalType, int32_t PrintStyle, const std::string& Style,
                        float FontSize, const std::string& FontName, int32_t Color) {
    ColumnDef col;
    col.Caption = Caption;
    col.DataField = DataField;
    col.PrLeft = PrLeft;
    col.Frmt = Frmt;
    col.FFrmt = FFrmt;
    col.Align = Align;
    col.PrintStyle = PrintStyle;
    col.Style = Style;
    col.FontSize = FontSize;
    col.FontName = FontName;
    col.Color = Color;
    col.SubTotalCol = SubTotalCol;
    col.SubTotalType = SubTotalType;
    col.TotalType = TotalType;
    col.Width = Width;
    col.NoDividerLine = NoDividerLine;
    col.LLGenLib = LLGenLib;
    SetCol(ColIndex, col);
}

void clsRapport::SetCol(int16_t ColIndex, const ColumnDef& Col) {
    lastCol_ = ColIndex;
    if (ColIndex < 0 || ColIndex >= kReportColumns) throw RuntimeError(kErrSubscript);
    ColumnDef& col = cols_[static_cast<std::size_t>(ColIndex)];
    col = Col;
    col.X = 0;
    col.Value = Variant::Null();
    col.SubTotal = 0;
    col.Total = 0;
}

bool clsRapport::Init(const std::string& PrinterName, int16_t Preview, int32_t Orient,
                      int32_t Copies, int32_t PaperSize, const std::string& ExportFilePDF,
                      int32_t SecondPageBinNr, bool SilentMode) {
    SetBusyPointer();
    PrinterName_ = PrinterName;
    Preview_ = Preview;
    Orient_ = Orient;
    Copies_ = Copies;
    PaperSize_ = PaperSize;
    ExportFilePDF_ = ExportFilePDF;
    SecondPageBinNr_ = SecondPageBinNr;
    SilentMode_ = SilentMode;
    Clear();
    return false;
}

void clsRapport::Clear() {
    lic_.clear();
    naam_.clear();
    subNaam_.clear();
    Title.clear();
    SubTitle.clear();
    FootNote.clear();
    FootNoteDate = true;
    PageNbr = true;
    MaxMergeCol = -1;
    Outline = -1;
    SubOutline = -1;
    CarryForward = false;
    PageOfPages = false;
}

bool clsRapport::RunScriptFile(const std::string&) { return false; }

void clsRapport::Logo(const std::string& Lic, const std::string& Naam, const std::string& SubNaam,
                      int32_t Layout) {
    lic_ = Lic;
    naam_ = Naam;
    subNaam_ = SubNaam;
    layout_ = Layout;
}

Variant clsRapport::SetRt(std::shared_ptr<Recordset> Rt) {
    rt_ = std::move(Rt);
    return {};
}

Variant clsRapport::SetDBGrid(std::shared_ptr<const DataGrid> DBGrid) {
    dbGrid_ = std::move(DBGrid);
    useGrid_ = true;
    return {};
}

const ColumnDef& clsRapport::Cols(int32_t index) const {
    if (index < 0 || index >= kReportColumns) throw RuntimeError(kErrSubscript);
    return cols_[static_cast<std::size_t>(index)];
}

VSPrinter& clsRapport::Document() const { return PreviewSurface(); }

Variant clsRapport::EndDoc() {
    ReportRun run(*this);
    run.Execute();
    return {};
}

}  // namespace qor
