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
constexpr std::array<ErrorRow, 22> kErrorTexts{{
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {57, "Device I/O error"},
    {70, "Permission denied"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable or With block variable not set"},
    {94, "Invalid use of Null"},
    {380, "Invalid property value"},
    {381, "Invalid property array index"},
    {400, "Form already displayed; can't show modally"},
    {424, "Object required"},
    {438, "Object doesn't support this property or method"},
    {481, "Invalid picture"},
    {482, "Printer error"},
    {3265, "Item not found in this collection."},
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
