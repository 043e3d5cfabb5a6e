// Test helpers: a scratch folder, and reading PDFs back with poppler and qpdf.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace qor::test {

// A fresh folder under the temporary directory, removed with its content at the end.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qorsurface-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs a shell command; returns its standard output and sets `status` to its exit code.
inline std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

// One word as pdftotext -bbox reports it, in points from the page's top-left corner.
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};

inline std::string HtmlDecode(std::string s) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (auto [from, to] : entities) {
        for (size_t i = s.find(from); i != std::string::npos; i = s.find(from, i + 1))
            s.replace(i, std::strlen(from), to);
    }
    return s;
}

// The value of attribute `name` inside the tag text `tag`, as a number.
inline double Attribute(std::string_view tag, std::string_view name) {
    std::string key = " " + std::string(name) + "=\"";
    size_t at = tag.find(key);
    if (at == std::string_view::npos) return 0;
    return std::strtod(std::string(tag.substr(at + key.size())).c_str(), nullptr);
}

// Words of every page of `pdf`, page by page.
inline std::vector<std::vector<Word>> PdfWords(const std::string& pdf) {
    std::string html = Shell("pdftotext -bbox " + Quote(pdf) + " -");
    std::vector<std::vector<Word>> pages;
    for (size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i + 1)) {
        std::string_view rest(html.data() + i, html.size() - i);
        if (rest.rfind("<page ", 0) == 0) {
            pages.emplace_back();
        } else if (rest.rfind("<word ", 0) == 0) {
            size_t close = rest.find('>'), end = rest.find("</word>");
            if (close == std::string_view::npos || end == std::string_view::npos) break;
            std::string_view tag = rest.substr(0, close);
            if (pages.empty()) pages.emplace_back();
            pages.back().push_back({HtmlDecode(std::string(rest.substr(close + 1, end - close - 1))),
                                    Attribute(tag, "xMin"), Attribute(tag, "yMin"),
                                    Attribute(tag, "xMax"), Attribute(tag, "yMax")});
        }
    }
    return pages;
}

// The plain text of `pdf` as pdftotext extracts it (raw order).
inline std::string PdfText(const std::string& pdf) {
    return Shell("pdftotext -raw -enc UTF-8 " + Quote(pdf) + " -");
}

// qpdf --check: true when it finds no errors or warnings; `report` gets its output.
inline bool QpdfCheck(const std::string& pdf, std::string* report = nullptr) {
    int status = 0;
    std::string out = Shell("qpdf --check " + Quote(pdf), &status);
    if (report) *report = out;
    return status == 0 && out.find("No syntax or stream encoding errors") != std::string::npos;
}

constexpr double kPtPerMm = 72.0 / 25.4;
constexpr double kTwipsPerMm = 1440.0 / 25.4;

}  // namespace qor::test
