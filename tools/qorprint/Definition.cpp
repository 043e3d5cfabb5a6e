// Reading a report definition from JSON with QJsonDocument. Every value is checked against
// the key it sits under, so a mistake is reported with the path of that key.
#include "Definition.h"

#include <qor/Enums.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <functional>
#include <map>

namespace qortool {

namespace {

struct Name {
    const char* name;
    int32_t value;
};

constexpr Name kFrmtNames[] = {
    {"frmtText", qor::frmtText},
    {"frmtNumber", qor::frmtNumber},
    {"frmtNumberDec", qor::frmtNumberDec},
    {"frmtNumberNoZero", qor::frmtNumberNoZero},
    {"frmtNumberDecNoZero", qor::frmtNumberDecNoZero},
    {"frmtCurrency", qor::frmtCurrency},
    {"frmtCurrencyDec", qor::frmtCurrencyDec},
    {"frmtPercent", qor::frmtPercent},
    {"frmtPercentDec", qor::frmtPercentDec},
    {"frmtEuroCode", qor::frmtEuroCode},
    {"frmtEuroSign", qor::frmtEuroSign},
    {"frmtAmount", qor::frmtAmount},
    {"frmtEuroCode2", qor::frmtEuroCode2},
    {"frmtEuroSign2", qor::frmtEuroSign2},
    {"frmtAmount2", qor::frmtAmount2},
    {"frmtEuroCode4", qor::frmtEuroCode4},
    {"frmtEuroSign4", qor::frmtEuroSign4},
    {"frmtAmount4", qor::frmtAmount4},
};

constexpr Name kPrintStyleNames[] = {
    {"psNormal", qor::psNormal}, {"psTitle", qor::psTitle}, {"psSubTitle", qor::psSubTitle},
    {"psCaps", qor::psCaps},     {"psBold", qor::psBold},   {"psSmall", qor::psSmall},
    {"psCustom", qor::psCustom},
};

constexpr Name kAlignNames[] = {{"left", 0}, {"right", 1}, {"center", 2}, {"centre", 2}};
constexpr Name kOrientNames[] = {{"portrait", 1}, {"landscape", 2}};
constexpr Name kSumTypeNames[] = {{"none", 0}, {"sum", 1}, {"count", 2}};
constexpr Name kLayoutNames[] = {
    {"layLeft", qor::layLeft}, {"layRight", qor::layRight}, {"layCenterLarge", qor::layCenterLarge},
    {"layCenter", qor::layCenter}};
constexpr Name kPreviewNames[] = {{"print", 0}, {"preview", 1}, {"xlsx", 2}, {"pdf", 3}, {"view", 4}};

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw DefinitionError(path + ": " + what);
}

std::string Quoted(const QString& s) { return "\"" + s.toStdString() + "\""; }

// The keys of one JSON object, each read at most once; whatever is left is unknown.
class Object {
public:
    // `keys` are the keys the object may have; any other is reported before anything is
    // read, so a misspelt key is named as such rather than as a missing one.
    Object(const QJsonValue& value, std::string path, std::initializer_list<const char*> keys)
        : path_(std::move(path)) {
        if (!value.isObject()) Fail(path_.empty() ? "(top level)" : path_, "expected an object");
        object_ = value.toObject();
        for (auto it = object_.constBegin(); it != object_.constEnd(); ++it) {
            const std::string key = it.key().toStdString();
            bool found = false;
            for (const char* k : keys) found = found || key == k;
            if (!found) Fail(PathOf(key.c_str()), "unknown key");
        }
    }

    std::string PathOf(const char* key) const { return path_.empty() ? key : path_ + "." + key; }

    std::optional<QJsonValue> Take(const char* key) {
        auto it = object_.constFind(QLatin1String(key));
        if (it == object_.constEnd()) return std::nullopt;
        return *it;
    }

    void String(const char* key, std::string& out) {
        if (auto v = Take(key)) {
            if (!v->isString()) Fail(PathOf(key), "expected a string");
            out = v->toString().toStdString();
        }
    }
    void Bool(const char* key, bool& out) {
        if (auto v = Take(key)) {
            if (!v->isBool()) Fail(PathOf(key), "expected true or false");
            out = v->toBool();
        }
    }
    void Number(const char* key, float& out, double min, double max) {
        if (auto v = Take(key)) {
            if (!v->isDouble()) Fail(PathOf(key), "expected a number");
            const double d = v->toDouble();
            if (d < min || d > max) Fail(PathOf(key), RangeText(d, min, max));
            out = static_cast<float>(d);
        }
    }
    void Integer(const char* key, int32_t& out, double min, double max) {
        if (auto v = Take(key)) out = IntegerOf(*v, PathOf(key), min, max);
    }
    // A whole number, or one of `names` (given by name).
    template <std::size_t N>
    void Named(const char* key, int32_t& out, const Name (&names)[N], double min, double max) {
        auto v = Take(key);
        if (!v) return;
        if (v->isString()) {
            const std::string text = v->toString().toStdString();
            for (const Name& n : names) {
                if (text == n.name) {
                    out = n.value;
                    return;
                }
            }
            std::string list;
            for (const Name& n : names) list += (list.empty() ? "" : ", ") + std::string(n.name);
            Fail(PathOf(key), "unknown name \"" + text + "\" (expected a number or one of " +
                                  list + ")");
        }
        out = IntegerOf(*v, PathOf(key), min, max);
    }

private:
    static std::string RangeText(double d, double min, double max) {
        return "value " + QString::number(d).toStdString() + " is out of range (" +
               QString::number(min).toStdString() + " to " + QString::number(max).toStdString() +
               ")";
    }
    static int32_t IntegerOf(const QJsonValue& v, const std::string& path, double min,
                             double max) {
        if (!v.isDouble()) Fail(path, "expected a number");
        const double d = v.toDouble();
        if (d != std::floor(d)) Fail(path, "expected a whole number");
        if (d < min || d > max) Fail(path, RangeText(d, min, max));
        return static_cast<int32_t>(d);
    }

    QJsonObject object_;
    std::string path_;
};

// A colour as a number &HBBGGRR or as "#RRGGBB".
void ReadColor(Object& o, const char* key, int32_t& out) {
    auto v = o.Take(key);
    if (!v) return;
    if (v->isString()) {
        const QString s = v->toString();
        bool ok = s.size() == 7 && s.startsWith('#');
        const uint rgb = ok ? s.mid(1).toUInt(&ok, 16) : 0;
        if (!ok) Fail(o.PathOf(key), "expected a number (&HBBGGRR) or \"#RRGGBB\", got " + Quoted(s));
        out = static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
        return;
    }
    // Whole numbers of 32 bits, signed or not (&H80000005 as a Long or as written).
    if (!v->isDouble() || v->toDouble() != std::floor(v->toDouble()) ||
        std::fabs(v->toDouble()) >= 4294967296.0)
        Fail(o.PathOf(key), "expected a number (&HBBGGRR) or \"#RRGGBB\"");
    out = static_cast<int32_t>(static_cast<int64_t>(v->toDouble()));
}

void ReadInit(const QJsonValue& value, InitArgs& init) {
    Object o(value, "init", {"printerName", "preview", "orient", "copies", "paperSize",
                             "exportFilePDF", "secondPageBinNr", "silentMode"});
    o.String("printerName", init.PrinterName);
    int32_t preview = -1;
    o.Named("preview", preview, kPreviewNames, 0, 4);
    if (preview >= 0) init.Preview = static_cast<int16_t>(preview);
    o.Named("orient", init.Orient, kOrientNames, 1, 2);
    o.Integer("copies", init.Copies, 1, 999);
    o.Integer("paperSize", init.PaperSize, 1, 256);
    o.String("exportFilePDF", init.ExportFilePDF);
    o.Integer("secondPageBinNr", init.SecondPageBinNr, 0, 32767);
    o.Bool("silentMode", init.SilentMode);
}

LogoArgs ReadLogo(const QJsonValue& value) {
    Object o(value, "logo", {"lic", "naam", "subNaam", "layout"});
    LogoArgs logo;
    auto lic = o.Take("lic");
    if (!lic) Fail("logo.lic", "missing (the customer key of the letterhead)");
    if (!lic->isString()) Fail("logo.lic", "expected a string");
    logo.Lic = lic->toString().toStdString();
    o.String("naam", logo.Naam);
    o.String("subNaam", logo.SubNaam);
    o.Named("layout", logo.Layout, kLayoutNames, -2147483648.0, 2147483647.0);
    return logo;
}

void ReadData(const QJsonValue& value, Definition& def, const std::string& baseDir) {
    Object o(value, "data", {"sqlite", "odbc", "query", "params"});
    auto file = o.Take("sqlite");
    auto odbc = o.Take("odbc");
    if (file && odbc) Fail("data.odbc", "give either \"sqlite\" or \"odbc\", not both");
    if (odbc) {
        if (!odbc->isString() || odbc->toString().trimmed().isEmpty())
            Fail("data.odbc", "expected an ODBC connection string (\"DSN=...\" or \"Driver={...};...\")");
        def.OdbcConnection = odbc->toString().toStdString();
    } else {
        if (!file) Fail("data.sqlite", "missing (the SQLite database file, or \"odbc\": a connection string)");
        if (!file->isString() || file->toString().isEmpty())
            Fail("data.sqlite", "expected the path of an SQLite file");
        const QString path = file->toString();
        def.SqliteFile = QFileInfo(path).isAbsolute()
                             ? path.toStdString()
                             : QDir::cleanPath(QDir(QString::fromStdString(baseDir)).filePath(path))
                                   .toStdString();
    }
    auto query = o.Take("query");
    if (!query) Fail("data.query", "missing (the SQL query giving the rows)");
    if (!query->isString() || query->toString().trimmed().isEmpty())
        Fail("data.query", "expected the SQL text of a query");
    def.Query = query->toString().toStdString();
    if (auto params = o.Take("params")) {
        if (!params->isObject()) Fail("data.params", "expected an object of name: default value");
        const QJsonObject p = params->toObject();
        for (auto it = p.constBegin(); it != p.constEnd(); ++it) {
            const std::string key = "data.params." + it.key().toStdString();
            QueryParam param{it.key().toStdString(), qor::Variant::Null()};
            if (param.Name.empty() || param.Name.find_first_of(":@$?") != std::string::npos)
                Fail(key, "a parameter name is written without its \":\"");
            const QJsonValue v = it.value();
            if (v.isString()) param.Default = qor::Variant(v.toString().toStdString());
            else if (v.isBool()) param.Default = qor::Variant(v.toBool());
            else if (v.isDouble()) {
                const double d = v.toDouble();
                if (d == std::floor(d) && std::fabs(d) < 2147483648.0)
                    param.Default = qor::Variant(static_cast<int32_t>(d));
                else
                    param.Default = qor::Variant(d);
            } else if (!v.isNull()) {
                Fail(key, "expected a string, number, true/false or null");
            }
            def.Params.push_back(std::move(param));
        }
    }
}

qor::ColumnDef ReadColumn(const QJsonValue& value, const std::string& path) {
    Object o(value, path,
             {"width", "caption", "dataField", "frmt", "align", "noDividerLine", "fFrmt", "prLeft",
              "llGenLib", "subTotalType", "subTotalCol", "totalType", "printStyle", "style",
              "fontSize", "fontName", "color"});
    // SetCol's own defaults where they differ from a blank column.
    qor::ColumnDef c;
    c.SubTotalCol = -1;
    c.FontSize = 9;
    c.FontName = "Arial";
    auto width = o.Take("width");
    if (!width) Fail(path + ".width", "missing (the column width in mm)");
    if (!width->isDouble()) Fail(path + ".width", "expected a number");
    if (width->toDouble() <= 0 || width->toDouble() > 1000)
        Fail(path + ".width", "expected a width in mm above 0");
    c.Width = static_cast<float>(width->toDouble());
    o.String("caption", c.Caption);
    auto field = o.Take("dataField");
    if (!field) Fail(path + ".dataField", "missing (the field of the query shown in the column)");
    if (!field->isString() || field->toString().isEmpty())
        Fail(path + ".dataField", "expected a field name");
    c.DataField = field->toString().toStdString();
    o.Named("frmt", c.Frmt, kFrmtNames, 0, 32);
    o.Named("align", c.Align, kAlignNames, 0, 2);
    o.Bool("noDividerLine", c.NoDividerLine);
    o.String("fFrmt", c.FFrmt);
    o.Bool("prLeft", c.PrLeft);
    o.Integer("llGenLib", c.LLGenLib, 0, 1e9);
    o.Named("subTotalType", c.SubTotalType, kSumTypeNames, 0, 2);
    o.Integer("subTotalCol", c.SubTotalCol, -1, 15);
    o.Named("totalType", c.TotalType, kSumTypeNames, 0, 2);
    o.Named("printStyle", c.PrintStyle, kPrintStyleNames, 0, 99);
    o.String("style", c.Style);
    o.Number("fontSize", c.FontSize, 1, 200);
    o.String("fontName", c.FontName);
    ReadColor(o, "color", c.Color);
    return c;
}

// "outline": a column index, or a list of two (the entries, then the entries under them).
void ReadOutline(Object& top, Definition& def, int32_t last) {
    auto v = top.Take("outline");
    if (!v) return;
    const std::string path = top.PathOf("outline");
    const auto index = [&](const QJsonValue& item, const std::string& at) {
        if (!item.isDouble() || item.toDouble() != std::floor(item.toDouble()))
            Fail(at, "expected a column index or a list of two");
        const double d = item.toDouble();
        if (d < 0 || d > last)
            Fail(at, QString::number(d).toStdString() + " is not a column index (0 to " +
                         std::to_string(last) + ")");
        return static_cast<int32_t>(d);
    };
    if (!v->isArray()) {
        def.Outline = index(*v, path);
        return;
    }
    const QJsonArray list = v->toArray();
    if (list.size() < 1 || list.size() > 2) Fail(path, "expected a column index or a list of two");
    def.Outline = index(list[0], path + "[0]");
    if (list.size() == 2) def.SubOutline = index(list[1], path + "[1]");
}

}  // namespace

Definition ParseDefinition(const std::string& json, const std::string& baseDir) {
    QJsonParseError error{};
    const QByteArray bytes = QByteArray::fromStdString(json);
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        int line = 1, column = 1;
        for (int i = 0; i < error.offset && i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        throw DefinitionError("line " + std::to_string(line) + ", column " +
                              std::to_string(column) + ": " +
                              error.errorString().toStdString() + " (not valid JSON)");
    }
    Definition def;
    Object top(doc.isObject() ? QJsonValue(doc.object()) : QJsonValue(), "",
               {"description", "title", "subTitle", "footNote", "footNoteDate", "pageNbr",
                "maxMergeCol", "init", "logo", "data", "columns",
                // Extensions of clsRapport (README, "Report extensions").
                "outline", "carryForward", "pageOfPages"});
    std::string description;
    top.String("description", description);
    top.String("title", def.Title);
    top.String("subTitle", def.SubTitle);
    top.String("footNote", def.FootNote);
    top.Bool("footNoteDate", def.FootNoteDate);
    top.Bool("pageNbr", def.PageNbr);
    top.Bool("carryForward", def.CarryForward);
    top.Bool("pageOfPages", def.PageOfPages);
    if (auto init = top.Take("init")) ReadInit(*init, def.Init);
    if (auto logo = top.Take("logo")) def.Logo = ReadLogo(*logo);
    auto data = top.Take("data");
    if (!data) Fail("data", "missing (the SQLite file and query of the rows)");
    ReadData(*data, def, baseDir);

    auto columns = top.Take("columns");
    if (!columns) Fail("columns", "missing (the list of report columns)");
    if (!columns->isArray()) Fail("columns", "expected a list of columns");
    const QJsonArray list = columns->toArray();
    if (list.isEmpty()) Fail("columns", "expected at least one column");
    if (list.size() > 16) Fail("columns", "at most 16 columns, got " + std::to_string(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i)
        def.Columns.push_back(ReadColumn(list[i], "columns[" + std::to_string(i) + "]"));
    const int32_t last = static_cast<int32_t>(def.Columns.size()) - 1;
    // Read after the columns so that its range is known.
    top.Integer("maxMergeCol", def.MaxMergeCol, -1, last);
    ReadOutline(top, def, last);
    for (std::size_t i = 0; i < def.Columns.size(); ++i) {
        const qor::ColumnDef& c = def.Columns[i];
        if (c.SubTotalType > 0 && (c.SubTotalCol < 0 || c.SubTotalCol > last))
            Fail("columns[" + std::to_string(i) + "].subTotalCol",
                 c.SubTotalCol < 0 ? "missing (subTotalType needs the index of the group column)"
                                   : std::to_string(c.SubTotalCol) +
                                         " is not a column index (0 to " + std::to_string(last) +
                                         ")");
    }
    return def;
}

Definition LoadDefinition(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path + ": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    return ParseDefinition(bytes.toStdString(), QFileInfo(file).absolutePath().toStdString());
}

}  // namespace qortool
