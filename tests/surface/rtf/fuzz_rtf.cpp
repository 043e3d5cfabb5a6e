// libFuzzer entry for the RTF reader: any bytes must read without a crash, a sanitizer
// finding or a control character in the text.
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "surface/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qor::RtfReadResult r =
        qor::ReadRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    const QString text = r.document->toPlainText();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u < 0xA0)) __builtin_trap();
    }
    if (r.document->blockCount() > int(size) + 1 || r.warnings.size() > size_t(qor::kRtfMaxWarnings))
        __builtin_trap();
    return 0;
}
