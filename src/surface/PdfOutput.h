// Byte buffers for the PDF writer: fast number formatting and deflate compression.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace qor::surface {

// A growing byte buffer with the few formatting operations PDF content needs.
class PdfBuffer {
public:
    std::string data;

    PdfBuffer& operator<<(std::string_view s) {
        data.append(s);
        return *this;
    }
    PdfBuffer& operator<<(char c) {
        data.push_back(c);
        return *this;
    }
    // Whole numbers.
    PdfBuffer& Int(int64_t v) {
        char buf[24];
        char* e = buf + sizeof buf;
        char* p = e;
        uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        do {
            *--p = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u);
        if (v < 0) *--p = '-';
        data.append(p, static_cast<size_t>(e - p));
        return *this;
    }
    // A number with at most `decimals` decimals, trailing zeros dropped.
    PdfBuffer& Num(double v, int decimals = 3) {
        static constexpr int64_t kPow[] = {1, 10, 100, 1000, 10000, 100000};
        const int64_t scale = kPow[decimals];
        int64_t scaled = static_cast<int64_t>(std::llround(v * static_cast<double>(scale)));
        if (scaled % scale == 0) return Int(scaled / scale);
        if (scaled < 0) {
            data.push_back('-');
            scaled = -scaled;
        }
        Int(scaled / scale);
        int64_t frac = scaled % scale;
        char buf[8];
        int n = decimals;
        while (frac % 10 == 0) {
            frac /= 10;
            --n;
        }
        for (int i = n - 1; i >= 0; --i) {
            buf[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        data.push_back('.');
        data.append(buf, static_cast<size_t>(n));
        return *this;
    }
    // Space-separated helpers.
    PdfBuffer& I(int64_t v) {
        Int(v);
        data.push_back(' ');
        return *this;
    }
    PdfBuffer& N(double v, int decimals = 3) {
        Num(v, decimals);
        data.push_back(' ');
        return *this;
    }
    // An 0xRRGGBB colour as three 0..1 components followed by a space each.
    PdfBuffer& Rgb(uint32_t rgb) {
        N(((rgb >> 16) & 0xFF) / 255.0).N(((rgb >> 8) & 0xFF) / 255.0).N((rgb & 0xFF) / 255.0);
        return *this;
    }
    // A PDF text string: literal for printable ASCII, else UTF-16BE hex with BOM.
    PdfBuffer& TextString(std::string_view utf8);
    // A PDF name from arbitrary bytes ("/" included).
    PdfBuffer& Name(std::string_view name);
};

// Deflate (zlib format) of `in` appended to `out`. `level` 1..9 (libdeflate allows 12).
void Deflate(std::string_view in, std::string& out, int level);
// Inflates what Deflate made into `out`, which has room for exactly the original bytes.
// False when `in` is not such data.
bool Inflate(std::string_view in, std::string& out);

}  // namespace qor::surface
