// libFuzzer entry for the RTF reader: any bytes must read without a crash, a sanitizer
// finding or a control character in the text, and tables must stay within the limits.
// Seeds for tables, lists and pictures are in fuzz-seeds/; add the files of
// tests/fixtures/rtf and ../shared/fixtures/rtf to the corpus as well:
//   fuzz_rtf CORPUS_DIR tests/surface/rtf/fuzz-seeds -max_len=8192
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "surface/RtfReader.h"

namespace {

// Table nesting below `frame`, trapping on tables beyond the limits.
int TableDepth(QTextFrame* frame) {
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames()) {
        const auto* table = qobject_cast<QTextTable*>(child);
        if (table && (table->columns() > qor::kRtfMaxColumns || table->rows() > qor::kRtfMaxTableRows))
            __builtin_trap();
        deepest = std::max(deepest, TableDepth(child) + (table ? 1 : 0));
    }
    return deepest;
}

}  // namespace

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
    if (TableDepth(r.document->rootFrame()) > qor::kRtfMaxTableDepth) __builtin_trap();
    return 0;
}
