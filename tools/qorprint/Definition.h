// A report definition read from JSON: the clsRapport texts and flags, the Init arguments,
// the data source and the column table, with the names of clsRapport's members and of the
// SetCol and Init arguments in lowerCamelCase.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <qor/Variant.h>
#include <qor/clsRapport.h>

namespace qortool {

// A definition that cannot be used. what() starts with the key path of the offending value
// ("columns[2].width: expected a number"), or is a JSON syntax error with line and column.
class DefinitionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments of clsRapport::Init. `Preview` is absent unless the definition gives it.
struct InitArgs {
    std::string PrinterName;
    std::optional<int16_t> Preview;
    int32_t Orient = 1;
    int32_t Copies = 1;
    int32_t PaperSize = 9;
    std::string ExportFilePDF;
    int32_t SecondPageBinNr = 0;
    bool SilentMode = false;
};

// The arguments of clsRapport::Logo, which the report only stores.
struct LogoArgs {
    std::string Lic;
    std::string Naam;
    std::string SubNaam;
    int32_t Layout = 0;
};

// A query parameter and its default; a Null default means the value must come from the
// command line.
struct QueryParam {
    std::string Name;
    qor::Variant Default;
};

struct Definition {
    // Texts and flags, with the values clsRapport::Init leaves when the key is absent.
    std::string Title;
    std::string SubTitle;
    std::string FootNote;
    bool FootNoteDate = true;
    bool PageNbr = true;
    int32_t MaxMergeCol = -1;
    int32_t Outline = -1;     // "outline": a column index, or a list of two
    int32_t SubOutline = -1;
    // Extensions, off when absent.
    bool CarryForward = false;
    bool PageOfPages = false;

    InitArgs Init;
    std::optional<LogoArgs> Logo;

    std::string SqliteFile;      // resolved against the definition's folder
    std::string OdbcConnection;  // as written; "" when the rows come from SqliteFile
    std::string Query;
    std::vector<QueryParam> Params;

    // The SetCol arguments of columns 0, 1, ...
    std::vector<qor::ColumnDef> Columns;
};

// Reads the definition file `path`. Throws DefinitionError naming the key that is wrong, and
// std::runtime_error when the file cannot be read.
Definition LoadDefinition(const std::string& path);

// Parses definition text; `baseDir` resolves a relative "sqlite" path. Throws DefinitionError.
Definition ParseDefinition(const std::string& json, const std::string& baseDir);

}  // namespace qortool
