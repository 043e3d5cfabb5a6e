// Reading the design registry (JSON, described in resources/letterheads/designs.json itself).
#include "letterheads/Registry.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "drawing/DrawingSupport.h"
#include "letterheads/CustomerData.h"

namespace qor::detail {
extern const unsigned char kLetterheadDesigns[];
extern const std::size_t kLetterheadDesignsSize;
}  // namespace qor::detail

namespace qor::letterheads {

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::invalid_argument("letterhead designs: " + where + ": " + what);
}

// The system colour of selected items (&H80000000 + COLOR_HIGHLIGHT).
constexpr int32_t kColorHighlight = static_cast<int32_t>(0x8000000Du);

std::string Text(const QJsonValue& v) { return v.toString().toStdString(); }

// A misspelt key would silently change a design, so every key must be a known one.
void CheckKeys(const QJsonObject& o, const std::string& where, std::initializer_list<const char*> known) {
    for (const QString& key : o.keys()) {
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return key == QLatin1String(k); }))
            Fail(where, "unknown key \"" + key.toStdString() + "\"");
    }
}

// A number or a formula.
Expression Formula(const QJsonValue& v, const std::string& where) {
    if (v.isDouble()) return Expression(v.toDouble());
    if (!v.isString()) Fail(where, "expected a number or a formula");
    try {
        return Expression::Parse(Text(v));
    } catch (const std::invalid_argument& e) {
        Fail(where, e.what());
    }
}

std::vector<Expression> Formulas(const QJsonValue& v, std::size_t count, const std::string& where) {
    const QJsonArray list = v.toArray();
    if (static_cast<std::size_t>(list.size()) != count)
        Fail(where, "expected a list of " + std::to_string(count) + " positions");
    std::vector<Expression> out;
    for (const QJsonValue& item : list) out.push_back(Formula(item, where));
    return out;
}

// [r, g, b] as &HBBGGRR, or a system colour by name.
int32_t Colour(const QJsonValue& v, const std::string& where) {
    if (v.isString()) {
        if (v.toString() == "buttonFace") return kColorButtonFace;
        if (v.toString() == "highlight") return kColorHighlight;
        Fail(where, "unknown system colour " + Text(v));
    }
    const QJsonArray rgb = v.toArray();
    if (rgb.size() != 3) Fail(where, "expected [red, green, blue] or a system colour");
    return rgb[0].toInt() | rgb[1].toInt() << 8 | rgb[2].toInt() << 16;
}

Placement ReadPlacement(const QJsonObject& o, const std::string& where) {
    Placement p;
    if (o.contains("left")) p.left = Formula(o["left"], where + ".left");
    if (o.contains("top")) p.top = Formula(o["top"], where + ".top");
    if (o.contains("d")) p.d = Formula(o["d"], where + ".d");
    return p;
}

// The customer fields a template names: every {name} but Naam, SubNaam and {#id}.
void CollectFields(const std::string& text, std::vector<std::string>& fields) {
    for (auto open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
        const auto close = text.find('}', open);
        if (close == std::string::npos) return;
        const std::string name = text.substr(open + 1, close - open - 1);
        if (name == "Naam" || name == "SubNaam" || name.rfind('#', 0) == 0) continue;
        if (std::find(fields.begin(), fields.end(), name) == fields.end()) fields.push_back(name);
    }
}

Element ReadElement(const QJsonObject& o, const std::string& where, Design& design) {
    CheckKeys(o, where, {"text", "line", "box", "at", "trim", "printStyle", "font", "size", "style", "align",
                         "color", "fill", "width", "onlyIfEqual"});
    Element e;
    if (o.contains("text")) {
        e.kind = Element::Text;
        e.text = Text(o["text"]);
        e.at = Formulas(o["at"], 2, where + ".at");
        CollectFields(e.text, design.fields);
    } else if (o.contains("line")) {
        e.kind = Element::Line;
        e.at = Formulas(o["line"], 4, where + ".line");
    } else if (o.contains("box")) {
        e.kind = Element::Box;
        e.at = Formulas(o["box"], 4, where + ".box");
    } else {
        Fail(where, "expected \"text\", \"line\" or \"box\"");
    }
    e.trim = o["trim"].toBool();
    if (o["printStyle"].toString() == "psNormal") e.printStyle = psNormal;
    if (o.contains("font")) e.font = Text(o["font"]);
    if (o.contains("size")) e.size = Formula(o["size"], where + ".size");
    e.style = Text(o["style"]);
    const QString align = o["align"].toString("left");
    e.align = align == "right" ? alignRight : align == "centre" ? alignCenter : alignLeft;
    if (o.contains("color")) e.color = Colour(o["color"], where + ".color");
    if (o.contains("fill")) e.fill = Colour(o["fill"], where + ".fill");
    e.width = o["width"].toInt(e.kind == Element::Text ? 0 : e.kind == Element::Line ? 1 : 10);
    if (o.contains("onlyIfEqual")) {
        const QJsonArray pair = o["onlyIfEqual"].toArray();
        if (pair.size() != 2) Fail(where + ".onlyIfEqual", "expected two templates");
        e.onlyIfEqual = std::pair(Text(pair[0]), Text(pair[1]));
        CollectFields(e.onlyIfEqual->first, design.fields);
        CollectFields(e.onlyIfEqual->second, design.fields);
    }
    return e;
}

Design ReadDesign(const QJsonObject& o, const std::string& where) {
    CheckKeys(o, where, {"name", "keys", "customer", "blank", "picture", "left", "top", "d", "byLayout", "elements"});
    Design d;
    d.name = Text(o["name"]);
    for (const QJsonValue& k : o["keys"].toArray()) d.keys.push_back(UpperCase(Text(k)));
    d.customer = UpperCase(Text(o["customer"]));
    if (d.keys.empty() && d.customer.empty()) Fail(where, "needs \"keys\" or a \"customer\"");
    if (d.keys.empty()) d.fields.push_back("key");
    d.blank = o["blank"].toBool();
    if (!d.blank) {
        const QJsonArray size = o["picture"].toArray();
        if (size.size() != 2) Fail(where + ".picture", "expected [width, height]");
        d.width = Formula(size[0], where + ".picture");
        d.height = Formula(size[1], where + ".picture");
    }
    d.placement = ReadPlacement(o, where);
    const QJsonObject byLayout = o["byLayout"].toObject();
    for (auto it = byLayout.begin(); it != byLayout.end(); ++it) {
        CheckKeys(it.value().toObject(), where + ".byLayout", {"left", "top", "d"});
        d.byLayout[it.key().toInt()] = ReadPlacement(it.value().toObject(), where + ".byLayout." + it.key().toStdString());
    }
    const QJsonArray elements = o["elements"].toArray();
    for (qsizetype i = 0; i < elements.size(); ++i)
        d.elements.push_back(ReadElement(elements[i].toObject(), where + ".elements[" + std::to_string(i) + "]", d));
    if (d.customer.empty() && !d.fields.empty()) Fail(where, "names customer fields but no \"customer\"");
    return d;
}

}  // namespace

Placement Design::For(int32_t layout) const {
    Placement p = placement;
    const auto it = byLayout.find(layout);
    if (it == byLayout.end()) return p;
    if (it->second.left) p.left = it->second.left;
    if (it->second.top) p.top = it->second.top;
    if (it->second.d) p.d = it->second.d;
    return p;
}

std::vector<Design> ParseDesigns(std::string_view json) {
    QJsonParseError error{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError)
        Fail("offset " + std::to_string(error.offset), error.errorString().toStdString());
    std::vector<Design> designs;
    const QJsonArray rows = doc.object()["designs"].toArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows[i].toObject();
        designs.push_back(ReadDesign(row, "designs[" + std::to_string(i) + "] (" + Text(row["name"]) + ")"));
    }
    return designs;
}

const std::vector<Design>& Designs() {
    static const std::vector<Design> designs = ParseDesigns(
        std::string_view(reinterpret_cast<const char*>(detail::kLetterheadDesigns), detail::kLetterheadDesignsSize));
    return designs;
}

const Design* FindDesign(const std::vector<Design>& designs, const std::string& key, const CustomerData& data) {
    for (const Design& d : designs) {
        bool complete = true;
        for (const std::string& field : d.fields) complete = complete && data.Value(d.customer, field) != nullptr;
        if (!complete) continue;
        if (d.keys.empty() ? UpperCase(*data.Value(d.customer, "key")) == key
                           : std::find(d.keys.begin(), d.keys.end(), key) != d.keys.end())
            return &d;
    }
    return nullptr;
}

}  // namespace qor::letterheads
