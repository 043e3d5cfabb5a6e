// The PDF converter of the page surface.
#pragma once

#include <string>

namespace qor {

class VSPrinter;

// Writes the document of a VSPrinter as a PDF file: fonts embedded as subsets (texts
// extract exactly), content compressed, pictures embedded losslessly (JPEG files as they
// are). Needs no QGuiApplication; one VSPDF may be used from one thread at a time.
class VSPDF {
public:
    // Document information stored in the file; empty fields are left out.
    std::string Title;
    std::string Author;
    std::string Subject;
    std::string Creator = "qorPrintLib";

    // Writes every page of `printer`'s document (open or ended) to `file`. The file is
    // written under a temporary name in the same folder and renamed into place, so a
    // failure never leaves half a file and an existing file stays until the new one is
    // complete. Throws RuntimeError(5) when the document has no pages, RuntimeError(75)
    // with the file name and the system's reason when the file cannot be written.
    void ConvertDocument(const VSPrinter& printer, const std::string& file) const;
};

}  // namespace qor
