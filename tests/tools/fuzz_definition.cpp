// libFuzzer entry: the input is the text of a qorprint report definition (JSON).
// ParseDefinition may throw qortool::DefinitionError and nothing else; a definition it
// accepts has 1 to 16 columns, each with a width and a data field.

#include "Definition.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string json(reinterpret_cast<const char*>(data), size);
    try {
        const qortool::Definition def = qortool::ParseDefinition(json, "/nonexistent/base");
        if (def.Columns.empty() || def.Columns.size() > 16) std::abort();
        for (const qor::ColumnDef& c : def.Columns)
            if (!(c.Width > 0) || c.DataField.empty()) std::abort();
        if (def.SqliteFile.empty() == def.OdbcConnection.empty()) std::abort();
    } catch (const qortool::DefinitionError&) {
    }
    return 0;
}
