#include "genlib/TextTable.h"

#include <charconv>
#include <vector>

namespace qor::detail {

namespace {

[[noreturn]] void Fail(std::string_view name, int line, const std::string& what) {
    throw TextTableError(std::string(name) + " line " + std::to_string(line) + ": " + what);
}

std::optional<std::string> Unescape(std::string_view field, std::string_view name, int line) {
    if (field == "\\N") return std::nullopt;
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 == field.size()) Fail(name, line, "backslash at the end of a field");
        switch (field[++i]) {
            case '\\': out += '\\'; break;
            case 't': out += '\t'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            default: Fail(name, line, std::string("unknown escape \\") + field[i]);
        }
    }
    return out;
}

}  // namespace

TextTable::TextTable(std::string_view data, std::string_view name) {
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find('\n', pos);
        if (end == std::string_view::npos) end = data.size();
        std::string_view line = data.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (line.empty() || line.front() == '#') continue;

        std::vector<std::string_view> fields;
        std::size_t start = 0;
        for (;;) {
            std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        if (fields.size() != 4) {
            Fail(name, lineNo, "expected 4 tab-separated fields, found " + std::to_string(fields.size()));
        }
        int32_t id = 0;
        auto [ptr, ec] = std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), id);
        if (ec != std::errc() || ptr != fields[0].data() + fields[0].size() || id < 0 ||
            id >= kLanguageStep) {
            Fail(name, lineNo, "bad id \"" + std::string(fields[0]) + "\"");
        }
        for (int32_t lang = 0; lang < 3; ++lang) {
            std::optional<std::string> text = Unescape(fields[1 + lang], name, lineNo);
            if (!text) continue;
            if (!texts_.emplace(id + lang * kLanguageStep, std::move(*text)).second) {
                Fail(name, lineNo, "id " + std::to_string(id) + " appears twice");
            }
        }
    }
}

std::optional<std::string_view> TextTable::Find(int32_t resourceId) const {
    auto it = texts_.find(resourceId);
    if (it == texts_.end()) return std::nullopt;
    return std::string_view(it->second);
}

}  // namespace qor::detail
