// The surface's members whose work is done in the window part: rich text, text files, PNG
// pages and picture decoding. The checks happen here; the window part is loaded only for the
// work itself.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "genlib/WindowPart.h"
#include "qor/RuntimeError.h"
#include "qor/VSPrinter.h"
#include "surface/SurfaceState.h"

namespace qor {

void VSPrinter::TextRTF(std::string_view rtf) {
    if (!IsDocOpen()) throw RuntimeError(kErrInvalidCall);
    gui::Window().TextRtf(*this, rtf);
}

void VSPrinter::PrintFile(const std::string& file) {
    if (!IsDocOpen()) throw RuntimeError(kErrInvalidCall);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw RuntimeError(kErrFileNotFound, RuntimeErrorText(kErrFileNotFound) + ": " + file);
    std::ifstream in(file, std::ios::binary);
    if (!in || std::filesystem::is_directory(file, ec))
        throw RuntimeError(kErrPathFileAccess, RuntimeErrorText(kErrPathFileAccess) + ": " + file);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw RuntimeError(kErrPathFileAccess, RuntimeErrorText(kErrPathFileAccess) + ": " + file);
    gui::Window().PrintFile(*this, bytes);
}

void VSPrinter::SavePagePng(int32_t page, const std::string& file, double dpi) const {
    if (page < 1 || page > PageCount()) throw RuntimeError(kErrSubscript);
    if (!(dpi >= 1 && dpi <= 2400)) throw RuntimeError(kErrInvalidCall, "Resolution out of range");
    gui::Window().SavePagePng(*this, page, file, dpi);
}

bool surface::DecodePicture(std::string_view bytes, Picture::Impl& impl) {
    return gui::Window().DecodePicture(bytes, impl);
}

}  // namespace qor
