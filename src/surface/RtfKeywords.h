// The control words the RTF reader knows, and what each one does.
#pragma once

#include <string_view>

namespace qor::rtf {

// What a control word does. One row per word in the keyword table.
enum class Kw {
    // document and tables
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FontTbl, ColorTbl, FCharset, Cpg, Red, Green, Blue,
    Uc, U, Bin,
    // a destination whose content is never shown
    SkipDest,
    // character formatting
    Plain, F, Fs, B, I, Ul, UlNone, Strike, Cf, V,
    // paragraph formatting
    Pard, Ql, Qr, Qc, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, Tqdec,
    // breaks
    Par, Line, Tab, Page, Cell,
    // tables (ch: the nesting level of \nestcell / \nestrow, the side of a border or padding
    // 0 top 1 left 2 bottom 3 right, the border style, the vertical alignment)
    Trowd, Cellx, Intbl, Itap, Row, TrLeft, TrGaph, TrRh, TrHdr, ClBrdr, TrBrdr, BrdrStyle, BrdrW,
    BrdrCf, ClCbPat, ClCfPat, ClShdng, ClVertAl, ClMgf, ClMrg, ClVmgf, ClVmrg, ClPad, ClPadF,
    TrPadd, TrPaddF, NestTableProps,
    // lists
    ListTable, ListOverrideTable, List, ListLevel, LevelNfc, LevelStartAt, LevelFollow, LevelText,
    LevelNoRestart, LevelLegal, ListId, ListOverride, Ls, Ilvl, ListText, Pn, PnLvlBlt, PnLvlBody,
    PnNumberFormat, PnStart, PnTxtA, PnTxtB,
    // pictures (ch of PictKind: 1 PNG, 2 JPEG, 3 a kind that is not drawn)
    Pict, PictKind, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, ShpPict,
    // characters
    Char,
    // known, without visible effect here
    Ignore,
};

struct Keyword {
    std::string_view name;
    Kw kw;
    char16_t ch = 0;  // for Kw::Char
};

// The keyword named `name` (without the backslash), nullptr for an unknown word.
const Keyword* FindKeyword(std::string_view name);

}  // namespace qor::rtf
