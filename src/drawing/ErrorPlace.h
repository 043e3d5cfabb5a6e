// Errors that name where they happened. A run-time error raised inside a drawing operation
// leaves it with the operation and its arguments appended to the description, for example
// `Overflow (PrItem(10, 20, "Infinity", 3, 1, ...))`; the error number is unchanged. Only the
// outermost operation adds its place: PrFrame's inner PrBox calls, or the items a report
// draws for a record, leave the naming to the caller that knows more.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include <qor/RuntimeError.h>
#include <qor/Variant.h>

namespace qor {

// Characters of a text or value shown in an error's place.
inline constexpr size_t kPlaceChars = 40;

// `text`, cut after `chars` characters (whole UTF-8 sequences) with "..." behind.
std::string Shortened(std::string_view text, size_t chars = kPlaceChars);

// A value as text for an error message: Infinity, -Infinity and NaN for floating values the
// runtime cannot convert, "" for Empty and Null, "?" when the value has no text at all.
std::string ValueText(const Variant& value);

// Marks a public operation in progress on this thread. Operations nest (a report draws items,
// PrFrame draws boxes). An operation holds one in a function-try-block, so its handler runs
// after the scope ended: `Nested()` then tells whether a caller is still in an operation.
class OperationScope {
public:
    OperationScope() noexcept { ++depth_; }
    ~OperationScope() { --depth_; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
    static bool Nested() noexcept { return depth_ > 0; }

private:
    static thread_local int depth_;
};

namespace detail {

inline void AppendArgument(std::string& out, float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}
inline void AppendArgument(std::string& out, int32_t value) { out += std::to_string(value); }
inline void AppendArgument(std::string& out, bool value) { out += value ? "True" : "False"; }
inline void AppendArgument(std::string& out, std::string_view text) {
    out += '"';
    out += Shortened(text);
    out += '"';
}
inline void AppendArgument(std::string& out, const std::string& text) {
    AppendArgument(out, std::string_view(text));
}
inline void AppendArgument(std::string& out, const char* text) { AppendArgument(out, std::string_view(text)); }
inline void AppendArgument(std::string& out, const Variant& value) { AppendArgument(out, ValueText(value)); }
inline void AppendArgument(std::string& out, const std::optional<int32_t>& value) {
    if (value) {
        AppendArgument(out, *value);
    } else {
        out += "none";
    }
}

}  // namespace detail

// Rethrows the error being handled with `operation(arguments)` appended, unless an outer
// operation is in progress (then the error goes on unchanged). Call it from the handler of
// a function-try-block whose body holds an OperationScope; the arguments are the caller's.
template <class... Args>
[[noreturn]] void RethrowIn(const RuntimeError& error, std::string_view operation, const Args&... args) {
    if (OperationScope::Nested()) throw;
    std::string place = error.Description();
    place += " (";
    place += operation;
    place += '(';
    bool first = true;
    ((place += first ? "" : ", ", first = false, detail::AppendArgument(place, args)), ...);
    place += "))";
    throw RuntimeError(error.Number(), std::move(place));
}

}  // namespace qor
