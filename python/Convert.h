// Python values in and out of qor::Variant, and the module's RuntimeError.
//
//   Python            Variant                 back to Python
//   None              Null                    None (Empty gives None too)
//   bool              Boolean                 bool
//   int               Long, Double beyond     int (Integer, Long), float (Double)
//                     32 bits (as Variant(int64_t)); Double beyond 64 bits
//   float             Double                  float (Single too)
//   other numbers     Long/Double by __index__ or __float__
//   decimal.Decimal   Currency with at most   decimal.Decimal (Currency, exact)
//                     4 decimals, else Double
//   str, bytes        String (UTF-8)          str (invalid UTF-8 replaced)
//   datetime.date     Date                    datetime.date at midnight,
//   datetime.datetime Date with the time      datetime.datetime otherwise
//
// Anything else is a TypeError. Every C++ qor::RuntimeError reaches Python as
// qorprint.RuntimeError (a subclass of RuntimeError) with `.number` and `.description`.
//
// Integer arguments: the library's Integer (int16_t) and Long (int32_t) parameters take Python
// integers (and other objects with __index__); one beyond the parameter's range is the
// runtime's Overflow, RuntimeError(6), as the original raised when a Long went into an
// Integer. Every file of the module includes this header before it binds anything, so that
// all of them use these casters.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <limits>

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

namespace qorpy {

namespace py = pybind11;

// Converts `value`; returns false (no Python error set) for a type without a mapping.
// Throws qor::RuntimeError where the library's own conversion does (a year outside
// 100-9999: 5).
bool ToVariant(py::handle value, qor::Variant& out);
// The Python value of `value` (a new reference).
py::object FromVariant(const qor::Variant& value);

// Creates qorprint.RuntimeError in `m` and installs the translation of qor::RuntimeError.
// Called once, at import.
void InitConvert(py::module_& m);

}  // namespace qorpy

namespace pybind11::detail {

template <typename Int>
class RangedIntCaster {
public:
    PYBIND11_TYPE_CASTER(Int, const_name("int"));

    bool load(handle src, bool convert) {
        if (!src || PyFloat_Check(src.ptr())) return false;
        if (!PyLong_Check(src.ptr()) && !(convert && PyIndex_Check(src.ptr()))) return false;
        object index = reinterpret_steal<object>(PyNumber_Index(src.ptr()));
        if (!index) {
            PyErr_Clear();
            return false;
        }
        int overflow = 0;
        const long long n = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
        if (overflow != 0 || n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
            throw qor::RuntimeError(qor::kErrOverflow);
        value = static_cast<Int>(n);
        return true;
    }

    static handle cast(Int src, return_value_policy, handle) { return PyLong_FromLong(src); }
};

template <>
class type_caster<int16_t> : public RangedIntCaster<int16_t> {};
template <>
class type_caster<int32_t> : public RangedIntCaster<int32_t> {};

template <>
struct type_caster<qor::Variant> {
    PYBIND11_TYPE_CASTER(qor::Variant, const_name("Variant"));

    bool load(handle src, bool) { return qorpy::ToVariant(src, value); }

    static handle cast(const qor::Variant& src, return_value_policy, handle) {
        return qorpy::FromVariant(src).release();
    }
};

}  // namespace pybind11::detail
