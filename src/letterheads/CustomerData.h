// The customer data of the letterhead designs: customer keys and the fixed organisation and
// place names, kept in a configuration file in the Headers folder.
//
// Format (UTF-8, one setting a line): "customer<Letter>.<field> = <value>", for example
//   customerE.key = BE1234
//   customerA.name = Example Town Council
// Blanks around the name and the value are dropped; empty lines and lines starting with '#'
// are comments. Letters and field names are case-insensitive; a later line replaces an
// earlier one. A key must be "BE" followed by four digits; other keys and lines that are not
// settings are ignored.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace qor::letterheads {

// Name of the configuration file inside the Headers folder.
inline constexpr std::string_view kCustomerDataFile = "letterheads.conf";

class CustomerData {
public:
    // Reads the text of a configuration file.
    static CustomerData Parse(std::string_view text);

    // The value of `field` of `customer` (a letter such as "E"), or null when not set.
    const std::string* Value(std::string_view customer, std::string_view field) const;

private:
    std::map<std::string, std::string> values_;  // "E.key" -> "BE1234", names upper case
};

// The customer data of the Headers folder `folder` for the calling thread: its
// configuration file is read on first use and kept (read again only for another folder).
// A missing or unreadable file gives no data.
const CustomerData& CustomerDataOf(const std::string& folder);

}  // namespace qor::letterheads
