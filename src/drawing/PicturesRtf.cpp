// PrPaintPicture, PrRTF and PrRTFFile: pictures and rich text on the page.
#include <filesystem>
#include <system_error>

#include <qor/GenServices.h>
#include <qor/PrinterList.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ErrorPlace.h"

namespace qor {

namespace {

enum class Lookup { Found, Missing, Failed };

// Whether `name` is a file that can be printed; `error` describes a lookup that failed
// (rather than finding nothing).
Lookup FindFile(const std::string& name, std::string& error) {
    if (name.empty()) return Lookup::Missing;
    std::error_code code;
    const auto status = std::filesystem::status(name, code);
    if (code && code != std::errc::no_such_file_or_directory && code != std::errc::not_a_directory) {
        error = RuntimeErrorText(code == std::errc::filename_too_long ? kErrBadFileName : kErrPathFileAccess) +
                " (" + code.message() + ")";
        return Lookup::Failed;
    }
    return std::filesystem::is_regular_file(status) ? Lookup::Found : Lookup::Missing;
}

}  // namespace

void clsqorPrintLib::PrPaintPicture(Picture& iPic, float Left, float Top, float Width, float Height) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const double left = ToTwips(Offset(Left));
    const double top = ToTwips(Offset(Top));
    std::optional<double> width;
    std::optional<double> height;
    if (Width != 0) width = ToTwips(Width);
    if (Height != 0) height = ToTwips(Height);
    SurfaceOf(*this).DrawPicture(iPic, left, top, width, height);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrPaintPicture", Left, Top, Width, Height);
}

void clsqorPrintLib::PrRTF(const RtfSource& RTF, float Top, float Left, float Right) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    VSPrinter& surface = SurfaceOf(*this);
    const double marginLeft = surface.MarginLeft();
    const double marginRight = surface.MarginRight();
    if (Top != 0) surface.CurrentY(ToTwips(Top));
    if (Left != 0) surface.MarginLeft(ToTwips(Left));
    if (Right != 0) surface.MarginRight(ToTwips(Right));
    // An error while placing the text leaves this call's margins on the surface.
    surface.TextRTF(RTF.TextRTF());
    surface.MarginLeft(marginLeft);
    surface.MarginRight(marginRight);
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrRTF", Top, Left, Right);
}

void clsqorPrintLib::PrRTFFile(const std::string& FileName) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    std::string lookupError;
    const Lookup found = FindFile(FileName, lookupError);
    if (found == Lookup::Found) {
        VSPrinter& surface = SurfaceOf(*this);
        surface.AutoRTF(true);
        surface.PrintFile(FileName);
        return;
    }
    GenServicesObject& services = GenServices();
    if (found == Lookup::Failed) {
        services.LastErrorText = lookupError;
    } else {
        services.LastErrorText = GetText(1010) + services.MessageSeparator + FileName;
    }
    services.ShowMessage(GetText(1005) + services.MessageSeparator + services.LastErrorText +
                             services.MessageSeparator + GetText(9700),
                         16, "Print RTF");
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrRTFFile", FileName);
}

}  // namespace qor
