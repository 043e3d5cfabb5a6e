// Small helpers shared by the drawing operations: the 5 mm drawing offset, the surface of a
// library object, and the runtime's string functions the operations need.
#pragma once

#include <string>
#include <string_view>

namespace qor {

class VSPrinter;
class clsqorPrintLib;

// Every drawing operation places its millimetre positions this far right of and below the
// surface origin.
inline constexpr float kDrawingOffsetMm = 5.0f;

// `mm` plus `delta` in single precision. Throws RuntimeError(6) when the sum overflows a float.
float AddMm(float mm, float delta);

// `mm` plus the drawing offset. Throws RuntimeError(6) on overflow.
inline float Offset(float mm) { return AddMm(mm, kDrawingOffsetMm); }

// Millimetres to twips and back through GenServices, the one place of the conversion.
double ToTwips(float mm);
float ToMm(double twips);

// The surface the object draws on. Throws RuntimeError(91) when no document was opened.
VSPrinter& SurfaceOf(clsqorPrintLib& lib);

// True while the thread's document goes to a spreadsheet.
bool ExcelModeOn();

// The runtime's Trim: leading and trailing blanks (spaces only) removed.
std::string TrimBlanks(std::string_view text);

// The runtime's UCase for UTF-8 text (accented letters included).
std::string UpperCase(std::string_view text);

// Removes the last character (a whole UTF-8 sequence) of `text`; nothing when it is empty.
void DropLastCharacter(std::string& text);

}  // namespace qor
