#include <qor/Texts.h>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>

#include "core/LibraryTexts.h"

namespace qor {

namespace detail {
extern const unsigned char kLibraryTexts[];
extern const std::size_t kLibraryTextsSize;

const TextTable& LibraryTexts() {
    static const TextTable table(
        std::string_view(reinterpret_cast<const char*>(kLibraryTexts), kLibraryTextsSize),
        "texts.tsv");
    return table;
}
}  // namespace detail

namespace {
constexpr int32_t kFirstSharedId = 9500;
}

std::string GetText(int32_t id) {
    int32_t resourceId = 0;
    if (__builtin_add_overflow(id, GenServices().LanguageOffset, &resourceId)) {
        throw RuntimeError(kErrOverflow);
    }
    if (id < kFirstSharedId) {
        if (auto text = detail::LibraryTexts().Find(resourceId)) return std::string(*text);
        return " [LL " + std::to_string(resourceId) + " ?] ";
    }
    // A failing shared-text lookup must not reach the caller.
    try {
        return GenServices().SharedText(resourceId);
    } catch (...) {
        return std::string();
    }
}

std::string GetText(const Variant& id) { return GetText(CLng(id)); }

}  // namespace qor
