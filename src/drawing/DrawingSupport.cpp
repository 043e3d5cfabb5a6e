#include "drawing/DrawingSupport.h"

#include <cmath>

#include <QString>

#include <qor/GenServices.h>
#include "core/ModuleState.h"
#include <qor/RuntimeError.h>
#include <qor/clsqorPrintLib.h>

namespace qor {

float AddMm(float mm, float delta) {
    const float sum = mm + delta;
    if (!std::isfinite(sum)) throw RuntimeError(kErrOverflow);
    return sum;
}

double ToTwips(float mm) { return GenServices().MmToTwips(mm); }

float ToMm(double twips) { return GenServices().TwipsToMm(static_cast<float>(twips)); }

VSPrinter& SurfaceOf(clsqorPrintLib& lib) {
    if (lib.VPrinter == nullptr) throw RuntimeError(kErrObjectNotSet);
    return *lib.VPrinter;
}

bool ExcelModeOn() { return modqorPrintLib().ExcelMode; }

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string UpperCase(std::string_view text) {
    bool ascii = true;
    for (unsigned char c : text) ascii = ascii && c < 0x80;
    if (ascii) {
        std::string out(text);
        for (char& c : out) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        return out;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toUpper().toStdString();
}

void DropLastCharacter(std::string& text) {
    if (text.empty()) return;
    std::size_t cut = text.size() - 1;
    // Continuation bytes of UTF-8 are 10xxxxxx; step back to the lead byte.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.erase(cut);
}

}  // namespace qor
