// PrLogo: the letterhead of a customer key, drawn from its picture and its design.
#include <cstdlib>

#include <qor/Enums.h>
#include <qor/Texts.h>
#include <qor/clsqorPrintLib.h>

#include "drawing/DrawingSupport.h"
#include "drawing/ErrorPlace.h"
#include "letterheads/CustomerData.h"
#include "letterheads/FrmLogo.h"
#include "letterheads/Registry.h"

namespace qor {

namespace {

using letterheads::CustomerData;
using letterheads::Design;
using letterheads::Element;
using letterheads::Quantities;

// The number of characters of a UTF-8 text.
double Characters(const std::string& text) {
    double n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

// `text` with its {Naam}, {SubNaam}, {#id} and {field} placeholders filled in.
std::string Expand(const std::string& text, const std::string& naam, const std::string& subNaam,
                   const CustomerData& data, const std::string& customer) {
    std::string out;
    std::size_t from = 0;
    for (auto open = text.find('{'); open != std::string::npos; open = text.find('{', from)) {
        const auto close = text.find('}', open);
        if (close == std::string::npos) break;
        out.append(text, from, open - from);
        const std::string name = text.substr(open + 1, close - open - 1);
        if (name == "Naam") out += naam;
        else if (name == "SubNaam") out += subNaam;
        else if (name.rfind('#', 0) == 0) out += GetText(std::atoi(name.c_str() + 1));
        else if (const std::string* value = data.Value(customer, name)) out += *value;
        from = close + 1;
    }
    out.append(text, from);
    return out;
}

float At(const letterheads::Expression& e, const Quantities& q) { return static_cast<float>(e.Evaluate(q)); }

}  // namespace

void clsqorPrintLib::PrLogo(const std::string& Lic, const std::string& Naam, const std::string& SubNaam,
                            int32_t Layout, int32_t VerkleinFactor, int32_t TopShift, int32_t LeftShift) try {
    const OperationScope scope;
    if (ExcelModeOn()) return;
    const std::string folder = letterheads::HeadersFolder();
    const std::string key = letterheads::CachePicture(folder, UpperCase(Lic));
    const CustomerData& data = letterheads::CustomerDataOf(folder);
    const Design* design = letterheads::FindDesign(letterheads::Designs(), key, data);
    if (design == nullptr || design->blank) return;

    Quantities q;
    q.m = Layout == layCenterLarge ? 2 : 1;
    q.f = VerkleinFactor > 0 ? VerkleinFactor : 1;
    q.n = Characters(SubNaam);
    const float w = At(design->width, q), h = At(design->height, q);
    q.W = w;
    q.H = h;
    const letterheads::Placement place = design->For(Layout);
    const float fixedLeft = place.left ? At(*place.left, q) : 0;
    const float fixedTop = place.top ? At(*place.top, q) : 0;
    const float d = place.d ? At(*place.d, q) : 0;
    float x = 0, y = 0;
    if (Layout == layLeft || Layout == layRight) {
        x = fixedLeft != 0 ? fixedLeft : Layout == layLeft ? 5 + d : PrScaleWidth - 20 - w - d;
        y = fixedTop != 0 ? fixedTop : 10;
    } else {
        x = PrScaleWidth / 2 - w - 5 - d;
        y = PrScaleHeight / 2 - h - 10;
    }
    q.X = x;
    q.Y = y;
    q.c = x + w * static_cast<float>(q.m) / 2;
    const float m = static_cast<float>(q.m);
    PrPaintPicture(letterheads::ThreadFrmLogo().Img, x + static_cast<float>(LeftShift), y + static_cast<float>(TopShift),
                   w * m, h * m);

    for (const Element& e : design->elements) {
        if (e.onlyIfEqual &&
            UpperCase(Expand(e.onlyIfEqual->first, Naam, SubNaam, data, design->customer)) !=
                UpperCase(Expand(e.onlyIfEqual->second, Naam, SubNaam, data, design->customer)))
            continue;
        const float a = At(e.at[0], q), b = At(e.at[1], q);
        switch (e.kind) {
            case Element::Text: {
                std::string text = Expand(e.text, Naam, SubNaam, data, design->customer);
                if (e.trim) text = TrimBlanks(text);
                PrItem(a, b, Variant(text), frmtText, e.align, e.printStyle, e.style, At(e.size, q), e.font, e.color);
                break;
            }
            case Element::Line: PrLine(a, b, At(e.at[2], q), At(e.at[3], q), e.width, e.color); break;
            case Element::Box:
                PrBox(a, b, At(e.at[2], q), At(e.at[3], q), e.width, e.color, e.fill, false, 10);
                break;
        }
    }
} catch (const RuntimeError& e) {
    RethrowIn(e, "PrLogo", Lic, Naam, SubNaam, Layout, VerkleinFactor, TopShift, LeftShift);
}

}  // namespace qor
