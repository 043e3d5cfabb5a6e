// A table of texts in three languages, read from the tab-separated form of resources/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qor::detail {

// A malformed table; the message names the table and the line.
class TextTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Texts by resource id. A row "id<TAB>Dutch<TAB>French<TAB>English" gives the ids
// id, id + 10000 and id + 20000. "\N" marks a language without a text; "\\", "\t", "\n"
// and "\r" are a backslash, tab, line feed and carriage return; every other byte is kept as
// it stands. Empty lines and lines starting with "#" are skipped. Read-only after
// construction, so one table may serve every thread.
class TextTable {
public:
    // The language offsets of the three columns.
    static constexpr int32_t kLanguageStep = 10000;

    // Parses `data`. Throws TextTableError (naming `name` and the line) for a row without
    // exactly four fields, an id that is not a number between 0 and 9999, a bad escape or
    // an id that appears twice.
    TextTable(std::string_view data, std::string_view name);

    // The text stored under `resourceId`, or nothing when there is none.
    std::optional<std::string_view> Find(int32_t resourceId) const;

    // Number of texts held (every language counted).
    std::size_t Size() const { return texts_.size(); }

    // Every text, by resource id.
    const std::unordered_map<int32_t, std::string>& Texts() const { return texts_; }

private:
    std::unordered_map<int32_t, std::string> texts_;
};

// The shared texts 9500-9999 compiled into the library. Parsed on first use.
const TextTable& SharedTexts();

}  // namespace qor::detail
