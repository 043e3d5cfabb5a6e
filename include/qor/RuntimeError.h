// Run-time errors of the language runtime the library was written against.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qor {

// The runtime's description for error `number`, e.g. 13 -> "Type mismatch".
// Unknown numbers give "Application-defined or object-defined error".
// Thread-safe; never throws.
std::string RuntimeErrorText(int32_t number);

// A run-time error as the runtime raises it: an error number (5, 6, 9, 13, 94, ...) and a
// description. what() returns the description. Every failure of the library is thrown as
// a RuntimeError so that callers can branch on Number() the way the original code did.
class RuntimeError : public std::runtime_error {
public:
    // An error with the runtime's own description for `number`.
    explicit RuntimeError(int32_t number);
    // An error with a description of the caller's choice (used where the original raised
    // a number with its own text).
    RuntimeError(int32_t number, std::string description);

    // The error number, e.g. 13 for "Type mismatch".
    int32_t Number() const noexcept { return number_; }
    // The description; identical to what().
    const std::string& Description() const noexcept { return description_; }

private:
    int32_t number_;
    std::string description_;
};

// Every error number the library raises, by name. Catch a RuntimeError and compare
// Number() with these rather than with bare numbers.
inline constexpr int32_t kErrInvalidCall = 5;        // "Invalid procedure call or argument"
inline constexpr int32_t kErrOverflow = 6;           // "Overflow"
inline constexpr int32_t kErrOutOfMemory = 7;        // "Out of memory"
inline constexpr int32_t kErrSubscript = 9;          // "Subscript out of range"
inline constexpr int32_t kErrDivisionByZero = 11;    // "Division by zero"
inline constexpr int32_t kErrTypeMismatch = 13;      // "Type mismatch"
inline constexpr int32_t kErrUserInterrupt = 18;     // "User interrupt occurred": the user cancelled printing
inline constexpr int32_t kErrLoadingLibrary = 48;    // "Error in loading DLL": a part of the library could not be loaded
inline constexpr int32_t kErrBadFileName = 52;       // "Bad file name or number"
inline constexpr int32_t kErrFileNotFound = 53;      // "File not found"
inline constexpr int32_t kErrDeviceIO = 57;          // "Device I/O error"
inline constexpr int32_t kErrPermissionDenied = 70;  // "Permission denied"
inline constexpr int32_t kErrPathFileAccess = 75;    // "Path/File access error"
inline constexpr int32_t kErrPathNotFound = 76;      // "Path not found"
inline constexpr int32_t kErrObjectNotSet = 91;      // "Object variable or With block variable not set"
inline constexpr int32_t kErrInvalidUseOfNull = 94;  // "Invalid use of Null"
inline constexpr int32_t kErrInvalidProperty = 380;  // "Invalid property value"
inline constexpr int32_t kErrInvalidIndex = 381;     // "Invalid property array index"
inline constexpr int32_t kErrFormShown = 400;        // "Form already displayed; can't show modally"
inline constexpr int32_t kErrObjectRequired = 424;   // "Object required"
inline constexpr int32_t kErrNotSupported = 438;     // "Object doesn't support this property or method"
inline constexpr int32_t kErrInvalidPicture = 481;   // "Invalid picture"
inline constexpr int32_t kErrPrinter = 482;          // "Printer error": the printer or spooler failed

// Record sets raise the database engine's own numbers.
inline constexpr int32_t kErrNoCurrentRecord = 3021;  // "No current record."
inline constexpr int32_t kErrFileMissing = 3024;      // "Could not find file '...'."
inline constexpr int32_t kErrReading = 3043;          // the database failed while reading
inline constexpr int32_t kErrCannotOpen = 3051;       // the database file cannot be opened
inline constexpr int32_t kErrTooFewParameters = 3061; // "Too few parameters. Expected n."
inline constexpr int32_t kErrQuery = 3075;            // the query is not valid SQL
inline constexpr int32_t kErrItemNotFound = 3265;     // "Item not found in this collection."

}  // namespace qor
