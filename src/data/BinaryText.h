// Binary fields (blobs) have no text: a report column, a cell or a joined text cannot show
// them, and reading them as text fails instead of printing bytes as characters or counting
// them as 0 in a total.
#pragma once

#include <cstddef>
#include <string>

#include <qor/RuntimeError.h>

namespace qor::data {

[[noreturn]] inline void ThrowBinaryText(std::size_t bytes) {
    throw RuntimeError(kErrTypeMismatch, "Type mismatch: binary data (" + std::to_string(bytes) + " bytes)");
}

}  // namespace qor::data
