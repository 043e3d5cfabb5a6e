#include "core/PrintJobs.h"

#include <charconv>
#include <limits>

namespace qor {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// The number at the start of `text` (digits only), or -1 when it does not start with one.
int64_t LeadingNumber(const std::string& text, std::size_t& end) {
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || value < 0) return -1;
    end = static_cast<std::size_t>(ptr - text.data());
    return value;
}

// False when the list part `part` ("a-b" or "a-") certainly holds no page of the document:
// a descending span, or an open span starting after the last page.
bool MayHoldPages(const std::string& part, int32_t pageCount) {
    std::size_t end = 0;
    const int64_t from = LeadingNumber(part, end);
    if (from < 0 || end >= part.size() || part[end] != '-') return true;
    const std::string rest = part.substr(end + 1);
    if (rest.empty()) return from <= pageCount;
    std::size_t toEnd = 0;
    const int64_t to = LeadingNumber(rest, toEnd);
    return to < 0 || toEnd != rest.size() || to >= from;
}

// The page list that remains after page 1 was printed on its own, without the parts that
// hold no page; "" when nothing remains.
std::string Remainder(const std::string& list, int32_t pageCount) {
    std::string kept;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        const std::string part = list.substr(start, comma - start);
        if (!IsBlank(part) && MayHoldPages(part, pageCount)) kept += (kept.empty() ? "" : ",") + part;
        start = comma + 1;
    }
    return kept;
}

// True when `text` is the plain decimal form of a whole number that fits an int32_t;
// `page` then holds it.
bool IsSinglePageNumber(const std::string& text, int32_t& page) {
    const bool negative = text.starts_with('-');
    const std::string digits = negative ? text.substr(1) : text;
    if (digits.empty() || (digits[0] == '0' && (digits.size() > 1 || negative))) return false;
    int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || ptr != digits.data() + digits.size()) return false;
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        return false;
    page = static_cast<int32_t>(value);
    return true;
}

}  // namespace

std::vector<PrintJob> PlanPrintJobs(const std::string& range, int32_t pageCount,
                                    int32_t firstBin, int32_t secondBin, int32_t copies) {
    const auto span = [copies](int32_t from, int32_t to, int32_t bin) {
        return PrintJob{from, to, std::string(), bin, copies};
    };
    const auto list = [copies](std::string pages, int32_t bin) {
        return PrintJob{0, 0, std::move(pages), bin, copies};
    };
    // A page number as a span, anything else as the page list itself.
    const auto pages = [&](const std::string& text, int32_t bin) {
        int32_t page = 0;
        return IsSinglePageNumber(text, page) ? span(page, page, bin) : list(text, bin);
    };
    // Page 1 from the first bin, then what remains from the second.
    const auto pageOneThen = [&](const std::string& rest) {
        std::vector<PrintJob> jobs{span(1, 1, firstBin)};
        const std::string kept = Remainder(rest, pageCount);
        if (!kept.empty()) jobs.push_back(list(kept, secondBin));
        return jobs;
    };

    const bool empty = IsBlank(range);
    if (secondBin == 0) return {empty ? list("", firstBin) : pages(range, firstBin)};
    if (empty) {
        if (pageCount > 1) return {span(1, 1, firstBin), span(2, pageCount, secondBin)};
        return {list("", firstBin)};
    }
    if (range == "1") return {span(1, 1, firstBin)};
    if (range.starts_with("1-")) return pageOneThen("2-" + range.substr(2));
    if (range.starts_with("1,")) return pageOneThen(range.substr(2));
    return {pages(range, secondBin)};
}

}  // namespace qor
