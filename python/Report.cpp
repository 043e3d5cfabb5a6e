// Record sets and the report builder.
#include "Bindings.h"
#include "Convert.h"
#include "RowSource.h"

#include <pybind11/stl.h>

#include <qor/DataGrid.h>
#include <qor/Recordset.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>

namespace qorpy {

namespace {

using RecordsetPtr = std::shared_ptr<qor::Recordset>;

// Rows a block of a cursor or an iterable brings in at once.
constexpr std::size_t kBlockRows = 500;

template <typename Class, typename Struct, typename T>
void Fields(Class& c, std::initializer_list<std::pair<const char*, T Struct::*>> fields) {
    for (const auto& [name, member] : fields) c.def_readwrite(name, member);
}

}  // namespace

void BindRecordsets(py::module_& m) {
    py::class_<qor::Recordset, RecordsetPtr>(m, "Recordset", "Rows read forward, one at a time.")
        .def("RecordCount", &qor::Recordset::RecordCount, Release())
        .def("MoveFirst", &qor::Recordset::MoveFirst, Release())
        .def("MoveNext", &qor::Recordset::MoveNext, Release())
        .def("IsEOF", &qor::Recordset::IsEOF)
        .def_property_readonly("EOF", &qor::Recordset::IsEOF)
        .def("FieldCount", &qor::Recordset::FieldCount)
        .def("FieldIndex", &qor::Recordset::FieldIndex, py::arg("name"))
        .def("FieldName", [](qor::Recordset& rs, int32_t index) { return rs.Fields(index).Name(); }, py::arg("index"))
        .def("Value", &qor::Recordset::Value, py::arg("index"))
        .def("Value", [](const qor::Recordset& rs, const std::string& name) { return rs.Value(rs.FieldIndex(name)); },
             py::arg("name"))
        .def(
            "Text",
            [](const qor::Recordset& rs, int32_t index) {
                std::string out;
                rs.Text(index, out);
                return out;
            },
            py::arg("index"));

    py::class_<qor::SqliteRecordset, qor::Recordset, std::shared_ptr<qor::SqliteRecordset>>(
        m, "SqliteRecordset", "The rows of one SQL query on an SQLite file.")
        .def_static("Open", &qor::SqliteRecordset::Open, py::arg("file"), py::arg("sql"),
                    py::arg("params") = std::vector<qor::Variant>{})
        .def_static(
            "OpenNamed",
            [](const std::string& file, const std::string& sql, const py::dict& params) {
                std::vector<std::pair<std::string, qor::Variant>> named;
                for (auto [name, value] : params)
                    named.emplace_back(py::str(name).cast<std::string>(), value.cast<qor::Variant>());
                return qor::SqliteRecordset::OpenNamed(file, sql, named);
            },
            py::arg("file"), py::arg("sql"), py::arg("params"));

    py::class_<qor::MemoryRecordset, qor::Recordset, std::shared_ptr<qor::MemoryRecordset>>(
        m, "MemoryRecordset", "Rows held in memory: MemoryRecordset(['name', 'amount'], [('Acme', 10)]).")
        .def(py::init<std::vector<std::string>, std::vector<std::vector<qor::Variant>>>(), py::arg("fieldNames"),
             py::arg("rows"));
}

void BindReport(py::module_& m) {
    py::class_<qor::ColumnDef> col(m, "ColumnDef", "One report column (see Report.SetCol).");
    col.def(py::init<>());
    Fields(col, {std::pair{"X", &qor::ColumnDef::X}, {"FontSize", &qor::ColumnDef::FontSize},
                 {"Width", &qor::ColumnDef::Width}});
    Fields(col, {std::pair{"SubTotal", &qor::ColumnDef::SubTotal}, {"Total", &qor::ColumnDef::Total}});
    Fields(col, {std::pair{"Caption", &qor::ColumnDef::Caption}, {"DataField", &qor::ColumnDef::DataField},
                 {"FFrmt", &qor::ColumnDef::FFrmt}, {"Style", &qor::ColumnDef::Style},
                 {"FontName", &qor::ColumnDef::FontName}});
    Fields(col, {std::pair{"PrLeft", &qor::ColumnDef::PrLeft}, {"NoDividerLine", &qor::ColumnDef::NoDividerLine}});
    Fields(col, {std::pair{"Frmt", &qor::ColumnDef::Frmt}, {"Align", &qor::ColumnDef::Align},
                 {"PrintStyle", &qor::ColumnDef::PrintStyle}, {"Color", &qor::ColumnDef::Color},
                 {"SubTotalCol", &qor::ColumnDef::SubTotalCol}, {"SubTotalType", &qor::ColumnDef::SubTotalType},
                 {"TotalType", &qor::ColumnDef::TotalType}, {"LLGenLib", &qor::ColumnDef::LLGenLib}});
    col.def_readwrite("Value", &qor::ColumnDef::Value);

    py::class_<qor::DataGridColumn> gridCol(m, "DataGridColumn", "One column of a data grid (widths in twips).");
    gridCol.def(py::init<>());
    Fields(gridCol, {std::pair{"Visible", &qor::DataGridColumn::Visible}, {"Merge", &qor::DataGridColumn::Merge}});
    Fields(gridCol, {std::pair{"Caption", &qor::DataGridColumn::Caption}, {"DataField", &qor::DataGridColumn::DataField},
                     {"NumberFormat", &qor::DataGridColumn::NumberFormat}});
    Fields(gridCol, {std::pair{"Alignment", &qor::DataGridColumn::Alignment},
                     {"DividerStyle", &qor::DataGridColumn::DividerStyle}});
    gridCol.def_readwrite("Width", &qor::DataGridColumn::Width);

    py::class_<qor::DataGrid>(m, "DataGrid", "A grid's column layout; Columns is read and assigned as a whole list.")
        .def(py::init([](std::vector<qor::DataGridColumn> columns, float width) {
                 return qor::DataGrid{std::move(columns), width};
             }),
             py::arg("Columns") = std::vector<qor::DataGridColumn>{}, py::arg("Width") = 0)
        .def_readwrite("Columns", &qor::DataGrid::Columns)
        .def_readwrite("Width", &qor::DataGrid::Width);

    using qor::clsRapport;
    py::class_<clsRapport, std::shared_ptr<clsRapport>> r(
        m, "Report", "The report builder of a Library (Library.PrRapport()): a ruled table over rows.");
    r.def_readwrite("Title", &clsRapport::Title)
        .def_readwrite("SubTitle", &clsRapport::SubTitle)
        .def_readwrite("FootNote", &clsRapport::FootNote)
        .def_readwrite("FootNoteDate", &clsRapport::FootNoteDate)
        .def_readwrite("PageNbr", &clsRapport::PageNbr)
        .def_readwrite("MaxMergeCol", &clsRapport::MaxMergeCol)
        .def_readwrite("Outline", &clsRapport::Outline)
        .def_readwrite("SubOutline", &clsRapport::SubOutline)
        .def_readwrite("CarryForward", &clsRapport::CarryForward)
        .def_readwrite("PageOfPages", &clsRapport::PageOfPages)
        .def("SetCol",
             py::overload_cast<int16_t, float, const std::string&, const std::string&, int32_t, int32_t, bool,
                               const std::string&, bool, int32_t, int32_t, int32_t, int32_t, int32_t,
                               const std::string&, float, const std::string&, int32_t>(&clsRapport::SetCol),
             py::arg("ColIndex"), py::arg("Width"), py::arg("Caption"), py::arg("DataField"), py::arg("Frmt"),
             py::arg("Align"), py::arg("NoDividerLine") = false, py::arg("FFrmt") = "", py::arg("PrLeft") = false,
             py::arg("LLGenLib") = 0, py::arg("SubTotalType") = 0, py::arg("SubTotalCol") = -1,
             py::arg("TotalType") = 0, py::arg("PrintStyle") = static_cast<int32_t>(qor::psNormal),
             py::arg("Style") = "", py::arg("FontSize") = 9, py::arg("FontName") = "Arial", py::arg("Color") = 0)
        .def("SetCol", py::overload_cast<int16_t, const qor::ColumnDef&>(&clsRapport::SetCol), py::arg("ColIndex"),
             py::arg("Col"))
        .def("Init", &clsRapport::Init, py::arg("PrinterName"), py::arg("Preview") = 0, py::arg("Orient") = 1,
             py::arg("Copies") = 1, py::arg("PaperSize") = 9, py::arg("ExportFilePDF") = "",
             py::arg("SecondPageBinNr") = 0, py::arg("SilentMode") = false)
        .def("Clear", &clsRapport::Clear)
        .def("RunScriptFile", &clsRapport::RunScriptFile, py::arg("ScriptFileName"))
        .def("Logo", &clsRapport::Logo, py::arg("Lic"), py::arg("Naam") = "", py::arg("SubNaam") = "",
             py::arg("Layout") = static_cast<int32_t>(qor::layLeft))
        .def("SetRt", &clsRapport::SetRt, py::arg("Rt"))
        .def(
            "SetRt",
            [](clsRapport& self, py::object rows, py::object fields, std::size_t blockSize) {
                return self.SetRt(RowSource::Make(std::move(rows), std::move(fields), blockSize));
            },
            py::arg("Rt"), py::arg("fields") = py::none(), py::arg("blockSize") = kBlockRows,
            "Attaches the report's rows: a Recordset; a DB-API cursor after execute (field names "
            "from its description, rows read with fetchmany(blockSize)); or any iterable of "
            "mappings (field names from the first row's keys unless `fields` is given) or of "
            "sequences (with `fields`). Rows are read as the report goes, a block at a time.")
        .def("SetDBGrid", py::overload_cast<const qor::DataGrid&>(&clsRapport::SetDBGrid), py::arg("DBGrid"))
        .def("EndDoc", &clsRapport::EndDoc, Release(),
             "Renders the report (the GIL is released; Python rows are fetched block by block).")
        .def("LastCol", &clsRapport::LastCol)
        .def("Cols", &clsRapport::Cols, py::arg("index"), py::return_value_policy::copy,
             "A copy of entry `index` of the column table.")
        .def("Document", &clsRapport::Document, py::return_value_policy::reference,
             "The calling thread's page surface holding the rendered pages.");
}

}  // namespace qorpy
