#include <hb-subset.h>
#include <hb.h>

#include "qor/RuntimeError.h"
#include "surface/PdfWriter.h"

namespace qor::surface {

namespace {

// Six capital letters naming a subset, derived from its face and glyphs. Not from the FaceId:
// ids are numbered in the order the process first meets the faces, which differs between
// processes and, with several threads, between runs.
std::string SubsetTag(const std::vector<uint8_t>& used, const FontFace& face) {
    uint64_t h = 1469598103934665603ull ^ static_cast<uint64_t>(face.Index());
    for (unsigned char c : face.PostScriptName()) h = (h ^ c) * 1099511628211ull;
    for (size_t g = 0; g < used.size(); ++g)
        if (used[g]) h = (h ^ g) * 1099511628211ull;
    std::string tag(6, 'A');
    for (char& c : tag) {
        c = static_cast<char>('A' + h % 26);
        h /= 26;
    }
    return tag;
}

std::string SubsetFontBytes(const FontFace& face, const std::vector<uint8_t>& used,
                            const std::vector<char32_t>& unicode) {
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) throw RuntimeError(kErrOutOfMemory);
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    hb_set_t* unicodes = hb_subset_input_unicode_set(input);
    hb_set_add(glyphs, 0);
    for (size_t g = 0; g < used.size(); ++g) {
        if (!used[g]) continue;
        hb_set_add(glyphs, static_cast<hb_codepoint_t>(g));
        if (unicode[g] && face.Glyph(unicode[g]) == g) hb_set_add(unicodes, unicode[g]);
    }
    hb_set_t* drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (hb_tag_t t : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
                       HB_TAG('k', 'e', 'r', 'n'), HB_TAG('h', 'd', 'm', 'x'), HB_TAG('V', 'D', 'M', 'X'),
                       HB_TAG('L', 'T', 'S', 'H'), HB_TAG('D', 'S', 'I', 'G'), HB_TAG('J', 'S', 'T', 'F'),
                       HB_TAG('g', 'a', 's', 'p'), HB_TAG('B', 'A', 'S', 'E'), HB_TAG('M', 'A', 'T', 'H')})
        hb_set_add(drop, t);
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NOTDEF_OUTLINE |
                                         HB_SUBSET_FLAGS_NO_HINTING |
                                         HB_SUBSET_FLAGS_DESUBROUTINIZE);
    hb_face_t* subset = hb_subset_or_fail(face.HbFace(), input);
    hb_subset_input_destroy(input);
    if (!subset) {
        // Embedding the whole file is always correct, only larger.
        return std::string(face.FileBytes());
    }
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned len = 0;
    const char* data = hb_blob_get_data(blob, &len);
    std::string bytes(data ? data : "", data ? len : 0);
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
    if (bytes.empty()) return std::string(face.FileBytes());
    return bytes;
}

bool HasTable(const FontFace& face, hb_tag_t tag) {
    hb_blob_t* b = hb_face_reference_table(face.HbFace(), tag);
    bool has = hb_blob_get_length(b) > 0;
    hb_blob_destroy(b);
    return has;
}

void Hex4(PdfBuffer& b, uint32_t v) {
    static const char* hex = "0123456789ABCDEF";
    for (int s = 12; s >= 0; s -= 4) b << hex[(v >> s) & 0xF];
}

std::string ToUnicodeCMap(const std::vector<uint8_t>& used, const std::vector<char32_t>& unicode) {
    PdfBuffer b;
    b << "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
         "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
         "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
         "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<uint32_t> glyphs;
    for (size_t g = 1; g < used.size(); ++g)
        if (used[g] && unicode[g]) glyphs.push_back(static_cast<uint32_t>(g));
    for (size_t i = 0; i < glyphs.size(); i += 100) {
        size_t n = std::min<size_t>(100, glyphs.size() - i);
        b.I(static_cast<int64_t>(n)) << "beginbfchar\n";
        for (size_t k = i; k < i + n; ++k) {
            uint32_t g = glyphs[k];
            char32_t cp = unicode[g];
            b << '<';
            Hex4(b, g);
            b << "> <";
            if (cp >= 0x10000) {
                Hex4(b, 0xD800 + ((cp - 0x10000) >> 10));
                Hex4(b, 0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                Hex4(b, cp);
            }
            b << ">\n";
        }
        b << "endbfchar\n";
    }
    b << "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return std::move(b.data);
}

}  // namespace

int PdfFonts::IndexOf(FaceId face) {
    if (face < byFace_.size() && byFace_[face]) return byFace_[face] - 1;
    if (face >= byFace_.size()) byFace_.resize(face + 1, 0);
    const FontFace& f = FontRegistry::Instance().Face(face);
    fonts_.push_back(Used{face, std::vector<uint8_t>(f.GlyphCount(), 0),
                          std::vector<char32_t>(f.GlyphCount(), 0)});
    byFace_[face] = static_cast<int>(fonts_.size());
    return static_cast<int>(fonts_.size()) - 1;
}

std::vector<int> PdfFonts::WriteAll(PdfFile& file) {
    std::vector<int> objects;
    for (const Used& u : fonts_) {
        const FontFace& face = FontRegistry::Instance().Face(u.face);
        const FaceMetrics& m = face.Metrics();
        const double k = 1000.0 / m.unitsPerEm;
        const bool trueType = HasTable(face, HB_TAG('g', 'l', 'y', 'f'));
        const std::string name = SubsetTag(u.used, face) + "+" + face.PostScriptName();

        int type0 = file.Alloc(), cid = file.Alloc(), descriptor = file.Alloc(),
            fontFile = file.Alloc(), toUnicode = file.Alloc();
        objects.push_back(type0);

        PdfBuffer& t0 = file.Begin(type0);
        t0 << "<< /Type /Font /Subtype /Type0 /BaseFont ";
        t0.Name(name);
        t0 << " /Encoding /Identity-H /DescendantFonts [";
        t0.I(cid) << "0 R] /ToUnicode ";
        t0.I(toUnicode) << "0 R >>";
        file.End();

        PdfBuffer& c = file.Begin(cid);
        c << (trueType ? "<< /Type /Font /Subtype /CIDFontType2 /BaseFont "
                       : "<< /Type /Font /Subtype /CIDFontType0 /BaseFont ");
        c.Name(name);
        c << " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
             " /FontDescriptor ";
        c.I(descriptor) << "0 R";
        if (trueType) c << " /CIDToGIDMap /Identity";
        c << " /DW 0 /W [";
        // Runs of consecutive glyphs: first [w1 w2 ...].
        size_t g = 0, n = u.used.size();
        int inRun = 0;
        while (g < n) {
            if (!u.used[g]) {
                ++g;
                continue;
            }
            c.I(static_cast<int64_t>(g)) << '[';
            inRun = 0;
            while (g < n && u.used[g]) {
                if (inRun++) c << ' ';
                c.Num(face.Advance(static_cast<uint32_t>(g)) * k, 3);
                ++g;
            }
            c << "] ";
        }
        c << "] >>";
        file.End();

        int flags = 32;  // non-symbolic
        if (face.IsFixedPitch()) flags |= 1;
        if (face.IsItalic()) flags |= 64;
        PdfBuffer& d = file.Begin(descriptor);
        d << "<< /Type /FontDescriptor /FontName ";
        d.Name(name);
        d << " /Flags ";
        d.I(flags) << "/FontBBox [";
        d.N(m.bboxXMin * k, 0).N(m.bboxYMin * k, 0).N(m.bboxXMax * k, 0).Num(m.bboxYMax * k, 0);
        d << "] /ItalicAngle ";
        d.I(m.italicAngle) << "/Ascent ";
        d.N(m.ascender * k, 0) << "/Descent ";
        d.N(-m.descender * k, 0) << "/CapHeight ";
        d.N(m.capHeight * k, 0) << "/StemV ";
        d.I(face.IsBold() ? 120 : 80) << (trueType ? "/FontFile2 " : "/FontFile3 ");
        d.I(fontFile) << "0 R >>";
        file.End();

        std::string bytes = SubsetFontBytes(face, u.used, u.unicode);
        std::string dict;
        if (trueType) {
            dict = "/Length1 " + std::to_string(bytes.size());
        } else {
            dict = "/Subtype /OpenType";
        }
        file.Stream(fontFile, dict, bytes, true);
        file.Stream(toUnicode, "", ToUnicodeCMap(u.used, u.unicode), true);
    }
    return objects;
}

}  // namespace qor::surface
