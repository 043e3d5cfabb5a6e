// Enumerations, error numbers, texts and the runtime's conversion functions.
#include "Bindings.h"
#include "Convert.h"

#include <qor/Enums.h>
#include <qor/Format.h>
#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>
#include <qor/Variant.h>
#include <qor/clsRapport.h>

#include <utility>

namespace qorpy {

namespace {

struct Constant {
    const char* name;
    int32_t value;
};

#define QOR_CONSTANT(name) Constant{#name, static_cast<int32_t>(qor::name)}

// Every named value of the library's enumerations and constants, as module attributes.
constexpr Constant kConstants[] = {
    QOR_CONSTANT(frmtText), QOR_CONSTANT(frmtNumber), QOR_CONSTANT(frmtNumberDec),
    QOR_CONSTANT(frmtNumberNoZero), QOR_CONSTANT(frmtNumberDecNoZero), QOR_CONSTANT(frmtCurrency),
    QOR_CONSTANT(frmtCurrencyDec), QOR_CONSTANT(frmtPercent), QOR_CONSTANT(frmtPercentDec),
    QOR_CONSTANT(frmtEuroCode), QOR_CONSTANT(frmtEuroSign), QOR_CONSTANT(frmtAmount),
    QOR_CONSTANT(frmtEuroCode2), QOR_CONSTANT(frmtEuroSign2), QOR_CONSTANT(frmtAmount2),
    QOR_CONSTANT(frmtEuroCode4), QOR_CONSTANT(frmtEuroSign4), QOR_CONSTANT(frmtAmount4),
    QOR_CONSTANT(psNormal), QOR_CONSTANT(psTitle), QOR_CONSTANT(psSubTitle), QOR_CONSTANT(psCaps),
    QOR_CONSTANT(psBold), QOR_CONSTANT(psSmall), QOR_CONSTANT(psCustom),
    QOR_CONSTANT(layLeft), QOR_CONSTANT(layRight), QOR_CONSTANT(layCenterLarge), QOR_CONSTANT(layCenter),
    QOR_CONSTANT(bcBlack), QOR_CONSTANT(bcWhite), QOR_CONSTANT(bcLightGrey), QOR_CONSTANT(bcLightYellow),
    QOR_CONSTANT(bcLightBlue),
    QOR_CONSTANT(alignLeft), QOR_CONSTANT(alignRight), QOR_CONSTANT(alignCenter),
    QOR_CONSTANT(kOrientPortrait), QOR_CONSTANT(kOrientLandscape), QOR_CONSTANT(kPaperA4),
    QOR_CONSTANT(kUnchecked), QOR_CONSTANT(kChecked), QOR_CONSTANT(kGrayed), QOR_CONSTANT(kColorButtonFace),
    QOR_CONSTANT(kReportColumns),
    QOR_CONSTANT(kMsgOkOnly), QOR_CONSTANT(kMsgOkCancel), QOR_CONSTANT(kMsgAbortRetryIgnore),
    QOR_CONSTANT(kMsgYesNoCancel), QOR_CONSTANT(kMsgYesNo), QOR_CONSTANT(kMsgRetryCancel),
    QOR_CONSTANT(kMsgCritical), QOR_CONSTANT(kMsgQuestion), QOR_CONSTANT(kMsgExclamation),
    QOR_CONSTANT(kMsgInformation), QOR_CONSTANT(kMsgDefaultButton2), QOR_CONSTANT(kMsgDefaultButton3),
    QOR_CONSTANT(kAnswerOk), QOR_CONSTANT(kAnswerCancel), QOR_CONSTANT(kAnswerAbort),
    QOR_CONSTANT(kAnswerRetry), QOR_CONSTANT(kAnswerIgnore), QOR_CONSTANT(kAnswerYes), QOR_CONSTANT(kAnswerNo),
    QOR_CONSTANT(kErrInvalidCall), QOR_CONSTANT(kErrOverflow), QOR_CONSTANT(kErrOutOfMemory),
    QOR_CONSTANT(kErrSubscript), QOR_CONSTANT(kErrDivisionByZero), QOR_CONSTANT(kErrTypeMismatch),
    QOR_CONSTANT(kErrUserInterrupt), QOR_CONSTANT(kErrLoadingLibrary), QOR_CONSTANT(kErrBadFileName),
    QOR_CONSTANT(kErrFileNotFound), QOR_CONSTANT(kErrDeviceIO), QOR_CONSTANT(kErrPermissionDenied),
    QOR_CONSTANT(kErrPathFileAccess), QOR_CONSTANT(kErrPathNotFound), QOR_CONSTANT(kErrObjectNotSet),
    QOR_CONSTANT(kErrInvalidUseOfNull), QOR_CONSTANT(kErrInvalidProperty), QOR_CONSTANT(kErrInvalidIndex),
    QOR_CONSTANT(kErrFormShown), QOR_CONSTANT(kErrObjectRequired), QOR_CONSTANT(kErrNotSupported),
    QOR_CONSTANT(kErrInvalidPicture), QOR_CONSTANT(kErrPrinter), QOR_CONSTANT(kErrNoCurrentRecord),
    QOR_CONSTANT(kErrFileMissing), QOR_CONSTANT(kErrReading), QOR_CONSTANT(kErrCannotOpen),
    QOR_CONSTANT(kErrTooFewParameters), QOR_CONSTANT(kErrQuery), QOR_CONSTANT(kErrItemNotFound),
};

#undef QOR_CONSTANT

const char* TypeName(qor::Variant::VarType type) {
    using T = qor::Variant::VarType;
    switch (type) {
        case T::Empty: return "Empty";
        case T::Null: return "Null";
        case T::Boolean: return "Boolean";
        case T::Integer: return "Integer";
        case T::Long: return "Long";
        case T::Single: return "Single";
        case T::Double: return "Double";
        case T::Currency: return "Currency";
        case T::Date: return "Date";
        case T::String: return "String";
    }
    return "Empty";
}

}  // namespace

void BindRuntime(py::module_& m) {
    for (const Constant& c : kConstants) m.attr(c.name) = c.value;

    m.def("RuntimeErrorText", &qor::RuntimeErrorText, py::arg("number"),
          "The runtime's description of error `number` (13: 'Type mismatch').");
    m.def("GetText", py::overload_cast<const qor::Variant&>(&qor::GetText), py::arg("id"),
          "The library's text `id` in the language of GenServices().LanguageOffset.");
    m.def("Format", [](const qor::Variant& value, const std::string& pattern) { return qor::Format(value, pattern); },
          py::arg("value"), py::arg("pattern") = "",
          "The runtime's Format in the calling thread's locale: Format(1234.5, '#,##0.00').");

    // The runtime's conversions, on any value the module turns into a Variant.
    m.def("CStr", &qor::CStr, py::arg("value"));
    m.def("CDbl", &qor::CDbl, py::arg("value"));
    m.def("CLng", &qor::CLng, py::arg("value"));
    m.def("CInt", &qor::CInt, py::arg("value"));
    m.def("CSng", &qor::CSng, py::arg("value"));
    m.def("CBool", &qor::CBool, py::arg("value"));
    m.def("IsNumeric", &qor::IsNumeric, py::arg("value"));
    m.def("Val", [](const std::string& text) { return qor::Val(text); }, py::arg("text"));
    m.def("RoundHalfEven", &qor::RoundHalfEven, py::arg("value"), py::arg("digits") = 0);
    m.def("VariantType", [](const qor::Variant& value) { return TypeName(value.Type()); }, py::arg("value"),
          "The Variant type a Python value becomes: 'Long', 'Double', 'Currency', 'Date', 'String', ...");
}

}  // namespace qorpy
