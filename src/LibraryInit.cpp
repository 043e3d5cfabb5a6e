// Start-up of the shared library libqorprint: wires the layers that the lower ones reach
// only through registration, so that a client linking libqorprint gets the whole library.
#include <qor/Preview.h>

namespace {

struct LibraryInit {
    LibraryInit() { qor::InstallPreviewWindow(); }
};

const LibraryInit init;

}  // namespace
