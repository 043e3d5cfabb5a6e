// Variant conversions on the record set's hot path: plain C API calls, no temporaries.
#include "Convert.h"

#include <datetime.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace qorpy {

namespace {

PyObject* g_decimalType = nullptr;
PyObject* g_errorType = nullptr;

// The datetime and decimal modules are reached when a value first needs them, so that
// `import qorprint` does not import them. A value cannot be a date or a Decimal before its
// module is imported: until then the checks answer no without importing anything.
bool Loaded(const char* module) { return PyDict_GetItemString(PyImport_GetModuleDict(), module) != nullptr; }

bool DateTimeReady(bool import) {
    if (PyDateTimeAPI) return true;
    if (!import && !Loaded("datetime")) return false;
    PyDateTime_IMPORT;
    if (!PyDateTimeAPI) throw py::error_already_set();
    return true;
}

PyObject* DecimalType(bool import) {
    if (g_decimalType || (!import && !Loaded("decimal"))) return g_decimalType;
    g_decimalType = py::object(py::module_::import("decimal").attr("Decimal")).release().ptr();
    return g_decimalType;
}

// Two to the 53rd: counts of ten-thousandths below it go through a double exactly.
constexpr long long kExactCount = 1LL << 53;

bool DecimalToVariant(PyObject* value, qor::Variant& out) {
    py::handle d(value);
    if (d.attr("is_finite")().cast<bool>()) {
        py::object scaled = d.attr("scaleb")(4);
        if (scaled.equal(scaled.attr("to_integral_value")())) {
            int overflow = 0;
            py::int_ count(scaled);
            const long long n = PyLong_AsLongLongAndOverflow(count.ptr(), &overflow);
            if (overflow == 0 && std::llabs(n) < kExactCount) {
                out = qor::Variant::FromCurrency(static_cast<double>(n) / 10000.0);
                return true;
            }
        }
    }
    const double number = PyFloat_AsDouble(value);
    if (number == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    out = qor::Variant(number);
    return true;
}

bool IntToVariant(PyObject* value, qor::Variant& out) {
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(value, &overflow);
    if (overflow == 0) {
        if (n == -1 && PyErr_Occurred()) throw py::error_already_set();
        out = qor::Variant(static_cast<int64_t>(n));
        return true;
    }
    // Beyond 64 bits: a Double as the runtime's CDbl would make, overflow past its range.
    const double number = PyLong_AsDouble(value);
    if (number == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        throw qor::RuntimeError(qor::kErrOverflow);
    }
    out = qor::Variant(number);
    return true;
}

double OaDate(PyObject* value, bool withTime) {
    double oa = qor::MakeDate(PyDateTime_GET_YEAR(value), PyDateTime_GET_MONTH(value),
                              PyDateTime_GET_DAY(value),
                              withTime ? PyDateTime_DATE_GET_HOUR(value) : 0,
                              withTime ? PyDateTime_DATE_GET_MINUTE(value) : 0,
                              withTime ? PyDateTime_DATE_GET_SECOND(value) : 0);
    if (withTime) {
        // The fraction counts forwards from the day's start, also for days before 1899-12-30.
        const double micro = PyDateTime_DATE_GET_MICROSECOND(value) / 86400e6;
        oa += oa < 0 ? -micro : micro;
    }
    return oa;
}

py::object CurrencyToDecimal(int64_t scaled) {
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string digits = std::to_string(magnitude % 10000);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." +
                       std::string(4 - digits.size(), '0') + digits;
    return py::reinterpret_steal<py::object>(PyObject_CallFunction(DecimalType(true), "s", text.c_str()));
}

py::object DateToPython(double oa) {
    const qor::DateParts p = qor::SplitDate(oa);
    DateTimeReady(true);
    PyObject* result = p.hour == 0 && p.minute == 0 && p.second == 0
                           ? PyDate_FromDate(p.year, p.month, p.day)
                           : PyDateTime_FromDateAndTime(p.year, p.month, p.day, p.hour, p.minute, p.second, 0);
    if (!result) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(result);
}

py::object Utf8(const std::string& text) {
    PyObject* s = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
    if (!s) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(s);
}

void RaiseRuntimeError(int32_t number, const std::string& description) {
    py::object text = Utf8(description);
    py::object error = py::reinterpret_steal<py::object>(PyObject_CallOneArg(g_errorType, text.ptr()));
    if (!error) return;  // the call left its own error set
    error.attr("number") = number;
    error.attr("description") = text;
    PyErr_SetObject(g_errorType, error.ptr());
}

}  // namespace

bool ToVariant(py::handle handle, qor::Variant& out) {
    PyObject* value = handle.ptr();
    if (value == Py_None) {
        out = qor::Variant::Null();
    } else if (PyBool_Check(value)) {
        out = qor::Variant(value == Py_True);
    } else if (PyLong_Check(value)) {
        return IntToVariant(value, out);
    } else if (PyFloat_Check(value)) {
        out = qor::Variant(PyFloat_AS_DOUBLE(value));
    } else if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char* utf8 = PyUnicode_AsUTF8AndSize(value, &size);
        if (!utf8) throw py::error_already_set();
        out = qor::Variant(std::string(utf8, static_cast<std::size_t>(size)));
    } else if (DateTimeReady(false) && PyDateTime_Check(value)) {
        out = qor::Variant::FromDate(OaDate(value, true));
    } else if (DateTimeReady(false) && PyDate_Check(value)) {
        out = qor::Variant::FromDate(OaDate(value, false));
    } else if (DecimalType(false) && PyObject_IsInstance(value, g_decimalType) == 1) {
        return DecimalToVariant(value, out);
    } else if (PyBytes_Check(value)) {
        out = qor::Variant(std::string(PyBytes_AS_STRING(value), static_cast<std::size_t>(PyBytes_GET_SIZE(value))));
    } else if (PyIndex_Check(value)) {  // integer types of other libraries (numpy.int32, ...)
        py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value));
        if (!index) throw py::error_already_set();
        return IntToVariant(index.ptr(), out);
    } else if (Py_TYPE(value)->tp_as_number && Py_TYPE(value)->tp_as_number->nb_float) {
        const double number = PyFloat_AsDouble(value);  // fractions.Fraction, numpy.float32, ...
        if (number == -1.0 && PyErr_Occurred()) throw py::error_already_set();
        out = qor::Variant(number);
    } else {
        return false;
    }
    return true;
}

py::object FromVariant(const qor::Variant& value) {
    using T = qor::Variant::VarType;
    switch (value.Type()) {
        case T::Empty:
        case T::Null: return py::none();
        case T::Boolean: return py::bool_(value.AsBool());
        case T::Integer:
        case T::Long: return py::int_(value.ToLong());
        case T::Single:
        case T::Double: return py::float_(value.ToDouble());
        case T::Currency: return CurrencyToDecimal(value.AsCurrency().scaled);
        case T::Date: return DateToPython(value.ToDate());
        case T::String: return Utf8(value.AsString());
    }
    return py::none();
}

void InitConvert(py::module_& m) {
    g_errorType = PyErr_NewExceptionWithDoc(
        "qorprint.RuntimeError",
        "A run-time error of the library: `number` is the runtime's error number (9 subscript "
        "out of range, 13 type mismatch, ...), `description` its text, also str(error).",
        PyExc_RuntimeError, nullptr);
    if (!g_errorType) throw py::error_already_set();
    m.add_object("RuntimeError", py::handle(g_errorType));

    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const qor::RuntimeError& e) {
            RaiseRuntimeError(e.Number(), e.Description());
        }
    });
}

}  // namespace qorpy
