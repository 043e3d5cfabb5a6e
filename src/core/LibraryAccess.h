// Access for the library's own files to the private members of clsqorPrintLib.
#pragma once

#include <qor/clsqorPrintLib.h>

namespace qor {

struct LibraryAccess {
    // Restores the per-document settings after a document ends or is discarded.
    static void ResetDefaults(clsqorPrintLib& lib) { lib.ResetDefaults(); }
};

}  // namespace qor
