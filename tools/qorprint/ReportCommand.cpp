// qorprint report: a definition, its rows from SQLite or ODBC, and clsRapport rendering them to
// the chosen output.
#include "Commands.h"
#include "Definition.h"
#include "Progress.h"

#include <qor/GenServices.h>
#include <qor/OdbcRecordset.h>
#include <qor/Preview.h>
#include <qor/SpreadsheetExport.h>
#include <qor/RuntimeError.h>
#include <qor/Spooler.h>
#include <qor/SqliteRecordset.h>
#include <qor/VSPDF.h>
#include <qor/VSPrinter.h>
#include <qor/clsRapport.h>
#include <qor/clsqorPrintLib.h>

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

namespace qortool {

const char* const kReportUsage =
    "usage: qorprint report DEFINITION.json [options]\n"
    "  --to pdf|png|xlsx|printer|preview\n"
    "                                output (default: pdf, or what init.preview says)\n"
    "  --out FILE                    pdf: the file (default: init.exportFilePDF, else\n"
    "                                DEFINITION.pdf in the current folder);\n"
    "                                xlsx: the workbook (default DEFINITION.xlsx; any other\n"
    "                                extension becomes .xlsx);\n"
    "                                png: the prefix of PREFIX-N.png (default DEFINITION)\n"
    "  --printer NAME                printer or \"bin;printer;tray\" (default: init.printerName,\n"
    "                                else the default printer)\n"
    "  --copies N                    copies on the printer (default: init.copies)\n"
    "  --param NAME=VALUE            value of the query parameter :NAME (repeatable)\n"
    "  --db FILE|CONNECTION          SQLite file or ODBC connection string (\"DSN=...\",\n"
    "                                \"Driver={...};...\", ${NAME} for environment variables)\n"
    "                                instead of data.sqlite or data.odbc\n"
    "  --list-drivers                list the installed ODBC drivers\n"
    "  --lang nl|fr|en               language of the texts (default from LANG, else en)\n"
    "  --locale NAME                 numbers and dates (default: nl_BE, fr_BE or en_US by\n"
    "                                --lang; without --lang the system's)\n"
    "  --dpi N                       resolution of PNG pages (default 150)\n"
    "exit codes: 0 ok, 1 usage, 2 definition, 3 data, 4 output, 5 nothing printed\n";

namespace {

enum class Target { Pdf, Png, Xlsx, Printer, Preview };

struct Options {
    std::string definition;
    std::optional<Target> to;
    std::string out;
    std::string printer;
    std::optional<int32_t> copies;
    std::vector<std::pair<std::string, std::string>> params;
    std::string db;
    std::string lang;
    std::string locale;
    double dpi = 150;
};

[[noreturn]] void Usage(const std::string& message) { throw CommandError(kExitUsage, message); }

int32_t WholeNumber(const std::string& option, const std::string& text, int32_t min, int32_t max) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < min || v > max)
        Usage(option + ": expected a whole number from " + std::to_string(min) + " to " +
              std::to_string(max) + ", got \"" + text + "\"");
    return static_cast<int32_t>(v);
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasValue = true;
            }
        }
        auto next = [&]() -> std::string {
            if (hasValue) return value;
            if (i + 1 >= args.size()) Usage(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kReportUsage, stdout);
            throw CommandError(kExitOk, "");
        } else if (arg == "--list-drivers") {
            for (const qor::OdbcDriver& d : qor::OdbcRecordset::Drivers())
                std::printf("%s\t%s\n", d.Name.c_str(), d.Library.c_str());
            throw CommandError(kExitOk, "");
        } else if (arg == "--to") {
            const std::string t = next();
            if (t == "pdf") o.to = Target::Pdf;
            else if (t == "png") o.to = Target::Png;
            else if (t == "xlsx") o.to = Target::Xlsx;
            else if (t == "printer") o.to = Target::Printer;
            else if (t == "preview") o.to = Target::Preview;
            else Usage("--to: expected pdf, png, xlsx, printer or preview, got \"" + t + "\"");
        } else if (arg == "--out") {
            o.out = next();
            if (o.out.empty()) Usage("--out: expected a file name");
        } else if (arg == "--printer") {
            o.printer = next();
        } else if (arg == "--copies") {
            o.copies = WholeNumber("--copies", next(), 1, 999);
        } else if (arg == "--param") {
            const std::string p = next();
            const auto eq = p.find('=');
            if (eq == std::string::npos || eq == 0) Usage("--param: expected NAME=VALUE, got \"" + p + "\"");
            o.params.emplace_back(p.substr(0, eq), p.substr(eq + 1));
        } else if (arg == "--db") {
            o.db = next();
        } else if (arg == "--lang") {
            o.lang = next();
            if (o.lang != "nl" && o.lang != "fr" && o.lang != "en")
                Usage("--lang: expected nl, fr or en, got \"" + o.lang + "\"");
        } else if (arg == "--locale") {
            o.locale = next();
        } else if (arg == "--dpi") {
            o.dpi = WholeNumber("--dpi", next(), 24, 1200);
        } else if (arg.rfind("-", 0) == 0 && arg.size() > 1) {
            Usage("report: unknown option \"" + arg + "\"");
        } else if (o.definition.empty()) {
            o.definition = arg;
        } else {
            Usage("report: only one definition file, got \"" + o.definition + "\" and \"" + arg + "\"");
        }
    }
    if (o.definition.empty()) Usage("report: the definition file is missing");
    return o;
}

// The language offset of PrSetUpDLL for `lang`, or from the environment.
std::string LanguageOf(const Options& o) {
    if (!o.lang.empty()) return o.lang;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v == nullptr || *v == '\0') continue;
        const std::string s(v);
        if (s.rfind("nl", 0) == 0) return "nl";
        if (s.rfind("fr", 0) == 0) return "fr";
        return "en";
    }
    return "en";
}

// The value of a --param, typed like the definition's default for it.
qor::Variant ParamValue(const std::string& name, const std::string& text, const qor::Variant& def) {
    if (def.Type() == qor::Variant::VarType::Long || def.Type() == qor::Variant::VarType::Double) {
        char* end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0')
            Usage("--param " + name + ": expected a number, got \"" + text + "\"");
        if (def.Type() == qor::Variant::VarType::Long && d == static_cast<int32_t>(d))
            return qor::Variant(static_cast<int32_t>(d));
        return qor::Variant(d);
    }
    if (def.Type() == qor::Variant::VarType::Boolean) {
        if (text == "true" || text == "1") return qor::Variant(true);
        if (text == "false" || text == "0") return qor::Variant(false);
        Usage("--param " + name + ": expected true or false, got \"" + text + "\"");
    }
    return qor::Variant(text);
}

std::vector<std::pair<std::string, qor::Variant>> BindParams(const Definition& def,
                                                             const Options& o) {
    std::map<std::string, qor::Variant> values;
    for (const QueryParam& p : def.Params) values[p.Name] = p.Default;
    for (const auto& [name, text] : o.params) {
        auto it = values.find(name);
        if (it == values.end()) {
            std::string declared;
            for (const QueryParam& p : def.Params) declared += (declared.empty() ? "" : ", ") + p.Name;
            Usage("--param " + name + ": the definition declares no such parameter (data.params: " +
                  (declared.empty() ? "none" : declared) + ")");
        }
        const qor::Variant* declaredDefault = nullptr;
        for (const QueryParam& p : def.Params)
            if (p.Name == name) declaredDefault = &p.Default;
        it->second = ParamValue(name, text, *declaredDefault);
    }
    std::vector<std::pair<std::string, qor::Variant>> bound;
    for (const QueryParam& p : def.Params) {
        const qor::Variant& v = values[p.Name];
        if (v.IsNull())
            Usage("parameter \"" + p.Name + "\" has no default: give it with --param " + p.Name + "=VALUE");
        bound.emplace_back(p.Name, v);
    }
    return bound;
}

int ExitCodeOf(const qor::RuntimeError& e) {
    switch (e.Number()) {
        case qor::kErrFileNotFound:
        case qor::kErrPathFileAccess:
        case qor::kErrPathNotFound:
        case qor::kErrDeviceIO:
        case qor::kErrPermissionDenied:
        case qor::kErrPrinter:
            return kExitOutput;
        default:
            return kExitData;
    }
}

std::string BaseName(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

// Fails early when `file` cannot be created: its folder is missing or not writable.
void CheckWritable(const std::string& file) {
    std::filesystem::path dir = std::filesystem::path(file).parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
        throw CommandError(kExitOutput, "cannot write " + file + ": the folder " + dir.string() +
                                            " does not exist");
    if (::access(dir.c_str(), W_OK) != 0)
        throw CommandError(kExitOutput, "cannot write " + file + ": the folder " + dir.string() +
                                            " is not writable");
    if (std::filesystem::is_directory(file, ec))
        throw CommandError(kExitOutput, "cannot write " + file + ": it is a folder");
}

// The installed printer the job goes to, or an output error naming what is missing.
std::string CheckPrinter(const std::string& printerString, int32_t copies) {
    qor::Spooler& spooler = qor::Spooler::Instance();
    // A composite string names the printer in its second field ("bin;printer;tray").
    std::vector<std::string> parts;
    std::string::size_type start = 0, sep;
    while ((sep = printerString.find(';', start)) != std::string::npos) {
        parts.push_back(printerString.substr(start, sep - start));
        start = sep + 1;
    }
    parts.push_back(printerString.substr(start));
    std::string name = parts.size() >= 2 ? parts[1] : parts[0];
    if (name.empty()) {
        name = spooler.DefaultPrinter();
        if (name.empty()) {
            const auto all = spooler.Printers();
            if (all.empty()) throw CommandError(kExitOutput, "no printer is installed (or no CUPS server answers)");
            throw CommandError(kExitOutput, "no default printer: choose one with --printer (qorprint printers lists them)");
        }
    } else if (!spooler.HasPrinter(name)) {
        throw CommandError(kExitOutput, "printer \"" + name + "\" is not installed (qorprint printers lists them)");
    }
    if (copies > 1 && !spooler.AcceptsCopies(name, copies))
        throw CommandError(kExitOutput, "printer \"" + name + "\" does not print " + std::to_string(copies) + " copies");
    return parts.size() >= 2 ? printerString : name;
}

std::filesystem::path ExecutableFolder(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path();
}

Definition ReadDefinition(const std::string& file) {
    try {
        return LoadDefinition(file);
    } catch (const DefinitionError& e) {
        throw CommandError(kExitDefinition, file + ": " + e.what());
    } catch (const std::exception& e) {
        throw CommandError(kExitDefinition, e.what());
    }
}

// Where the report goes, decided and checked before any work is done.
struct OutputPlan {
    Target target = Target::Pdf;
    std::string out;            // the PDF file, or the prefix of the PNG files
    int16_t mode = 4;           // the output mode of clsRapport::Init
    std::string printerString;  // the printer argument of clsRapport::Init
    int32_t copies = 1;
};

// --to, else what the definition's init.preview asks for, else a PDF.
Target ChooseTarget(const Definition& def, const Options& o) {
    if (o.to) return *o.to;
    if (!def.Init.Preview) return Target::Pdf;
    return *def.Init.Preview == 0 ? Target::Printer
           : *def.Init.Preview == 2 ? Target::Xlsx
           : *def.Init.Preview == 3 ? Target::Pdf
                                    : Target::Preview;
}

OutputPlan PlanOutput(const Definition& def, const Options& o, Target target) {
    OutputPlan plan;
    plan.target = target;
    plan.printerString = def.Init.PrinterName;
    plan.copies = o.copies.value_or(def.Init.Copies);
    switch (plan.target) {
        case Target::Pdf:
            plan.out = !o.out.empty() ? o.out
                       : !def.Init.ExportFilePDF.empty() ? def.Init.ExportFilePDF
                                                         : BaseName(o.definition) + ".pdf";
            CheckWritable(plan.out);
            break;
        case Target::Png:
            plan.out = !o.out.empty() ? o.out : BaseName(o.definition);
            CheckWritable(plan.out + "-1.png");
            break;
        case Target::Xlsx:
            plan.mode = 2;
            plan.out = qor::SpreadsheetFileFor(!o.out.empty() ? o.out : BaseName(o.definition) + ".xlsx");
            CheckWritable(plan.out);
            break;
        case Target::Printer:
            plan.mode = 0;
            plan.printerString =
                CheckPrinter(o.printer.empty() ? def.Init.PrinterName : o.printer, plan.copies);
            break;
        case Target::Preview:
            plan.mode = def.Init.Preview.value_or(1) == 4 ? 4 : 1;
            if (!o.printer.empty()) plan.printerString = o.printer;
            break;
    }
    return plan;
}

// The Qt application (for the preview only: everything else runs unattended, so no window
// ever waits for an answer and the library's window part is never loaded), the texts'
// language and the locale.
std::unique_ptr<QCoreApplication> SetUpLibrary(qor::clsqorPrintLib& lib, const Options& o,
                                           Target target, char* argv0) {
    std::unique_ptr<QCoreApplication> app;
    static int qtArgc = 1;
    static char* qtArgv[] = {const_cast<char*>("qorprint"), nullptr};
    if (target == Target::Preview) {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
            throw CommandError(kExitOutput, "--to preview needs a display (DISPLAY or WAYLAND_DISPLAY)");
        app.reset(qor::CreateWindowApplication(qtArgc, qtArgv));
        qor::InstallPreviewWindow();
    } else {
        qor::GenServices().Unattended = true;
    }

    const std::string lang = LanguageOf(o);
    lib.PrSetUpDLL(qor::Application{"qorprint", ExecutableFolder(argv0).string()},
                   lang == "nl" ? 0 : lang == "fr" ? 10000 : 20000);
    const std::string locale = !o.locale.empty() ? o.locale
                               : o.lang == "nl"  ? "nl_BE"
                               : o.lang == "fr"  ? "fr_BE"
                               : o.lang == "en"  ? "en_US"
                                                 : "";
    if (!locale.empty()) {
        try {
            qor::GenServices().Locale = locale;
        } catch (const qor::RuntimeError&) {
            Usage("--locale: unknown locale \"" + locale + "\"");
        }
    }
    return app;
}

// True when `source` is an ODBC connection string ("DSN=...", "Driver={...};...") rather
// than the path of an SQLite file: it starts with a keyword and "=".
bool IsConnectionString(const std::string& source) {
    const auto eq = source.find('=');
    return eq != std::string::npos && eq > 0 &&
           std::all_of(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(eq),
                       [](unsigned char c) { return std::isalnum(c) || c == '_' || c == ' '; });
}

// `text` with every ${NAME} replaced by the environment variable NAME, so that passwords
// stay out of definition files. A data error names a variable that is not set.
std::string ExpandEnvironment(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find("${"); at != std::string::npos; at = text.find("${", from)) {
        const std::size_t end = text.find('}', at);
        if (end == std::string::npos) break;
        const std::string name = text.substr(at + 2, end - at - 2);
        const char* value = std::getenv(name.c_str());
        if (value == nullptr)
            throw CommandError(kExitData, "the connection string names ${" + name + "}, which is not set");
        out.append(text, from, at - from).append(value);
        from = end + 1;
    }
    return out.append(text, from);
}

// The rows of `sql` from `source`: an ODBC connection string or an SQLite file.
std::shared_ptr<qor::Recordset> OpenQuery(const std::string& source, const std::string& sql,
                                          const std::vector<std::pair<std::string, qor::Variant>>& params) {
    if (IsConnectionString(source)) return qor::OdbcRecordset::OpenNamed(ExpandEnvironment(source), sql, params);
    return qor::SqliteRecordset::OpenNamed(source, sql, params);
}

// `source` as messages name it: an ODBC error names the connection itself (password hidden).
std::string SourceLabel(const std::string& source) { return IsConnectionString(source) ? "ODBC" : source; }

// The rows of the report; fails naming the first column whose field the query lacks.
std::shared_ptr<qor::Recordset> OpenRows(const Definition& def, const Options& o,
                                         const std::string& dbFile,
                                         const std::vector<std::pair<std::string, qor::Variant>>& params) {
    std::shared_ptr<qor::Recordset> rows;
    try {
        rows = OpenQuery(dbFile, def.Query, params);
    } catch (const qor::RuntimeError& e) {
        throw CommandError(kExitData, SourceLabel(dbFile) + ": " + e.what());
    }
    for (std::size_t i = 0; i < def.Columns.size(); ++i) {
        try {
            rows->FieldIndex(def.Columns[i].DataField);
        } catch (const qor::RuntimeError& e) {
            if (e.Number() != qor::kErrItemNotFound) throw CommandError(kExitData, SourceLabel(dbFile) + ": " + e.what());
            std::string names;
            for (int32_t f = 0; f < rows->FieldCount(); ++f)
                names += (f ? ", " : "") + rows->Fields(f).Name();
            throw CommandError(kExitData, o.definition + ": columns[" + std::to_string(i) +
                                              "].dataField: unknown field \"" +
                                              def.Columns[i].DataField + "\" (the query gives: " +
                                              names + ")");
        }
    }
    return rows;
}

// A progress bar over `rows` for long reports when someone watches the terminal; null
// otherwise (and `rows` stays as it is).
std::unique_ptr<ProgressBar> WatchProgress(std::shared_ptr<qor::Recordset>& rows, const Definition& def,
                                           const std::string& dbFile,
                                           const std::vector<std::pair<std::string, qor::Variant>>& params) {
    if (!::isatty(STDERR_FILENO) || rows->RecordCount() == 0) return nullptr;
    try {
        auto count = OpenQuery(dbFile, "SELECT COUNT(*) FROM (" + def.Query + ") AS counted", params);
        const double n = qor::GenServices().ToNumber(count->Value(0)).ToDouble();
        if (n <= 2000) return nullptr;
        auto bar = std::make_unique<ProgressBar>(static_cast<int64_t>(n));
        rows = std::make_shared<ProgressRecordset>(rows, *bar);
        return bar;
    } catch (const std::exception&) {
        return nullptr;  // no count, no bar: the report itself does not depend on it
    }
}

void Configure(qor::clsRapport& r, const Definition& def, const OutputPlan& plan,
               std::shared_ptr<qor::Recordset> rows) {
    r.Init(plan.printerString, plan.mode, def.Init.Orient, plan.copies, def.Init.PaperSize,
           plan.target == Target::Pdf || plan.target == Target::Xlsx ? plan.out : def.Init.ExportFilePDF, def.Init.SecondPageBinNr,
           def.Init.SilentMode);
    r.Title = def.Title;
    r.SubTitle = def.SubTitle;
    r.FootNote = def.FootNote;
    r.FootNoteDate = def.FootNoteDate;
    r.PageNbr = def.PageNbr;
    r.MaxMergeCol = def.MaxMergeCol;
    r.Outline = def.Outline;
    r.SubOutline = def.SubOutline;
    r.CarryForward = def.CarryForward;
    r.PageOfPages = def.PageOfPages;
    if (def.Logo) r.Logo(def.Logo->Lic, def.Logo->Naam, def.Logo->SubNaam, def.Logo->Layout);
    for (std::size_t i = 0; i < def.Columns.size(); ++i) r.SetCol(static_cast<int16_t>(i), def.Columns[i]);
    r.SetRt(std::move(rows));
}

// When the workbook of an xlsx plan was last written; nothing for other plans or no file.
std::optional<std::filesystem::file_time_type> LastWritten(const OutputPlan& plan) {
    std::error_code ec;
    if (plan.target != Target::Xlsx) return std::nullopt;
    const auto t = std::filesystem::last_write_time(plan.out, ec);
    if (ec) return std::nullopt;
    return t;
}

// Writes the finished document where the plan says and prints what was written.
void WriteOutput(qor::VSPrinter& document, const Definition& def, const OutputPlan& plan, double dpi) {
    switch (plan.target) {
        case Target::Pdf: {
            qor::VSPDF pdf;
            pdf.Title = def.Title;
            pdf.Creator = "qorprint";
            pdf.ConvertDocument(document, plan.out);
            std::printf("%s\n", std::filesystem::absolute(plan.out).string().c_str());
            break;
        }
        case Target::Png: {
            const int32_t pages = document.PageCount();
            const int digits = static_cast<int>(std::to_string(pages).size());
            for (int32_t p = 1; p <= pages; ++p) {
                std::string n = std::to_string(p);
                n.insert(0, static_cast<std::size_t>(digits) - n.size(), '0');
                const std::string file = plan.out + "-" + n + ".png";
                document.SavePagePng(p, file, dpi);
                std::printf("%s\n", std::filesystem::absolute(file).string().c_str());
            }
            break;
        }
        case Target::Xlsx:  // saved by the export when the report ended
            std::printf("%s\n", std::filesystem::absolute(plan.out).string().c_str());
            break;
        case Target::Printer:
            std::printf("printed %d page(s) on %s\n", document.PageCount(), plan.printerString.c_str());
            break;
        case Target::Preview:
            break;
    }
}

}  // namespace

int RunReport(const std::vector<std::string>& args, char* argv0) {
    Options o;
    try {
        o = ParseOptions(args);
    } catch (const CommandError& e) {
        if (e.Code() == kExitOk) return kExitOk;
        throw;
    }
    const Definition def = ReadDefinition(o.definition);
    const Target target = ChooseTarget(def, o);
    qor::clsqorPrintLib lib;
    const auto app = SetUpLibrary(lib, o, target, argv0);
    const OutputPlan plan = PlanOutput(def, o, target);

    const std::string dbFile = !o.db.empty() ? o.db : def.OdbcConnection.empty() ? def.SqliteFile : def.OdbcConnection;
    // A connection string names files beside the definition as ${QORPRINT_DEFINITION_DIR}/...
    ::setenv("QORPRINT_DEFINITION_DIR", std::filesystem::absolute(o.definition).parent_path().c_str(), 1);
    const auto params = BindParams(def, o);
    std::shared_ptr<qor::Recordset> rows = OpenRows(def, o, dbFile, params);
    const auto bar = target == Target::Preview ? nullptr : WatchProgress(rows, def, dbFile, params);
    const bool empty = rows->RecordCount() == 0;

    qor::clsRapport& r = lib.PrRapport();
    Configure(r, def, plan, rows);
    const std::optional<std::filesystem::file_time_type> before = LastWritten(plan);
    try {
        r.EndDoc();
    } catch (const qor::RuntimeError& e) {
        if (bar) bar->Finish();
        throw CommandError(ExitCodeOf(e), o.definition + ": " + e.what());
    }
    if (bar) bar->Finish();
    if (empty) return kExitEmpty;
    // A workbook that could not be prepared was reported on standard error already.
    if (target == Target::Xlsx && (!std::filesystem::exists(plan.out) || LastWritten(plan) == before))
        throw CommandError(kExitOutput, plan.out + ": the workbook was not written");

    try {
        WriteOutput(r.Document(), def, plan, o.dpi);
    } catch (const qor::RuntimeError& e) {
        throw CommandError(kExitOutput, e.what());
    }
    if (target != Target::Preview) r.Document().KillDoc();
    return kExitOk;
}

}  // namespace qortool
