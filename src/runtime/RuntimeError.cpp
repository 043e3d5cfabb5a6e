#include <qor/RuntimeError.h>

#include <algorithm>
#include <array>

namespace qor {
namespace {

struct ErrorRow {
    int32_t number;
    const char* text;
};

// The runtime's own descriptions, in number order.
constexpr std::array<ErrorRow, 24> kErrorTexts{{
    {kErrInvalidCall, "Invalid procedure call or argument"},
    {kErrOverflow, "Overflow"},
    {kErrOutOfMemory, "Out of memory"},
    {kErrSubscript, "Subscript out of range"},
    {kErrDivisionByZero, "Division by zero"},
    {kErrTypeMismatch, "Type mismatch"},
    {kErrUserInterrupt, "User interrupt occurred"},
    {kErrLoadingLibrary, "Error in loading DLL"},
    {kErrBadFileName, "Bad file name or number"},
    {kErrFileNotFound, "File not found"},
    {kErrDeviceIO, "Device I/O error"},
    {kErrPermissionDenied, "Permission denied"},
    {kErrPathFileAccess, "Path/File access error"},
    {kErrPathNotFound, "Path not found"},
    {kErrObjectNotSet, "Object variable or With block variable not set"},
    {kErrInvalidUseOfNull, "Invalid use of Null"},
    {kErrInvalidProperty, "Invalid property value"},
    {kErrInvalidIndex, "Invalid property array index"},
    {kErrFormShown, "Form already displayed; can't show modally"},
    {kErrObjectRequired, "Object required"},
    {kErrNotSupported, "Object doesn't support this property or method"},
    {kErrInvalidPicture, "Invalid picture"},
    {kErrPrinter, "Printer error"},
    {kErrItemNotFound, "Item not found in this collection."},
}};
// RuntimeErrorText looks numbers up by binary search.
static_assert(std::is_sorted(kErrorTexts.begin(), kErrorTexts.end(),
                             [](const ErrorRow& a, const ErrorRow& b) { return a.number < b.number; }));

}  // namespace

std::string RuntimeErrorText(int32_t number) {
    auto it = std::lower_bound(kErrorTexts.begin(), kErrorTexts.end(), number,
                               [](const ErrorRow& row, int32_t n) { return row.number < n; });
    if (it != kErrorTexts.end() && it->number == number) return it->text;
    return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(int32_t number) : RuntimeError(number, RuntimeErrorText(number)) {}

RuntimeError::RuntimeError(int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

}  // namespace qor
