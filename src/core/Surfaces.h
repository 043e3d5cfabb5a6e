// The page surfaces of the calling thread: the document surface the preview window shows,
// and the hidden probe surface on which printers are asked about trays and copies.
#pragma once

namespace qor {

class VSPrinter;

// The thread's document surface, created on first use. Every clsqorPrintLib object of the
// thread draws on it (VPrinter points here) and PrEndDoc hands it to the preview window.
VSPrinter& PreviewSurface();

// The thread's probe surface, created on first use. Only its Device, PaperBin, Copies,
// Error and Clear members are used; it never holds a document.
VSPrinter& TempPrinter();

}  // namespace qor
