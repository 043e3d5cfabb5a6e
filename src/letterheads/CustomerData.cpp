#include "letterheads/CustomerData.h"

#include <fstream>
#include <iterator>

#include "drawing/DrawingSupport.h"

namespace qor::letterheads {

namespace {

std::string_view Strip(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool IsCustomerKey(std::string_view v) {
    if (v.size() != 6 || (v[0] != 'B' && v[0] != 'b') || (v[1] != 'E' && v[1] != 'e')) return false;
    for (char c : v.substr(2))
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

CustomerData CustomerData::Parse(std::string_view text) {
    CustomerData data;
    constexpr std::string_view kPrefix = "CUSTOMER";
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Strip(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string name = UpperCase(Strip(line.substr(0, equals)));
        const std::string_view value = Strip(line.substr(equals + 1));
        const auto dot = name.find('.');
        if (name.rfind(kPrefix, 0) != 0 || dot != kPrefix.size() + 1 || dot + 1 == name.size()) continue;
        const std::string setting = name.substr(kPrefix.size());  // "E.KEY"
        if (setting.substr(2) == "KEY" && !IsCustomerKey(value)) continue;
        data.values_[setting] = std::string(value);
    }
    return data;
}

const std::string* CustomerData::Value(std::string_view customer, std::string_view field) const {
    const auto it = values_.find(UpperCase(customer) + "." + UpperCase(field));
    return it == values_.end() ? nullptr : &it->second;
}

const CustomerData& CustomerDataOf(const std::string& folder) {
    thread_local std::string readFrom;
    thread_local CustomerData data;
    thread_local bool read = false;
    if (!read || readFrom != folder) {
        std::ifstream in(folder + "/" + std::string(kCustomerDataFile), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        data = CustomerData::Parse(text);
        readFrom = folder;
        read = true;
    }
    return data;
}

}  // namespace qor::letterheads
