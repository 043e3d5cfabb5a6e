// The library's user texts in Dutch, French and English.
#pragma once

#include <cstdint>
#include <string>

#include <qor/Variant.h>

namespace qor {

// The text of base id `id` in the language of GenServices().LanguageOffset (0 Dutch, 10000
// French, 20000 English). For ids below 9500 the library's table is read at id + offset; an
// id without a text there gives the placeholder " [LL " + (id + offset) + " ?] ", e.g.
// " [LL 21060 ?] ". For ids of 9500 and above the result is
// GenServices().SharedText(id + offset), or "" when that fails.
// Throws RuntimeError(6) when id + offset overflows 32 bits; nothing else.
std::string GetText(int32_t id);

// The same for an id held in a Variant, converted as CLng does (rounded half to even).
// Throws RuntimeError(13) for a text that is not a number, 94 for Null, 6 for an id out of
// the 32-bit range or an overflowing id + offset.
std::string GetText(const Variant& id);

}  // namespace qor
