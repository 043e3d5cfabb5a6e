// Code pages of RTF text: the document's (\ansicpg, \mac, \pc, \pca) and a font's
// (\fcharset, \cpg), and the decoders that turn their bytes into text.
#pragma once

#include <QString>
#include <QStringDecoder>

#include <map>
#include <string_view>

namespace qor::rtf {

// The code page RTF assumes when nothing else is said.
inline constexpr int kDefaultCodePage = 1252;

// Code page of a font's \fcharset; 0 means "the document's code page".
int CodePageOfCharset(int charset);

// Decoder name of the code pages we read; nullptr for the rest.
const char* CodePageName(int codePage);

// One stateless decoder per code page, made when first needed. Code pages without a
// decoder read as 1252.
class CodePageDecoders {
public:
    QStringDecoder& For(int codePage);
    // `bytes` in `codePage`; empty when no decoder could be made.
    QString Decode(int codePage, std::string_view bytes);

private:
    std::map<int, QStringDecoder> decoders_;
};

}  // namespace qor::rtf
