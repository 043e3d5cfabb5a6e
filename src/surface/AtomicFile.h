// Files written under a temporary name in their folder and renamed into place, so that a
// failure never leaves half a file and readers never see one.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace qor::surface {

// Creates a temporary file beside `path`, lets `write` fill it, and renames it to `path`.
// When `write` throws or any write fails, the temporary file is removed and the existing
// `path` (if any) is untouched. Throws RuntimeError(75) naming the file and the system's
// reason when the file cannot be created or written; rethrows what `write` throws.
void WriteFileAtomically(const std::string& path, const std::function<void(std::FILE*)>& write);

// The same for writers that open the file themselves by name: `write` gets the name of the
// temporary file (created, empty) and fills it; the rename and the clean-up are as above.
void WriteNamedFileAtomically(const std::string& path, const std::function<void(const std::string&)>& write);

}  // namespace qor::surface
