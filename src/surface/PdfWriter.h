// The PDF writer over the retained records.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "surface/DocumentAccess.h"
#include "surface/PdfOutput.h"

namespace qor::surface {

// A PDF file being written: numbered objects, their offsets, and the bytes so far. Bytes are
// handed to `sink` in large blocks.
class PdfFile {
public:
    explicit PdfFile(std::function<void(std::string_view)> sink);

    // A new object number.
    int Alloc();
    // Starts object `obj` ("n 0 obj") and returns the buffer to write its body into.
    PdfBuffer& Begin(int obj);
    // Ends the current object.
    void End();
    // A stream object: `dict` holds the dictionary's entries without << >> and /Length.
    // With `compress` the data is deflated and /Filter /FlateDecode added.
    void Stream(int obj, std::string_view dict, std::string_view data, bool compress);
    // A stream object whose data was deflated already (at compressionLevel).
    void DeflatedStream(int obj, std::string_view dict, std::string_view deflated);
    // Writes the cross-reference table and trailer, and flushes everything.
    void Finish(int root, int info);

    // libdeflate level 3: half the time of level 6 for 5% more bytes on page content.
    int compressionLevel = 3;

private:
    void WriteStream(int obj, std::string_view dict, std::string_view body, bool deflated);
    void HashContent(std::string_view bytes);
    void FlushIfLarge();
    std::function<void(std::string_view)> sink_;
    PdfBuffer out_;
    std::string scratch_;
    size_t flushed_ = 0;
    uint64_t contentHash_ = 1469598103934665603ull;  // of the bytes before the trailer
    std::vector<size_t> offsets_{0};
};

// Embeds the faces used on the pages as subset Type0/CIDFontType2 fonts.
class PdfFonts {
public:
    // Resource index of `face` (the font is written as /F<index>).
    int IndexOf(FaceId face);
    // Marks glyph `glyph`, which stands for `cp`, as used in font `index`.
    void Use(int index, uint32_t glyph, char32_t cp) {
        Used& u = fonts_[static_cast<size_t>(index)];
        if (glyph >= u.used.size()) glyph = 0;
        if (!u.used[glyph]) {
            u.used[glyph] = 1;
            u.unicode[glyph] = cp;
        }
    }
    int Count() const { return static_cast<int>(fonts_.size()); }
    // Writes every font; returns the object numbers of the Type0 fonts by index.
    std::vector<int> WriteAll(PdfFile& file);

private:
    struct Used {
        FaceId face;
        std::vector<uint8_t> used;
        std::vector<char32_t> unicode;
    };
    std::vector<Used> fonts_;
    std::vector<int> byFace_;   // face id -> index + 1
};

// Writes `pages` of `doc` as a whole PDF file into `sink`.
// `onPage` (when set) hears of each page before it is written and may throw to stop.
void WritePdfDocument(const Document& doc, const std::vector<int>& pages, const PdfInfo& info,
                      const std::function<void(std::string_view)>& sink, int compressionLevel = 3,
                      const PageObserver& onPage = {});

}  // namespace qor::surface
