// Paper sizes by their Windows codes, and the Windows system colours.
#pragma once

#include <cstdint>

namespace qor::surface {

struct PaperInfo {
    int32_t code;
    const char* name;
    double widthMm, heightMm;   // portrait
};

// The paper of Windows code `code`, or nullptr for an unknown code.
const PaperInfo* FindPaper(int32_t code);

// 0xRRGGBB of Windows system colour `index` (COLOR_BTNFACE = 15, ...), black when unknown.
uint32_t SystemColorRgb(int32_t index);

}  // namespace qor::surface
