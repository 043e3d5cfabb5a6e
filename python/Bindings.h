// The parts of the qorprint module, one function per area of the library.
#pragma once

#include "Convert.h"

namespace qorpy {

namespace py = pybind11;

// Lets other Python threads run while the bound call works in C++ (arguments are converted
// before and the result after, with the GIL held).
using Release = py::call_guard<py::gil_scoped_release>;

// Enumerations and constants, GetText, the runtime's conversions and Format.
void BindRuntime(py::module_& m);
// GenServices(), Application, Message.
void BindServices(py::module_& m);
// VSPrinter, FontSpec, VSPDF, Picture, printer lists and rich-text sources.
void BindSurface(py::module_& m);
// Record sets: Recordset, SqliteRecordset, MemoryRecordset.
void BindRecordsets(py::module_& m);
// Library (clsqorPrintLib).
void BindLibrary(py::module_& m);
// Report (clsRapport), ColumnDef, DataGrid.
void BindReport(py::module_& m);

}  // namespace qorpy
