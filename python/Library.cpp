// Library: clsqorPrintLib by its own member names. Arguments the C++ members take by reference
// come back in the result: PrItem returns the item as it was printed, PrLeft (text, width),
// PrPaintPicture the picture. Every drawing and document call releases the GIL.
#include "Bindings.h"
#include "Convert.h"

#include <pybind11/stl.h>

#include <qor/Picture.h>
#include <qor/PrinterList.h>
#include <qor/RtfText.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include <tuple>

namespace qorpy {

namespace {

using qor::clsqorPrintLib;

// The library object, sharing its report builder with Python: the Report a script holds stays
// valid when the library is given another one.
struct Library : clsqorPrintLib {
    std::shared_ptr<qor::clsRapport> report;

    std::shared_ptr<qor::clsRapport> Rapport() {
        if (!report) {
            report = std::make_shared<qor::clsRapport>();
            clsqorPrintLib::PrRapport(report);
        }
        return report;
    }
    void Rapport(std::shared_ptr<qor::clsRapport> replacement) {
        report = std::move(replacement);
        clsqorPrintLib::PrRapport(report);
    }
};

void BindDocument(py::class_<Library>& c) {
    c.def("PrSetUpDLL", &clsqorPrintLib::PrSetUpDLL, py::arg("app"), py::arg("AppOffset"))
        .def("InitPrinter", &clsqorPrintLib::InitPrinter, py::arg("PrinterName") = "", py::arg("Preview") = 0,
             py::arg("Orient") = 1, py::arg("Copies") = 1, py::arg("PaperSize") = 9, py::arg("ExportFilePDF") = "",
             py::arg("SecondPageBinNr") = 0, py::arg("SilentMode") = false, Release())
        .def("PrNewPage", &clsqorPrintLib::PrNewPage, Release())
        .def("PrEndDoc", &clsqorPrintLib::PrEndDoc, Release())
        .def("PrEmptyReport", &clsqorPrintLib::PrEmptyReport, py::arg("DocName") = "", py::arg("NoKillDoc") = false,
             Release())
        .def("PrCollectionLoad", &clsqorPrintLib::PrCollectionLoad, py::arg("ComboList"),
             py::arg("DefaultPrinter") = "", Release())
        .def("PrCollectionShowBins", &clsqorPrintLib::PrCollectionShowBins, py::arg("Combo"), Release())
        .def("PrResource", &clsqorPrintLib::PrResource, Release())
        .def("PrRapport", py::overload_cast<>(&Library::Rapport),
             "The report builder of this library, created on first use.")
        .def("PrRapport", py::overload_cast<std::shared_ptr<qor::clsRapport>>(&Library::Rapport), py::arg("rapport"),
             "Replaces the report builder; None makes the next PrRapport() create a fresh one.");
}

void BindDrawing(py::class_<Library>& c) {
    const int32_t psNormal = qor::psNormal;
    c.def(
         "PrItem",
         [](Library& self, float Left, float Top, qor::Variant Item, int32_t Frmt, int32_t Align, int32_t PrintStyle,
            const std::string& Style, float FontSize, const std::string& FontName, int32_t Color) {
             self.PrItem(Left, Top, Item, Frmt, Align, PrintStyle, Style, FontSize, FontName, Color);
             return Item;
         },
         py::arg("Left"), py::arg("Top"), py::arg("Item"), py::arg("Frmt"), py::arg("Align"),
         py::arg("PrintStyle") = psNormal, py::arg("Style") = "", py::arg("FontSize") = 9,
         py::arg("FontName") = "Arial", py::arg("Color") = 0, Release(),
         "Prints Item and returns it as the library left it (its number for every Frmt but frmtText).")
        .def(
            "PrBoxText",
            [](Library& self, float Left, float Top, float Right, float Bottom, const std::string& Text, bool Border,
               int32_t Align, int32_t PrintStyle, const std::string& Style, int32_t DrawWidth, int32_t BorderColor,
               std::optional<int32_t> FillColor, float FontSize, const std::string& FontName, bool EllipsText) {
                return self.PrBoxText(Left, Top, Right, Bottom, Text, Border, Align, PrintStyle, Style, DrawWidth,
                                      BorderColor, FillColor, FontSize, FontName, EllipsText);
            },
            py::arg("Left"), py::arg("Top"), py::arg("Right"), py::arg("Bottom"), py::arg("Text"), py::arg("Border"),
            py::arg("Align"), py::arg("PrintStyle") = psNormal, py::arg("Style") = "", py::arg("DrawWidth") = 10,
            py::arg("BorderColor") = 0, py::arg("FillColor") = py::none(), py::arg("FontSize") = 9,
            py::arg("FontName") = "Arial", py::arg("EllipsText") = false, Release(),
            "Wraps Text into the box; returns the text that did not fit ('' when all of it did).")
        .def(
            "PrLeft",
            [](Library& self, std::string Text, float MaxWidth, float FontSize, const std::string& FontName,
               bool NoDots) {
                std::string fitted = self.PrLeft(Text, MaxWidth, FontSize, FontName, NoDots);
                return std::make_tuple(fitted, MaxWidth);
            },
            py::arg("Text"), py::arg("MaxWidth"), py::arg("FontSize") = 9, py::arg("FontName") = "Arial",
            py::arg("NoDots") = false, Release(),
            "Fits Text into MaxWidth mm; returns (fitted text, MaxWidth less the width of '...' when dots "
            "were added).")
        .def("PrBox", &clsqorPrintLib::PrBox, py::arg("Left"), py::arg("Top"), py::arg("Right"), py::arg("Bottom"),
             py::arg("DrawWidth") = 10, py::arg("BorderColor") = 0, py::arg("FillColor") = py::none(),
             py::arg("RoundedCorners") = false, py::arg("Radius") = 10, Release())
        .def("PrCircle", &clsqorPrintLib::PrCircle, py::arg("Left"), py::arg("Top"), py::arg("Radius"),
             py::arg("DrawWidth") = 10, py::arg("BorderColor") = 0, py::arg("FillColor") = py::none(),
             py::arg("From") = 0, py::arg("UpTo") = 0, Release())
        .def("PrBookmark", &clsqorPrintLib::PrBookmark, py::arg("Title"), py::arg("Top"), py::arg("Level") = 1,
             Release())
        .def("PrLine", &clsqorPrintLib::PrLine, py::arg("Left"), py::arg("Top"), py::arg("Right"), py::arg("Bottom"),
             py::arg("DrawWidth") = 1, py::arg("BorderColor") = 0, Release())
        .def("PrCheckBox", &clsqorPrintLib::PrCheckBox, py::arg("Left"), py::arg("Top"), py::arg("Value"),
             py::arg("DrawWidth") = 10, py::arg("BorderColor") = 0, py::arg("FillColor") = py::none(), Release())
        .def("PrFrame", &clsqorPrintLib::PrFrame, py::arg("TitleRows") = 1, py::arg("Left") = 10, py::arg("Top") = 10,
             py::arg("Right") = 0, py::arg("Bottom") = 0, py::arg("TitleFillColor") = qor::kColorButtonFace, Release())
        .def(
            "PrPaintPicture",
            [](Library& self, qor::Picture iPic, float Left, float Top, float Width, float Height) {
                self.PrPaintPicture(iPic, Left, Top, Width, Height);
                return iPic;
            },
            py::arg("iPic"), py::arg("Left"), py::arg("Top"), py::arg("Width") = 0, py::arg("Height") = 0, Release(),
            "Draws the picture and returns it (the surface may hand back another).")
        .def("PrRTF", &clsqorPrintLib::PrRTF, py::arg("RTF"), py::arg("Top") = 0, py::arg("Left") = 0,
             py::arg("Right") = 0, Release())
        .def(
            "PrRTF",
            [](Library& self, const std::string& RTF, float Top, float Left, float Right) {
                self.PrRTF(qor::RtfText(RTF), Top, Left, Right);
            },
            py::arg("RTF"), py::arg("Top") = 0, py::arg("Left") = 0, py::arg("Right") = 0, Release(),
            "Places rich text: an RtfSource, or the RTF document itself as a string.")
        .def("PrRTFFile", &clsqorPrintLib::PrRTFFile, py::arg("FileName"), Release())
        .def("PrLogo", &clsqorPrintLib::PrLogo, py::arg("Lic"), py::arg("Naam") = "", py::arg("SubNaam") = "",
             py::arg("Layout") = static_cast<int32_t>(qor::layLeft), py::arg("VerkleinFactor") = 0,
             py::arg("TopShift") = 0, py::arg("LeftShift") = 0, Release());
}

}  // namespace

void BindLibrary(py::module_& m) {
    py::class_<Library> c(m, "Library",
                          "The library object (clsqorPrintLib): one document at a time per thread; "
                          "positions in millimetres.");
    c.def(py::init<>())
        .def_readwrite("T", &clsqorPrintLib::T)
        .def_readwrite("PrCurr", &clsqorPrintLib::PrCurr)
        .def_readwrite("PrScaleWidth", &clsqorPrintLib::PrScaleWidth)
        .def_readwrite("PrScaleHeight", &clsqorPrintLib::PrScaleHeight)
        .def_readwrite("PrBackColor", &clsqorPrintLib::PrBackColor)
        .def_readwrite("PrCaption", &clsqorPrintLib::PrCaption)
        .def_readwrite("PrNbrDec", &clsqorPrintLib::PrNbrDec)
        .def_readwrite("PrEurDec", &clsqorPrintLib::PrEurDec)
        .def_readwrite("DefaultFontSize", &clsqorPrintLib::DefaultFontSize)
        .def_readwrite("DefaultFontName", &clsqorPrintLib::DefaultFontName)
        .def_readwrite("DefaultPrinter", &clsqorPrintLib::DefaultPrinter)
        .def_readwrite("PrPdfFile", &clsqorPrintLib::PrPdfFile)
        .def_readwrite("PrCreationDate", &clsqorPrintLib::PrCreationDate)
        .def_readwrite("PrPageCountToken", &clsqorPrintLib::PrPageCountToken)
        .def_property(
            "VPrinter", [](const Library& self) { return self.VPrinter; },
            py::cpp_function([](Library& self, qor::VSPrinter* printer) { self.VPrinter = printer; },
                             py::keep_alive<1, 2>()),
            py::return_value_policy::reference,
            "The page surface of the open document (the thread's own), or None.")
        .def_property(
            "VSPDF", [](const Library& self) { return self.VSPDF; },
            py::cpp_function([](Library& self, qor::VSPDF* pdf) { self.VSPDF = pdf; }, py::keep_alive<1, 2>()),
            py::return_value_policy::reference, "A PDF writer slot kept for the client; the library never reads it.");
    BindDocument(c);
    BindDrawing(c);
}

}  // namespace qorpy
