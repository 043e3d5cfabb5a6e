// The qorprint module: the library's public API by its own member names.
#include "Bindings.h"
#include "Convert.h"

PYBIND11_MODULE(qorprint, m) {
    m.doc() = "qorPrintLib: documents in millimetres to PDF, printers and the preview; reports over "
              "database rows. The members keep the C++ library's names.";
    qorpy::InitConvert(m);
    qorpy::BindRuntime(m);
    qorpy::BindServices(m);
    qorpy::BindSurface(m);
    qorpy::BindRecordsets(m);
    qorpy::BindReport(m);
    qorpy::BindLibrary(m);
}
