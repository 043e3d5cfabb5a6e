// The letterhead designs: one row per key or group of keys, read from the registry compiled
// into the library (resources/letterheads/designs.json), and the choice of a row for a key.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <qor/Enums.h>

#include "letterheads/Expression.h"

namespace qor::letterheads {

class CustomerData;

// One drawing element of a design, drawn with PrItem, PrLine or PrBox.
struct Element {
    enum Kind { Text, Line, Box } kind = Text;
    // Text: left and top; Line: from and to; Box: left, top, right, bottom (mm).
    std::vector<Expression> at;
    // Text: the template ({Naam}, {SubNaam}, {#id} for a text of the text table, {field} for
    // a field of the design's customer); `trim` removes blanks at either end.
    std::string text;
    bool trim = false;
    int32_t printStyle = psCustom;
    std::string font = "Arial";
    Expression size{9};       // points
    std::string style;
    int32_t align = alignLeft;
    int32_t color = 0;        // &HBBGGRR, system colours included
    std::optional<int32_t> fill;  // Box
    int32_t width = 1;        // Line, Box: pen width in surface units
    // When set, drawn only when both templates expand to the same text, ignoring case.
    std::optional<std::pair<std::string, std::string>> onlyIfEqual;
};

// Where a design fixes its picture: left, top (0 or absent: not fixed) and the text offset D.
struct Placement {
    std::optional<Expression> left, top, d;
};

struct Design {
    std::string name;
    std::vector<std::string> keys;   // upper case; empty for a design keyed by customer data
    std::string customer;            // the customer whose data it needs, or ""
    std::vector<std::string> fields; // the customer fields its texts use ("key" when keyless)
    bool blank = false;              // nothing at all is drawn, not even the picture
    Expression width, height;        // picture size in mm (before the multiplier)
    Placement placement;
    std::map<int32_t, Placement> byLayout;  // overrides of `placement` for a Layout value
    std::vector<Element> elements;   // drawn in this order after the picture

    // The left, top and D settings in effect for `layout`: its override, else the design's.
    Placement For(int32_t layout) const;
};

// Reads a registry. Throws std::invalid_argument naming the design and key at fault.
std::vector<Design> ParseDesigns(std::string_view json);

// The registry compiled into the library, read on first use. Safe from any thread.
const std::vector<Design>& Designs();

// The design of the upper-case key `key` given the customer data in effect: a row listing
// the key, or a customer's row whose configured key it is. A row whose customer data is
// incomplete does not exist. Null when no row fits.
const Design* FindDesign(const std::vector<Design>& designs, const std::string& key,
                         const CustomerData& data);

}  // namespace qor::letterheads
