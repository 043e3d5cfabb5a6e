// Start-up of the shared library libqorprint: wires the layers that the lower ones reach
// only through registration, so that a client linking libqorprint gets the whole library.
#include <qor/Preview.h>
#include <qor/SpreadsheetExport.h>

namespace {

struct LibraryInit {
    LibraryInit() {
        qor::InstallPreviewWindow();
        qor::InstallSpreadsheetExport();
    }
};

const LibraryInit init;

}  // namespace
