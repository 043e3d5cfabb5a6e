// What the surface does with Qt's GUI library, in the window part: rich text layout.
#pragma once

#include <string>
#include <string_view>

namespace qor {
class VSPrinter;
}

namespace qor::surface {

// Lays out the RTF text `rtf` from the surface's current position in its font, breaking pages.
void LayOutRtf(VSPrinter& printer, std::string_view rtf);
// Lays out the bytes of a file: RTF, or plain text with one paragraph per line.
void LayOutTextFile(VSPrinter& printer, const std::string& bytes);

}  // namespace qor::surface
