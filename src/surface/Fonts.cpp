#include "surface/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cstring>

#include "qor/RuntimeError.h"

namespace qor::surface {

namespace {

int Metric(hb_font_t* font, hb_ot_metrics_tag_t tag, int fallback) {
    hb_position_t v = 0;
    return hb_ot_metrics_get_position(font, tag, &v) ? static_cast<int>(v) : fallback;
}

std::string NameOf(hb_face_t* face, hb_ot_name_id_t id) {
    char buf[256];
    unsigned int len = sizeof buf;
    unsigned int n = hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &len, buf);
    return n ? std::string(buf, std::min<unsigned>(len, sizeof buf - 1)) : std::string();
}

int16_t ReadI16(const char* p) {
    return static_cast<int16_t>((static_cast<uint8_t>(p[0]) << 8) | static_cast<uint8_t>(p[1]));
}

}  // namespace

FontFace::FontFace(std::string path, int index) : path_(std::move(path)), index_(index) {
    blob_ = hb_blob_create_from_file_or_fail(path_.c_str());
    if (!blob_)
        throw RuntimeError(kErrFileNotFound, "Cannot read the font file " + path_);
    face_ = hb_face_create(blob_, static_cast<unsigned>(index));
    unsigned upem = hb_face_get_upem(face_);
    unsigned glyphs = hb_face_get_glyph_count(face_);
    if (upem == 0 || glyphs == 0) {
        hb_face_destroy(face_);
        hb_blob_destroy(blob_);
        throw RuntimeError(kErrInvalidCall, "Not a usable font file: " + path_);
    }
    hb_font_t* font = hb_font_create(face_);
    hb_font_set_scale(font, static_cast<int>(upem), static_cast<int>(upem));

    metrics_.unitsPerEm = static_cast<int>(upem);
    int hheaAsc = Metric(font, HB_OT_METRICS_TAG_HORIZONTAL_ASCENDER, static_cast<int>(upem * 0.8));
    int hheaDesc = -Metric(font, HB_OT_METRICS_TAG_HORIZONTAL_DESCENDER, -static_cast<int>(upem * 0.2));
    // Windows measures a line as winAscent + winDescent; use them when the font has them.
    int winAsc = Metric(font, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_ASCENT, 0);
    int winDesc = Metric(font, HB_OT_METRICS_TAG_HORIZONTAL_CLIPPING_DESCENT, 0);
    metrics_.ascender = winAsc > 0 ? winAsc : hheaAsc;
    metrics_.descender = winAsc > 0 ? std::abs(winDesc) : hheaDesc;
    metrics_.lineGap = Metric(font, HB_OT_METRICS_TAG_HORIZONTAL_LINE_GAP, 0);
    metrics_.underlinePosition = Metric(font, HB_OT_METRICS_TAG_UNDERLINE_OFFSET, -static_cast<int>(upem / 10));
    metrics_.underlineThickness = Metric(font, HB_OT_METRICS_TAG_UNDERLINE_SIZE, static_cast<int>(upem / 20));
    metrics_.strikeoutPosition = Metric(font, HB_OT_METRICS_TAG_STRIKEOUT_OFFSET, static_cast<int>(upem * 0.26));
    metrics_.strikeoutThickness = Metric(font, HB_OT_METRICS_TAG_STRIKEOUT_SIZE, metrics_.underlineThickness);
    metrics_.capHeight = Metric(font, HB_OT_METRICS_TAG_CAP_HEIGHT, static_cast<int>(upem * 0.7));
    if (metrics_.underlineThickness <= 0) metrics_.underlineThickness = static_cast<int>(upem / 20);
    if (metrics_.strikeoutThickness <= 0) metrics_.strikeoutThickness = metrics_.underlineThickness;

    hb_blob_t* head = hb_face_reference_table(face_, HB_TAG('h', 'e', 'a', 'd'));
    unsigned headLen = 0;
    const char* h = hb_blob_get_data(head, &headLen);
    if (h && headLen >= 54) {
        metrics_.bboxXMin = ReadI16(h + 36);
        metrics_.bboxYMin = ReadI16(h + 38);
        metrics_.bboxXMax = ReadI16(h + 40);
        metrics_.bboxYMax = ReadI16(h + 42);
    } else {
        metrics_.bboxYMin = -metrics_.descender;
        metrics_.bboxXMax = static_cast<int>(upem);
        metrics_.bboxYMax = metrics_.ascender;
    }
    hb_blob_destroy(head);
    hb_blob_t* post = hb_face_reference_table(face_, HB_TAG('p', 'o', 's', 't'));
    unsigned postLen = 0;
    const char* p = hb_blob_get_data(post, &postLen);
    if (p && postLen >= 16)
        fixedPitch_ = p[12] || p[13] || p[14] || p[15];
    hb_blob_destroy(post);

    bold_ = hb_style_get_value(font, HB_STYLE_TAG_WEIGHT) >= 600;
    italic_ = hb_style_get_value(font, HB_STYLE_TAG_ITALIC) > 0.5f ||
              hb_style_get_value(font, HB_STYLE_TAG_SLANT_RATIO) != 0.f;
    metrics_.italicAngle = static_cast<int>(hb_style_get_value(font, HB_STYLE_TAG_SLANT_ANGLE));
    family_ = NameOf(face_, HB_OT_NAME_ID_FONT_FAMILY);
    psName_ = NameOf(face_, HB_OT_NAME_ID_POSTSCRIPT_NAME);
    if (psName_.empty()) psName_ = family_.empty() ? "Font" : family_;
    psName_.erase(std::remove_if(psName_.begin(), psName_.end(),
                                 [](char c) { return c <= ' ' || c > '~' || std::strchr("()<>[]{}/%#", c); }),
                  psName_.end());

    advances_.resize(glyphs);
    for (unsigned g = 0; g < glyphs; ++g) advances_[g] = hb_font_get_glyph_h_advance(font, g);

    direct_.assign(kDirect, 0);
    hb_set_t* unicodes = hb_set_create();
    hb_face_collect_unicodes(face_, unicodes);
    hb_codepoint_t cp = HB_SET_VALUE_INVALID;
    while (hb_set_next(unicodes, &cp)) {
        hb_codepoint_t g = 0;
        if (!hb_font_get_nominal_glyph(font, cp, &g) || g == 0) continue;
        if (cp < kDirect)
            direct_[cp] = static_cast<uint16_t>(g);
        else
            sparse_.emplace_back(static_cast<char32_t>(cp), g);
    }
    hb_set_destroy(unicodes);
    std::sort(sparse_.begin(), sparse_.end());
    hb_font_destroy(font);
}

FontFace::~FontFace() {
    hb_face_destroy(face_);
    hb_blob_destroy(blob_);
}

uint32_t FontFace::SparseGlyph(char32_t cp) const {
    auto it = std::lower_bound(sparse_.begin(), sparse_.end(), std::make_pair(cp, uint32_t{0}));
    return it != sparse_.end() && it->first == cp ? it->second : 0;
}

std::string_view FontFace::FileBytes() const {
    unsigned len = 0;
    const char* d = hb_blob_get_data(blob_, &len);
    return {d, len};
}

FontRegistry& FontRegistry::Instance() {
    static FontRegistry registry;
    return registry;
}

namespace {

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

FcConfig* Config() {
    static FcConfig* config = [] {
        FcInit();
        return FcConfigGetCurrent();
    }();
    return config;
}

PatternPtr RequestPattern(std::string_view family, bool bold, bool italic) {
    PatternPtr pat(FcPatternCreate());
    std::string fam(family);
    if (!fam.empty())
        FcPatternAddString(pat.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(fam.c_str()));
    FcPatternAddInteger(pat.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config(), pat.get(), FcMatchPattern);
    FcDefaultSubstitute(pat.get());
    return pat;
}

bool FileOf(FcPattern* font, std::string& path, int& index) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
    int idx = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &idx);
    path = reinterpret_cast<const char*>(file);
    index = idx;
    return true;
}

}  // namespace

FaceId FontRegistry::FaceForFile(const std::string& path, int index) {
    std::lock_guard lock(mutex_);
    std::string key = path + "#" + std::to_string(index);
    if (auto it = byFile_.find(key); it != byFile_.end()) return it->second;
    size_t n = count_.load(std::memory_order_relaxed);
    if (n >= kMaxFaces) throw RuntimeError(kErrOutOfMemory, "Too many font faces in use");
    faces_[n] = std::make_unique<FontFace>(path, index);
    count_.store(n + 1, std::memory_order_release);
    byFile_.emplace(std::move(key), static_cast<FaceId>(n));
    return static_cast<FaceId>(n);
}

FaceId FontRegistry::Resolve(std::string_view family, bool bold, bool italic) {
    std::string key(family);
    key += bold ? "|b" : "|r";
    key += italic ? "i" : "n";
    {
        std::lock_guard lock(mutex_);
        if (auto it = byRequest_.find(key); it != byRequest_.end()) return it->second;
    }
    std::string path;
    int index = 0;
    {
        std::lock_guard lock(mutex_);
        PatternPtr pat = RequestPattern(family, bold, italic);
        FcResult result = FcResultNoMatch;
        PatternPtr match(FcFontMatch(Config(), pat.get(), &result));
        if (!match || !FileOf(match.get(), path, index))
            throw RuntimeError(kErrFileNotFound, "No font found for \"" + std::string(family) + "\"");
    }
    FaceId id = FaceForFile(path, index);
    std::lock_guard lock(mutex_);
    byRequest_.emplace(std::move(key), id);
    return id;
}

FaceId FontRegistry::FallbackFor(FaceId base, char32_t cp) {
    uint64_t key = (static_cast<uint64_t>(base) << 32) | cp;
    {
        std::lock_guard lock(mutex_);
        if (auto it = fallback_.find(key); it != fallback_.end()) return it->second;
    }
    const FontFace& bf = Face(base);
    FaceId found = base;
    std::vector<std::pair<std::string, int>> candidates;
    {
        std::lock_guard lock(mutex_);
        PatternPtr pat = RequestPattern(bf.Family(), bf.IsBold(), bf.IsItalic());
        FcCharSet* cs = FcCharSetCreate();
        FcCharSetAddChar(cs, cp);
        FcPatternAddCharSet(pat.get(), FC_CHARSET, cs);
        FcCharSetDestroy(cs);
        FcResult result = FcResultNoMatch;
        FcFontSet* set = FcFontSort(Config(), pat.get(), FcFalse, nullptr, &result);
        if (set) {
            for (int i = 0; i < set->nfont && candidates.size() < 4; ++i) {
                FcCharSet* fcs = nullptr;
                if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &fcs) != FcResultMatch ||
                    !FcCharSetHasChar(fcs, cp))
                    continue;
                std::string path;
                int index = 0;
                if (FileOf(set->fonts[i], path, index)) candidates.emplace_back(path, index);
            }
            FcFontSetDestroy(set);
        }
    }
    for (auto& [path, index] : candidates) {
        try {
            FaceId id = FaceForFile(path, index);
            if (Face(id).Glyph(cp) != 0) {
                found = id;
                break;
            }
        } catch (const RuntimeError&) {
            // An unreadable candidate: try the next one.
        }
    }
    std::lock_guard lock(mutex_);
    fallback_.emplace(key, found);
    return found;
}

char32_t NextMultiByteCodePoint(std::string_view s, size_t& i) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
    if (n < 0 || c > 0xF4 || i + n >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = c & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
        unsigned char cc = b(i + k);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    i += n + 1;
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

double LineWidthTwips(FaceId primary, double sizePt, std::string_view text) {
    FontRegistry& reg = FontRegistry::Instance();
    double w = 0;
    ForEachRun(primary, text, [&](const TextRun& run) {
        w += run.advanceUnits * reg.Face(run.face).Scale(sizePt);
    });
    return w;
}

}  // namespace qor::surface
