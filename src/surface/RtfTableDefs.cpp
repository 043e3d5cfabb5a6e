#include "surface/RtfTableDefs.h"

#include <algorithm>

#include "surface/RtfReader.h"

namespace qor::rtf {
namespace {

constexpr int kMaxTwips = 31680;  // 22 inches

int Twips(int v, int lo = -kMaxTwips) { return std::clamp(v, lo, kMaxTwips); }

}  // namespace

bool RowDef::Apply(Kw kw, int side, bool hasParam, int param) {
    const int s = std::clamp(side, 0, 3);
    switch (kw) {
    case Kw::Trowd: *this = RowDef{}; return true;
    case Kw::Cellx:
        if (cells.size() < size_t(kRtfMaxCells)) {
            next.right = Twips(param);
            cells.push_back(next);
        }
        next = CellDef{};
        border = nullptr;
        return true;
    case Kw::TrLeft: left = Twips(param); return true;
    case Kw::TrGaph: gap = Twips(param, 0); return true;
    case Kw::TrRh: height = Twips(param); return true;
    case Kw::TrHdr: header = !hasParam || param != 0; return true;
    case Kw::ClBrdr:
        border = &next.border[size_t(s)];
        *border = BorderDef{1, 10, 0};
        return true;
    case Kw::TrBrdr: border = nullptr; return true;
    case Kw::BrdrStyle:
        if (border) border->style = side;
        return true;
    case Kw::BrdrW:
        if (border) border->width = std::clamp(param, 0, 1440);
        return true;
    case Kw::BrdrCf:
        if (border) border->color = std::clamp(param, 0, kRtfMaxTableEntries);
        return true;
    case Kw::ClCbPat: next.background = std::clamp(param, 0, kRtfMaxTableEntries); return true;
    case Kw::ClCfPat: next.pattern = std::clamp(param, 0, kRtfMaxTableEntries); return true;
    case Kw::ClShdng: next.shading = std::clamp(param, 0, 10000); return true;
    case Kw::ClVertAl: next.valign = s; return true;
    case Kw::ClMgf:
    case Kw::ClVmgf: return true;  // a cell that others merge into looks like any other
    case Kw::ClMrg: next.mergedLeft = true; return true;
    case Kw::ClVmrg: next.mergedUp = true; return true;
    case Kw::ClPad: next.padding[size_t(s)] = Twips(param, 0); return true;
    case Kw::TrPadd: padding[size_t(s)] = Twips(param, 0); return true;
    case Kw::ClPadF:
        // Unit 0 means "ignore the padding"; 3 is twips.
        if (param == 0) next.padding[size_t(s)] = -1;
        return true;
    case Kw::TrPaddF:
        if (param == 0) padding[size_t(s)] = -1;
        return true;
    default: return false;
    }
}

}  // namespace qor::rtf
