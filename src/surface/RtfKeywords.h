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
