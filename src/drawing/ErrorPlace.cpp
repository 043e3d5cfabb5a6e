#include "drawing/ErrorPlace.h"

#include <cmath>

#include "runtime/NumberText.h"

namespace qor {

thread_local int OperationScope::depth_ = 0;

std::string Shortened(std::string_view text, size_t chars) {
    size_t end = 0;
    for (size_t n = 0; end < text.size() && n < chars; ++n) end += detail::CodePointLength(text, end);
    std::string out(text.substr(0, end));
    if (end < text.size()) out += "...";
    return out;
}

std::string ValueText(const Variant& value) {
    const Variant::VarType type = value.Type();
    if (type == Variant::VarType::Empty || type == Variant::VarType::Null) return {};
    if (type == Variant::VarType::Single || type == Variant::VarType::Double) {
        const double d = value.ToDouble();
        if (std::isnan(d)) return "NaN";
        if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    }
    try {
        return value.ToString();
    } catch (const RuntimeError&) {
        return "?";
    }
}

}  // namespace qor
