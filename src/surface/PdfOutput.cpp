#include "surface/PdfOutput.h"

#include <memory>

#include "qor/RuntimeError.h"
#include "surface/Fonts.h"

#ifdef QOR_HAVE_LIBDEFLATE
#include <libdeflate.h>
#else
#include <zlib.h>
#endif

namespace qor::surface {

PdfBuffer& PdfBuffer::TextString(std::string_view utf8) {
    bool ascii = true;
    for (unsigned char c : utf8)
        if (c < 0x20 || c > 0x7E) ascii = false;
    if (ascii) {
        data.push_back('(');
        for (char c : utf8) {
            if (c == '(' || c == ')' || c == '\\') data.push_back('\\');
            data.push_back(c);
        }
        data.push_back(')');
        return *this;
    }
    static const char* hex = "0123456789ABCDEF";
    auto unit = [&](uint32_t u) {
        for (int s = 12; s >= 0; s -= 4) data.push_back(hex[(u >> s) & 0xF]);
    };
    data.append("<FEFF");
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    data.push_back('>');
    return *this;
}

PdfBuffer& PdfBuffer::Name(std::string_view name) {
    static const char* hex = "0123456789ABCDEF";
    data.push_back('/');
    for (unsigned char c : name) {
        if (c <= ' ' || c > '~' || std::string_view("()<>[]{}/%#").find(static_cast<char>(c)) !=
                                        std::string_view::npos) {
            data.push_back('#');
            data.push_back(hex[c >> 4]);
            data.push_back(hex[c & 15]);
        } else {
            data.push_back(static_cast<char>(c));
        }
    }
    return *this;
}

#ifdef QOR_HAVE_LIBDEFLATE
namespace {
struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
}  // namespace

void Deflate(std::string_view in, std::string& out, int level) {
    // One compressor per thread and level; allocating one costs more than a small page.
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> cache[13];
    if (level < 1) level = 1;
    if (level > 12) level = 12;
    auto& c = cache[level];
    if (!c) c.reset(libdeflate_alloc_compressor(level));
    if (!c) throw RuntimeError(kErrOutOfMemory);
    size_t bound = libdeflate_zlib_compress_bound(c.get(), in.size());
    size_t start = out.size();
    out.resize(start + bound);
    size_t n = libdeflate_zlib_compress(c.get(), in.data(), in.size(), out.data() + start, bound);
    if (n == 0) throw RuntimeError(kErrOutOfMemory, "Compression failed");
    out.resize(start + n);
}

bool Inflate(std::string_view in, std::string& out) {
    struct DecompressorDeleter {
        void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
    };
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> d(libdeflate_alloc_decompressor());
    if (!d) throw RuntimeError(kErrOutOfMemory);
    return libdeflate_zlib_decompress(d.get(), in.data(), in.size(), out.data(), out.size(), nullptr) ==
           LIBDEFLATE_SUCCESS;
}
#else
bool Inflate(std::string_view in, std::string& out) {
    uLongf size = static_cast<uLongf>(out.size());
    return uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
                      static_cast<uLong>(in.size())) == Z_OK &&
           size == out.size();
}

void Deflate(std::string_view in, std::string& out, int level) {
    if (level > 9) level = 9;
    uLongf bound = compressBound(static_cast<uLong>(in.size()));
    size_t start = out.size();
    out.resize(start + bound);
    if (compress2(reinterpret_cast<Bytef*>(out.data() + start), &bound,
                  reinterpret_cast<const Bytef*>(in.data()), static_cast<uLong>(in.size()),
                  level) != Z_OK)
        throw RuntimeError(kErrOutOfMemory, "Compression failed");
    out.resize(start + bound);
}
#endif

}  // namespace qor::surface
