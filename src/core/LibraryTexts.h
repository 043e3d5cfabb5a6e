// The library's own text table, compiled in from resources/texts.tsv.
#pragma once

#include "genlib/TextTable.h"

namespace qor::detail {

// Texts 1000-1115 and 1200-1203 by resource id (base id + language offset). Parsed on first use.
const TextTable& LibraryTexts();

}  // namespace qor::detail
