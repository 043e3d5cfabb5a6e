// EndDoc as a whole: open the document, frame, records, totals, end.
#include "report/ReportRun.h"

#include <qor/RuntimeError.h>

#include "core/Desktop.h"
#include "drawing/ErrorPlace.h"

namespace qor {

ReportRun::ReportRun(clsRapport& report)
    : r_(report), cols_(report.cols_), lastCol_(report.lastCol_), preview_(report.Preview_) {
    fieldIndex_.fill(-1);
}

void ReportRun::Execute() {
    // Errors of the items drawn for a record are named by the record, not by the item.
    const OperationScope scope;
    // Init turned the busy pointer on; the report leaves it off however it ends.
    BusyPointer busy;
    if (!r_.rt_) throw RuntimeError(kErrObjectNotSet);
    rs_ = r_.rt_.get();

    if (rs_->RecordCount() == 0) {
        lib_.PrEmptyReport(r_.Title, false);
        return;
    }
    if (!lib_.InitPrinter(r_.PrinterName_, r_.Preview_, r_.Orient_, r_.Copies_, r_.PaperSize_,
                          r_.ExportFilePDF_, r_.SecondPageBinNr_, r_.SilentMode_)) {
        return;
    }
    SetBusyPointer();
    // Right and bottom edges of the printed area in millimetres: A4 less the margins.
    constexpr float kShortEdge = 190;
    constexpr float kPortraitBottom = 274;
    constexpr float kLandscapeRight = 280;
    if (r_.Orient_ == kOrientPortrait) {
        rightEdge_ = kShortEdge;
        bottomEdge_ = kPortraitBottom;
    } else {
        rightEdge_ = kLandscapeRight;
        bottomEdge_ = kShortEdge;
    }
    if (r_.useGrid_) ImportGrid();
    CheckOutline();
    if (r_.CarryForward && preview_ != 2) {
        for (int32_t i = 0; i <= lastCol_; ++i) carry_ = carry_ || Col(i).TotalType == 1;
    }

    try {
        PageFrame();
        rs_->MoveFirst();
        RecordLoop();
        TotalsBand();
    } catch (const Stop&) {
        return;
    }
    lib_.PrEndDoc();
}

ColumnDef& ReportRun::Col(int32_t index) {
    if (index < 0 || index >= kReportColumns) throw RuntimeError(kErrSubscript);
    return cols_[static_cast<std::size_t>(index)];
}

float ReportRun::Anchor(const ColumnDef& col, float leftOffset) {
    switch (col.Align) {
        case alignLeft: return col.X + leftOffset;
        case alignRight: return col.X + col.Width - 1;
        case alignCenter: return col.X + col.Width / 2;
        default: throw RuntimeError(kErrInvalidUseOfNull);
    }
}

int32_t ReportRun::FieldOf(int32_t index) {
    int32_t& field = fieldIndex_[static_cast<std::size_t>(index)];
    if (field < 0) field = rs_->FieldIndex(Col(index).DataField);
    return field;
}

bool ReportRun::Differs(int32_t index) {
    const ColumnDef& col = Col(index);
    rs_->Text(FieldOf(index), scratch_);
    if (col.Value.IsString()) return scratch_ != col.Value.AsString();
    return scratch_ != JoinText(col.Value);
}

void ReportRun::Print(float left, float top, Variant& item, int32_t frmt, int32_t align,
                      const TextType& type) {
    lib_.PrItem(left, top, item, frmt, align, type.printStyle, type.style, type.fontSize,
                type.fontName, type.color);
}

}  // namespace qor
