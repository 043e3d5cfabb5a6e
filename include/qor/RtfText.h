// A rich text held as a plain RTF string, for PrRTF.
#pragma once

#include <string>
#include <utility>

#include <qor/PrinterList.h>

namespace qor {

// An RtfSource over an RTF document in a string, so that PrRTF can place rich text that no
// control holds:
//   lib.PrRTF(qor::RtfText("{\\rtf1\\ansi Hello \\b world\\b0}"), 120);
struct RtfText : RtfSource {
    explicit RtfText(std::string rtf) : rtf_(std::move(rtf)) {}
    // The RTF document as given.
    std::string TextRTF() const override { return rtf_; }

private:
    std::string rtf_;
};

}  // namespace qor
