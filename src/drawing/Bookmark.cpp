// PrBookmark: an entry of the document's outline (PDF bookmarks, the preview's side panel).
#include <qor/RuntimeError.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "surface/DocumentAccess.h"

namespace qor {

void clsqorPrintLib::PrBookmark(const std::string& Title, float Top, int32_t Level) {
    if (ExcelModeOn()) return;
    if (Level < 1) throw RuntimeError(kErrInvalidCall);
    const double y = ToTwips(Offset(Top));
    surface::AddBookmark(SurfaceOf(*this), static_cast<uint32_t>(Level - 1), Title, y);
}

}  // namespace qor
