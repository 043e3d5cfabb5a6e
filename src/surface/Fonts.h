// Fonts from the font files themselves: fontconfig finds the file for a family and style,
// HarfBuzz reads its character map, advances and metrics. Kerning is never applied: a
// text's width is the sum of its glyph advances.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct hb_face_t;
struct hb_blob_t;

namespace qor::surface {

using FaceId = uint32_t;

// Vertical metrics in font units (y up as in the font; descender positive below baseline).
struct FaceMetrics {
    int unitsPerEm = 2048;
    int ascender = 0;
    int descender = 0;
    int lineGap = 0;
    int underlinePosition = 0;   // offset of the underline's top from the baseline (negative = below)
    int underlineThickness = 0;
    int strikeoutPosition = 0;   // offset of the strikeout's top above the baseline
    int strikeoutThickness = 0;
    int capHeight = 0;
    int bboxXMin = 0, bboxYMin = 0, bboxXMax = 0, bboxYMax = 0;
    int italicAngle = 0;
};

// One face of one font file, loaded once per process and never changed afterwards, so it
// may be read from any thread.
class FontFace {
public:
    FontFace(std::string path, int index);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::string& Path() const { return path_; }
    int Index() const { return index_; }
    const std::string& Family() const { return family_; }
    const std::string& PostScriptName() const { return psName_; }
    bool IsBold() const { return bold_; }
    bool IsItalic() const { return italic_; }
    bool IsFixedPitch() const { return fixedPitch_; }
    const FaceMetrics& Metrics() const { return metrics_; }

    // Glyph id of `cp` in this face; 0 (.notdef) when the face lacks it.
    uint32_t Glyph(char32_t cp) const { return cp < kDirect ? direct_[cp] : SparseGlyph(cp); }
    // Advance of glyph `glyph` in font units (0 for ids outside the font).
    int32_t Advance(uint32_t glyph) const {
        return glyph < advances_.size() ? advances_[glyph] : 0;
    }
    // Number of glyphs of the face.
    uint32_t GlyphCount() const { return static_cast<uint32_t>(advances_.size()); }
    // The whole font file and the HarfBuzz face over it (for subsetting).
    hb_face_t* HbFace() const { return face_; }
    std::string_view FileBytes() const;

    // Metrics scaled to twips for a size in points.
    double Scale(double sizePt) const { return sizePt * 20.0 / metrics_.unitsPerEm; }
    double AscentTwips(double sizePt) const { return metrics_.ascender * Scale(sizePt); }
    double DescentTwips(double sizePt) const { return metrics_.descender * Scale(sizePt); }
    double HeightTwips(double sizePt) const {
        return (metrics_.ascender + metrics_.descender) * Scale(sizePt);
    }

private:
    uint32_t SparseGlyph(char32_t cp) const;
    static constexpr char32_t kDirect = 0x3000;  // code points below: direct table
    std::string path_;
    int index_;
    std::string family_, psName_;
    bool bold_ = false, italic_ = false, fixedPitch_ = false;
    FaceMetrics metrics_;
    hb_blob_t* blob_ = nullptr;
    hb_face_t* face_ = nullptr;
    std::vector<uint16_t> direct_;                          // cp < kDirect -> glyph
    std::vector<std::pair<char32_t, uint32_t>> sparse_;     // sorted, cp >= kDirect
    std::vector<int32_t> advances_;                         // per glyph, font units
};

// The process-wide set of faces. Thread-safe.
class FontRegistry {
public:
    static FontRegistry& Instance();

    // The face fontconfig chooses for `family` in the given style ("Arial" bold gives
    // Liberation Sans Bold). Never fails while any font is installed: an unknown family
    // gives fontconfig's default face. Throws qor::RuntimeError when no font at all is found.
    FaceId Resolve(std::string_view family, bool bold, bool italic);
    // The face of id `id` (ids come from Resolve/FallbackFor only).
    const FontFace& Face(FaceId id) const { return *faces_[id]; }
    // A face that has `cp`, preferring `base` itself and then faces of the same style;
    // `base` when no installed font has it.
    FaceId FallbackFor(FaceId base, char32_t cp);
    // The face for a given file (loaded once).
    FaceId FaceForFile(const std::string& path, int index);

private:
    FontRegistry() = default;
    static constexpr size_t kMaxFaces = 1024;
    std::mutex mutex_;
    std::unique_ptr<FontFace> faces_[kMaxFaces];
    std::atomic<size_t> count_{0};
    std::unordered_map<std::string, FaceId> byFile_;           // "path#index"
    std::unordered_map<std::string, FaceId> byRequest_;        // "family|b|i"
    std::unordered_map<uint64_t, FaceId> fallback_;            // (base << 32) | cp
};

// Decodes one UTF-8 code point at `i`, advancing `i`; invalid bytes give U+FFFD.
char32_t NextMultiByteCodePoint(std::string_view s, size_t& i);
inline char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    return NextMultiByteCodePoint(s, i);
}

// True for characters that are never drawn as glyphs (controls: tab, CR, LF, ...).
inline bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

// A piece of a text that one face draws.
struct TextRun {
    FaceId face;
    size_t begin, end;      // byte range in the text
    int64_t advanceUnits;   // sum of advances, in that face's units
};

// Splits one line of `text` (no line breaks expected; controls are skipped) into runs of
// the face `primary` and of fallback faces for characters it lacks, calling `onRun` for
// each in order.
template <class F>
void ForEachRun(FaceId primary, std::string_view text, F&& onRun) {
    FontRegistry& reg = FontRegistry::Instance();
    const FontFace* pf = &reg.Face(primary);
    FaceId cur = primary;
    const FontFace* cf = pf;
    size_t runBegin = 0;
    int64_t adv = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t at = i;
        char32_t cp = NextCodePoint(text, i);
        if (IsControl(cp)) continue;
        uint32_t g = pf->Glyph(cp);
        FaceId want = primary;
        const FontFace* wf = pf;
        if (g == 0) {
            want = reg.FallbackFor(primary, cp);
            wf = &reg.Face(want);
            g = wf->Glyph(cp);
        }
        if (want != cur) {
            if (at > runBegin) onRun(TextRun{cur, runBegin, at, adv});
            cur = want;
            cf = wf;
            runBegin = at;
            adv = 0;
        }
        adv += cf->Advance(g);
    }
    if (text.size() > runBegin) onRun(TextRun{cur, runBegin, text.size(), adv});
}

// How text is drawn bold or italic in a face that is neither: the glyph outlines are also
// stroked with a line of this many ems, and slanted by this factor (tan 12 degrees). The
// advances stay the face's own, so measured widths match what is drawn.
inline constexpr double kSyntheticBoldStrokeEm = 0.03;
inline constexpr double kSyntheticItalicSlant = 0.2126;

// Width in twips of one line of `text` at `sizePt`, fallback faces included.
double LineWidthTwips(FaceId primary, double sizePt, std::string_view text);

}  // namespace qor::surface
