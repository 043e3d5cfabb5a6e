// Rich text and text files laid out on the surface with Qt's text document.
#include "surface/WindowSurface.h"

#include <QTextCursor>

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

void surface::LayOutRtf(VSPrinter& printer, std::string_view rtf) {
    RtfReadOptions options;
    options.defaultFamily = QString::fromStdString(printer.Font().Name);
    options.defaultPointSize = printer.Font().Size;
    const RtfReadResult read = ReadRtf(rtf, options);
    LayOut(printer, *read.document);
}

void surface::LayOutTextFile(VSPrinter& printer, const std::string& bytes) {
    if (IsRtf(bytes)) {
        LayOutRtf(printer, bytes);
        return;
    }
    // A plain text file: one paragraph per line, in the surface's font.
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n')) text.chop(1);
    QTextCursor(&doc).insertText(text);
    LayOut(printer, doc);
}

}  // namespace qor
