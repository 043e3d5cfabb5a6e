// Reading PDF files back with poppler and qpdf: words with their boxes, plain text, page
// count, a structure check and pages rendered to PNG.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/Process.h"

namespace qor::test {

inline constexpr double kPtPerMm = 72.0 / 25.4;
inline constexpr double kMmPerPt = 25.4 / 72.0;
inline constexpr double kTwipsPerMm = 1440.0 / 25.4;

// One word as pdftotext -bbox reports it, in points from the page's top-left corner.
struct Word {
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    // The same box in millimetres.
    double Left() const { return xMin * kMmPerPt; }
    double Top() const { return yMin * kMmPerPt; }
    double Right() const { return xMax * kMmPerPt; }
    double Bottom() const { return yMax * kMmPerPt; }
    double CentreX() const { return (Left() + Right()) / 2; }
};

// `pdf` with the digits of its dates ("(D:20261206...Z)") blanked, for comparing two files.
inline std::string WithoutPdfDates(std::string pdf) {
    for (size_t at = pdf.find("(D:"); at != std::string::npos; at = pdf.find("(D:", at + 3)) {
        for (size_t i = at + 3; i < pdf.size() && pdf[i] != ')'; ++i) pdf[i] = '0';
    }
    return pdf;
}

// Decodes the entities pdftotext writes in its XHTML output.
inline std::string HtmlDecode(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : entities) {
        for (std::size_t i = s.find(from); i != std::string::npos; i = s.find(from, i + 1))
            s.replace(i, std::strlen(from), to);
    }
    return s;
}

namespace detail {
inline double Attribute(std::string_view tag, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = tag.find(key);
    if (at == std::string_view::npos) return 0;
    return std::strtod(std::string(tag.substr(at + key.size())).c_str(), nullptr);
}
}  // namespace detail

// Words of every page of `pdf`, page by page (index 0 is page 1).
inline std::vector<std::vector<Word>> PdfWords(const std::string& pdf) {
    const std::string html = Shell("pdftotext -bbox " + Quote(pdf) + " -");
    std::vector<std::vector<Word>> pages;
    for (std::size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i + 1)) {
        const std::string_view rest(html.data() + i, html.size() - i);
        if (rest.rfind("<page ", 0) == 0) {
            pages.emplace_back();
        } else if (rest.rfind("<word ", 0) == 0) {
            const std::size_t close = rest.find('>'), end = rest.find("</word>");
            if (close == std::string_view::npos || end == std::string_view::npos) break;
            const std::string_view tag = rest.substr(0, close);
            if (pages.empty()) pages.emplace_back();
            pages.back().push_back({HtmlDecode(std::string(rest.substr(close + 1, end - close - 1))),
                                    detail::Attribute(tag, "xMin"), detail::Attribute(tag, "yMin"),
                                    detail::Attribute(tag, "xMax"), detail::Attribute(tag, "yMax")});
        }
    }
    return pages;
}

// Words of page `page` (from 1); empty when the page does not exist.
inline std::vector<Word> PageWords(const std::string& pdf, int page) {
    std::vector<std::vector<Word>> pages = PdfWords(pdf);
    if (page < 1 || page > static_cast<int>(pages.size())) return {};
    return std::move(pages[static_cast<std::size_t>(page - 1)]);
}

// The plain text of `pdf` as pdftotext extracts it in reading order (`layout` keeps the
// physical layout instead).
inline std::string PdfText(const std::string& pdf, bool layout = false) {
    return Shell(std::string("pdftotext ") + (layout ? "-layout" : "-raw") + " -enc UTF-8 " + Quote(pdf) + " -");
}

// Number of pages as pdfinfo reports it; -1 when the file cannot be read as a PDF.
inline int PdfPages(const std::string& pdf) {
    int status = 0;
    const std::string info = Shell("pdfinfo " + Quote(pdf), &status);
    const std::size_t at = info.find("Pages:");
    if (status != 0 || at == std::string::npos) return -1;
    return std::atoi(info.c_str() + at + 6);
}

// qpdf --check: true when it finds no errors or warnings; `report` gets its output.
inline bool QpdfCheck(const std::string& pdf, std::string* report = nullptr) {
    int status = 0;
    const std::string out = Shell("qpdf --check " + Quote(pdf), &status);
    if (report) *report = out;
    return status == 0 && out.find("No syntax or stream encoding errors") != std::string::npos;
}

// Renders page `page` of `pdf` at `dpi` with pdftoppm into `base`.png and returns that path
// (the file is missing when poppler could not render the page). `gray` renders in grey.
inline std::string RenderPage(const std::string& pdf, int page, int dpi, const std::string& base,
                              bool gray = false) {
    Shell("pdftoppm -png " + std::string(gray ? "-gray " : "") + "-r " + std::to_string(dpi) + " -f " +
          std::to_string(page) + " -l " + std::to_string(page) + " -singlefile " + Quote(pdf) + " " + Quote(base));
    return base + ".png";
}

}  // namespace qor::test
