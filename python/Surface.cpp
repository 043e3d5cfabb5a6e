// The page surface, its PDF writer, pictures, printer lists and rich-text sources.
#include "Bindings.h"
#include "Convert.h"

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <qor/Picture.h>
#include <qor/PrinterList.h>
#include <qor/RtfText.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>

namespace qorpy {

namespace {

using qor::VSPrinter;

// A getter/setter pair of VSPrinter (`double CurrentX() const`, `void CurrentX(double)`) as one
// Python property.
template <typename T>
void Property(py::class_<VSPrinter>& c, const char* name, T (VSPrinter::*get)() const, void (VSPrinter::*set)(T)) {
    c.def_property(name, get, set);
}

// Printer lists written in Python: subclass PrinterList and implement its members.
class PyPrinterList : public qor::PrinterList {
public:
    void Clear() override { PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, Clear, ); }
    void AddItem(const std::string& text) override { PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, AddItem, text); }
    int32_t ItemData(int32_t index) const override { PYBIND11_OVERRIDE_PURE(int32_t, qor::PrinterList, ItemData, index); }
    void SetItemData(int32_t index, int32_t value) override {
        PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, SetItemData, index, value);
    }
    int32_t NewIndex() const override { PYBIND11_OVERRIDE_PURE(int32_t, qor::PrinterList, NewIndex, ); }
    int32_t ListIndex() const override { PYBIND11_OVERRIDE_PURE(int32_t, qor::PrinterList, ListIndex, ); }
    void SetListIndex(int32_t index) override { PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, SetListIndex, index); }
    std::string Text() const override { PYBIND11_OVERRIDE_PURE(std::string, qor::PrinterList, Text, ); }
    std::string List(int32_t index) const override { PYBIND11_OVERRIDE_PURE(std::string, qor::PrinterList, List, index); }
    void SetList(int32_t index, const std::string& text) override {
        PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, SetList, index, text);
    }
    int32_t ListCount() const override { PYBIND11_OVERRIDE_PURE(int32_t, qor::PrinterList, ListCount, ); }
    void SetFocus() override { PYBIND11_OVERRIDE_PURE(void, qor::PrinterList, SetFocus, ); }
};

// Rich text held by a Python object: subclass RtfSource and implement TextRTF().
class PyRtfSource : public qor::RtfSource {
public:
    std::string TextRTF() const override { PYBIND11_OVERRIDE_PURE(std::string, qor::RtfSource, TextRTF, ); }
};

void BindPage(py::module_& m) {
    py::class_<qor::FontSpec>(m, "FontSpec", "The font of the surface's next texts.")
        .def(py::init<>())
        .def_readwrite("Name", &qor::FontSpec::Name)
        .def_readwrite("Size", &qor::FontSpec::Size)
        .def_readwrite("Bold", &qor::FontSpec::Bold)
        .def_readwrite("Italic", &qor::FontSpec::Italic)
        .def_readwrite("Underline", &qor::FontSpec::Underline)
        .def_readwrite("Strikethrough", &qor::FontSpec::Strikethrough)
        .def(py::self == py::self);

    py::class_<VSPrinter> c(m, "VSPrinter",
                            "A document composed page by page; positions in twips. Properties read "
                            "and set as attributes (vp.CurrentX = 1440).");
    c.def(py::init<>())
        .def("StartDoc", &VSPrinter::StartDoc)
        .def("NewPage", &VSPrinter::NewPage)
        .def("EndDoc", &VSPrinter::EndDoc)
        .def("KillDoc", &VSPrinter::KillDoc)
        .def("PageCount", &VSPrinter::PageCount)
        .def("IsDocOpen", &VSPrinter::IsDocOpen)
        .def("CurrentPage", &VSPrinter::CurrentPage)
        .def_property_readonly("PageWidth", &VSPrinter::PageWidth)
        .def_property_readonly("PageHeight", &VSPrinter::PageHeight)
        .def("PageWidthOf", &VSPrinter::PageWidthOf, py::arg("page"))
        .def("PageHeightOf", &VSPrinter::PageHeightOf, py::arg("page"))
        .def_property(
            "Font", py::overload_cast<>(&VSPrinter::Font), py::overload_cast<const qor::FontSpec&>(&VSPrinter::Font),
            py::return_value_policy::reference_internal)
        .def("Text", &VSPrinter::Text, py::arg("text"), Release())
        .def("TextWidth", &VSPrinter::TextWidth, py::arg("text"))
        .def("TextHeight", &VSPrinter::TextHeight, py::arg("text"))
        .def("TextRTF", &VSPrinter::TextRTF, py::arg("rtf"), Release())
        .def("PrintFile", &VSPrinter::PrintFile, py::arg("file"), Release())
        .def("DrawRectangle", &VSPrinter::DrawRectangle, py::arg("left"), py::arg("top"), py::arg("right"),
             py::arg("bottom"), py::arg("radiusX") = 0, py::arg("radiusY") = 0)
        .def("DrawCircle", &VSPrinter::DrawCircle, py::arg("centerX"), py::arg("centerY"), py::arg("radius"),
             py::arg("from") = 0, py::arg("upTo") = 0)
        .def("DrawLine", &VSPrinter::DrawLine, py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"))
        .def("DrawPicture", &VSPrinter::DrawPicture, py::arg("picture"), py::arg("left"), py::arg("top"),
             py::arg("width") = py::none(), py::arg("height") = py::none())
        .def("SavePagePng", &VSPrinter::SavePagePng, py::arg("page"), py::arg("file"), py::arg("dpi") = 96, Release())
        .def("NDevices", &VSPrinter::NDevices)
        .def("Devices", &VSPrinter::Devices, py::arg("i"))
        .def("Error", &VSPrinter::Error)
        .def("Clear", &VSPrinter::Clear)
        .def("PrintDoc", py::overload_cast<bool>(&VSPrinter::PrintDoc), py::arg("showDialog") = false, Release())
        .def("PrintDoc", py::overload_cast<bool, int32_t, int32_t>(&VSPrinter::PrintDoc), py::arg("showDialog"),
             py::arg("fromPage"), py::arg("toPage"), Release())
        .def("PrintDoc", py::overload_cast<bool, const std::string&>(&VSPrinter::PrintDoc), py::arg("showDialog"),
             py::arg("range"), Release());
    Property<int32_t>(c, "PaperSize", &VSPrinter::PaperSize, &VSPrinter::PaperSize);
    Property<int32_t>(c, "Orientation", &VSPrinter::Orientation, &VSPrinter::Orientation);
    Property<double>(c, "MarginLeft", &VSPrinter::MarginLeft, &VSPrinter::MarginLeft);
    Property<double>(c, "MarginRight", &VSPrinter::MarginRight, &VSPrinter::MarginRight);
    Property<double>(c, "MarginTop", &VSPrinter::MarginTop, &VSPrinter::MarginTop);
    Property<double>(c, "MarginBottom", &VSPrinter::MarginBottom, &VSPrinter::MarginBottom);
    Property<int32_t>(c, "BackColor", &VSPrinter::BackColor, &VSPrinter::BackColor);
    Property<bool>(c, "Preview", &VSPrinter::Preview, &VSPrinter::Preview);
    Property<bool>(c, "AbortWindow", &VSPrinter::AbortWindow, &VSPrinter::AbortWindow);
    Property<bool>(c, "AutoRTF", &VSPrinter::AutoRTF, &VSPrinter::AutoRTF);
    Property<double>(c, "CurrentX", &VSPrinter::CurrentX, &VSPrinter::CurrentX);
    Property<double>(c, "CurrentY", &VSPrinter::CurrentY, &VSPrinter::CurrentY);
    Property<int32_t>(c, "TextColor", &VSPrinter::TextColor, &VSPrinter::TextColor);
    Property<int32_t>(c, "PenStyle", &VSPrinter::PenStyle, &VSPrinter::PenStyle);
    Property<int32_t>(c, "PenColor", &VSPrinter::PenColor, &VSPrinter::PenColor);
    Property<double>(c, "PenWidth", &VSPrinter::PenWidth, &VSPrinter::PenWidth);
    Property<int32_t>(c, "BrushStyle", &VSPrinter::BrushStyle, &VSPrinter::BrushStyle);
    Property<int32_t>(c, "BrushColor", &VSPrinter::BrushColor, &VSPrinter::BrushColor);
    Property<int32_t>(c, "PaperBin", &VSPrinter::PaperBin, &VSPrinter::PaperBin);
    Property<int32_t>(c, "Copies", &VSPrinter::Copies, &VSPrinter::Copies);
    c.def_property("Device", py::overload_cast<>(&VSPrinter::Device, py::const_),
                   py::overload_cast<const std::string&>(&VSPrinter::Device));

    py::class_<qor::VSPDF>(m, "VSPDF", "Writes a VSPrinter's document as a PDF file.")
        .def(py::init<>())
        .def_readwrite("Title", &qor::VSPDF::Title)
        .def_readwrite("Author", &qor::VSPDF::Author)
        .def_readwrite("Subject", &qor::VSPDF::Subject)
        .def_readwrite("Creator", &qor::VSPDF::Creator)
        .def("ConvertDocument", &qor::VSPDF::ConvertDocument, py::arg("printer"), py::arg("file"), Release());
}

}  // namespace

void BindSurface(py::module_& m) {
    BindPage(m);

    py::class_<qor::Picture>(m, "Picture", "A raster picture (PNG, JPEG, BMP, ...).")
        .def(py::init<>())
        .def_static("FromFile", &qor::Picture::FromFile, py::arg("path"))
        .def_static("FromBytes", [](const py::bytes& data) { return qor::Picture::FromBytes(std::string(data)); },
                    py::arg("data"))
        .def("IsNull", &qor::Picture::IsNull)
        .def("Width", &qor::Picture::Width)
        .def("Height", &qor::Picture::Height)
        .def("DpiX", &qor::Picture::DpiX)
        .def("DpiY", &qor::Picture::DpiY)
        .def("WidthTwips", &qor::Picture::WidthTwips)
        .def("HeightTwips", &qor::Picture::HeightTwips)
        .def("IsJpeg", &qor::Picture::IsJpeg)
        .def(py::self == py::self);

    py::class_<qor::PrinterList, PyPrinterList>(m, "PrinterList",
                                                "A list or combo box of printers; subclass it to "
                                                "fill a widget of your own.")
        .def(py::init<>())
        .def("Clear", &qor::PrinterList::Clear)
        .def("AddItem", &qor::PrinterList::AddItem, py::arg("text"))
        .def("ItemData", &qor::PrinterList::ItemData, py::arg("index"))
        .def("SetItemData", &qor::PrinterList::SetItemData, py::arg("index"), py::arg("value"))
        .def("NewIndex", &qor::PrinterList::NewIndex)
        .def("ListIndex", &qor::PrinterList::ListIndex)
        .def("SetListIndex", &qor::PrinterList::SetListIndex, py::arg("index"))
        .def("Text", &qor::PrinterList::Text)
        .def("List", &qor::PrinterList::List, py::arg("index"))
        .def("SetList", &qor::PrinterList::SetList, py::arg("index"), py::arg("text"))
        .def("ListCount", &qor::PrinterList::ListCount)
        .def("SetFocus", &qor::PrinterList::SetFocus);
    py::class_<qor::MemoryPrinterList, qor::PrinterList>(m, "MemoryPrinterList", "A printer list in memory.")
        .def(py::init<>())
        .def("FocusCount", &qor::MemoryPrinterList::FocusCount);

    py::class_<qor::RtfSource, PyRtfSource>(m, "RtfSource", "Anything holding rich text: implement TextRTF().")
        .def(py::init<>())
        .def("TextRTF", &qor::RtfSource::TextRTF);
    py::class_<qor::RtfText, qor::RtfSource>(m, "RtfText", "Rich text held in a string.")
        .def(py::init<std::string>(), py::arg("rtf"));
}

}  // namespace qorpy
