// libFuzzer entry: the first bytes choose a locale and a value, the rest is the pattern.
// Format may throw qor::RuntimeError (a date out of range, an overflow) and nothing else.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    static const char* const kLocales[] = {"nl_BE", "en_US", "fr_BE", "en_GB"};
    qor::SetThreadLocale(kLocales[data[0] % 4]);
    double number = 0;
    std::memcpy(&number, data + 2, sizeof number);
    const std::string pattern(reinterpret_cast<const char*>(data + 10), size - 10);
    qor::Variant value;
    switch (data[1] % 6) {
    case 0: value = number; break;
    case 1: value = static_cast<float>(number); break;
    case 2: value = static_cast<int32_t>(data[2] | (data[3] << 8)); break;
    case 3: value = qor::Variant::FromDate(number); break;
    case 4: value = pattern.substr(0, pattern.size() / 2); break;
    default: value = qor::Variant::Null(); break;
    }
    try {
        (void)qor::Format(value, pattern);
    } catch (const qor::RuntimeError&) {
    }
    return 0;
}
