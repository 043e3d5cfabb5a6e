// Rich text on the surface: TextRTF and PrintFile.
#include <QTextCursor>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "qor/RuntimeError.h"
#include "qor/VSPrinter.h"
#include "surface/RtfLayout.h"
#include "surface/RtfReader.h"

namespace qor {
namespace {

void LayOut(VSPrinter& printer, const QTextDocument& doc) {
    const auto bands = surface::LayOutRichText(doc, printer.MarginLeft(), printer.PageWidth() - printer.MarginRight(),
                                               printer.PageHeight() - printer.MarginTop() - printer.MarginBottom(),
                                               printer.Font(), printer.TextColor());
    surface::PlaceBands(printer, bands);
}

bool IsRtf(std::string_view bytes) {
    const size_t start = bytes.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && bytes.substr(start, 5) == "{\\rtf";
}

}  // namespace

void VSPrinter::TextRTF(std::string_view rtf) {
    if (!IsDocOpen()) throw RuntimeError(kErrInvalidCall);
    RtfReadOptions options;
    options.defaultFamily = QString::fromStdString(Font().Name);
    options.defaultPointSize = Font().Size;
    const RtfReadResult read = ReadRtf(rtf, options);
    LayOut(*this, *read.document);
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
    if (IsRtf(bytes)) {
        TextRTF(bytes);
        return;
    }
    // A plain text file: one paragraph per line, in the surface's font.
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n')) text.chop(1);
    QTextCursor(&doc).insertText(text);
    LayOut(*this, doc);
}

}  // namespace qor
