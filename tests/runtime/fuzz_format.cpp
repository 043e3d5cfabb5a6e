// libFuzzer entry: the first bytes choose a locale and a value, the rest is the pattern.
// Format may throw qor::RuntimeError (a date out of range, an overflow) and nothing else, and
// its text is valid UTF-8 whenever the pattern is.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool ValidUtf8(const std::string& s) {
    for (size_t i = 0, n = 0; i < s.size(); i += n) {
        const auto c = static_cast<unsigned char>(s[i]);
        n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    static const char* const kLocales[] = {"nl_BE", "en_US", "fr_BE", "en_GB"};
    qor::SetThreadLocale(kLocales[data[0] % 4]);
    double number = 0;
    std::memcpy(&number, data + 2, sizeof number);
    const std::string pattern(reinterpret_cast<const char*>(data + 10), size - 10);
    const qor::Variant values[] = {number, static_cast<float>(number), static_cast<int32_t>(data[2] | (data[3] << 8)),
                                   qor::Variant::FromDate(number), pattern.substr(0, pattern.size() / 2),
                                   qor::Variant::Null()};
    const qor::Variant& value = values[data[1] % 6];
    try {
        const std::string out = qor::Format(value, pattern);
        if (ValidUtf8(pattern) && ValidUtf8(qor::CStr(value)) && !ValidUtf8(out)) std::abort();
    } catch (const qor::RuntimeError&) {
    }
    return 0;
}
