#include "surface/RtfCodePages.h"

#include <array>
#include <utility>

namespace qor::rtf {

int CodePageOfCharset(int charset) {
    static constexpr std::array<std::pair<int, int>, 18> kTable{{
        {77, 10000}, {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
        {204, 1251}, {222, 874}, {238, 1250}, {254, 437}, {255, 850}, {0, 0}}};
    for (const auto& [cs, cp] : kTable)
        if (cs == charset) return cp;
    return 0;
}

const char* CodePageName(int codePage) {
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "windows-932";
    case 936: return "windows-936";
    case 949: return "windows-949";
    case 950: return "windows-950";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1252: return "windows-1252";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

QStringDecoder& CodePageDecoders::For(int codePage) {
    if (!CodePageName(codePage)) codePage = kDefaultCodePage;
    auto it = decoders_.find(codePage);
    if (it == decoders_.end())
        it = decoders_.emplace(codePage, QStringDecoder(CodePageName(codePage), QStringConverter::Flag::Stateless)).first;
    return it->second;
}

QString CodePageDecoders::Decode(int codePage, std::string_view bytes) {
    QStringDecoder& decoder = For(codePage);
    if (!decoder.isValid()) return {};
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

}  // namespace qor::rtf
