#include "surface/Paper.h"

#include <iterator>

namespace qor::surface {

namespace {

constexpr double kInch = 25.4;

constexpr PaperInfo kPapers[] = {
    {1, "Letter", 8.5 * kInch, 11 * kInch},
    {2, "Letter Small", 8.5 * kInch, 11 * kInch},
    {3, "Tabloid", 11 * kInch, 17 * kInch},
    {4, "Ledger", 17 * kInch, 11 * kInch},
    {5, "Legal", 8.5 * kInch, 14 * kInch},
    {6, "Statement", 5.5 * kInch, 8.5 * kInch},
    {7, "Executive", 7.25 * kInch, 10.5 * kInch},
    {8, "A3", 297, 420},
    {9, "A4", 210, 297},
    {10, "A4 Small", 210, 297},
    {11, "A5", 148, 210},
    {12, "B4 (JIS)", 257, 364},
    {13, "B5 (JIS)", 182, 257},
    {14, "Folio", 8.5 * kInch, 13 * kInch},
    {15, "Quarto", 215, 275},
    {16, "10x14", 10 * kInch, 14 * kInch},
    {17, "11x17", 11 * kInch, 17 * kInch},
    {18, "Note", 8.5 * kInch, 11 * kInch},
    {19, "Envelope #9", 3.875 * kInch, 8.875 * kInch},
    {20, "Envelope #10", 4.125 * kInch, 9.5 * kInch},
    {21, "Envelope #11", 4.5 * kInch, 10.375 * kInch},
    {22, "Envelope #12", 4.75 * kInch, 11 * kInch},
    {23, "Envelope #14", 5 * kInch, 11.5 * kInch},
    {24, "C size sheet", 17 * kInch, 22 * kInch},
    {25, "D size sheet", 22 * kInch, 34 * kInch},
    {26, "E size sheet", 34 * kInch, 44 * kInch},
    {27, "Envelope DL", 110, 220},
    {28, "Envelope C5", 162, 229},
    {29, "Envelope C3", 324, 458},
    {30, "Envelope C4", 229, 324},
    {31, "Envelope C6", 114, 162},
    {32, "Envelope C65", 114, 229},
    {33, "Envelope B4", 250, 353},
    {34, "Envelope B5", 176, 250},
    {35, "Envelope B6", 176, 125},
    {36, "Envelope Italy", 110, 230},
    {37, "Envelope Monarch", 3.875 * kInch, 7.5 * kInch},
    {38, "6 3/4 Envelope", 3.625 * kInch, 6.5 * kInch},
    {39, "US Std Fanfold", 14.875 * kInch, 11 * kInch},
    {40, "German Std Fanfold", 8.5 * kInch, 12 * kInch},
    {41, "German Legal Fanfold", 8.5 * kInch, 13 * kInch},
};

// Windows' default system colours, by index.
constexpr uint32_t kSystemColors[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

}  // namespace

const PaperInfo* FindPaper(int32_t code) {
    for (const PaperInfo& p : kPapers)
        if (p.code == code) return &p;
    return nullptr;
}

uint32_t SystemColorRgb(int32_t index) {
    return index >= 0 && index < static_cast<int32_t>(std::size(kSystemColors))
               ? kSystemColors[index]
               : 0;
}

}  // namespace qor::surface
