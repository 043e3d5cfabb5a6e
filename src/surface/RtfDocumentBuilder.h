// Builds the QTextDocument of an RTF read: runs of text in their character format,
// paragraphs in their block format, the font and colour tables that formats refer to.
// The parser tells it what it reads; the builder knows nothing of RTF syntax.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "surface/RtfCodePages.h"
#include "surface/RtfLists.h"
#include "surface/RtfReader.h"
#include "surface/RtfTableDefs.h"

class QTextList;
class QTextTable;

namespace qor::rtf {

struct CharState {
    int font = -1;  // -1: the default font (\deff)
    int halfPoints = 24;
    int color = 0;  // 0: automatic
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
};

struct ParaState {
    Qt::Alignment align = Qt::AlignLeft;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slMult = false;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    QList<QTextOption::Tab> tabs;
    bool inTable = false;  // \intbl
    int level = 1;         // \itap: the table nesting level of an \intbl paragraph
    int ls = 0, ilvl = 0;  // list override and level; ls 0: none
    PnDef pn;

    // 0 outside tables, else the nesting level of the table the paragraph is in.
    int TableLevel() const { return inTable ? std::max(level, 1) : 0; }
};

// Where text goes: the document, the list marker being read (\listtext, \pntext), or
// nowhere (skipped destinations, groups nested too deep).
enum class Target { Document, Marker, None };

// The state text is read in: its formats and where it goes.
struct TextState {
    const CharState& ch;
    const ParaState& para;
    Target target;
};

// A picture as \pict describes it; `data` holds its bytes (hex decoded, or \bin).
struct PictureDef {
    int kind = 0;  // 1 PNG, 2 JPEG, 3 a kind that is not drawn, 0 unknown
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    std::string data;
    bool tooLarge = false;
    int nibble = -1;
    void AddHex(char c);
    void AddBytes(std::string_view bytes);
};

// Warnings of one read, in the order first met; each text once, at most kRtfMaxWarnings.
class RtfWarnings {
public:
    void Add(const std::string& text);
    std::vector<std::string> Take() { return std::move(list_); }

private:
    std::vector<std::string> list_;
    std::set<std::string> seen_;
};

class DocumentBuilder {
public:
    DocumentBuilder(const RtfReadOptions& options, RtfWarnings& warnings);

    // ---- document settings and tables ----
    void SetCodePage(int codePage) { docCodePage_ = codePage; }
    void SetDefaultFont(int font) { deff_ = font; }
    // Font `number` named by the raw bytes `name`, in `codePage` (0: the document's).
    void DefineFont(int number, std::string_view name, int codePage, bool symbol = false);
    // The next colour-table entry; all three negative is the automatic colour.
    void DefineColor(int red, int green, int blue);

    // ---- text ----
    // A byte of text in the code page of the current font; decoded when the run ends.
    void AddByte(char c) { bytes_.push_back(c); }
    // A UTF-16 code unit after the pending bytes; Append(u) decodes those first.
    void Append(char16_t u, const TextState& state);
    void AppendUnit(char16_t u, const TextState& state);
    // Ends the current run: its text goes into the document in the current format.
    void FlushRun(const TextState& state);
    // Ends a paragraph; `marker` is its list marker.
    void EndParagraph(const TextState& state, const std::optional<ListMarker>& marker = std::nullopt);
    // \page: ends a paragraph with text, and puts the next paragraph on a new page.
    void PageBreak(const TextState& state);

    // ---- list markers (\listtext, \pntext) ----
    void BeginMarker() { marker_.clear(); }
    const QString& Marker() const { return marker_; }

    // ---- tables ----
    // \cell (level 1) or \nestcell (`level` 2 and up): ends the current cell of that table.
    void EndCell(int level, const TextState& state);
    // \row or \nestrow: the row of the table at `level` is complete, as `def` describes it.
    void EndRow(int level, const RowDef& def, const TextState& state);

    // ---- pictures ----
    void AddPicture(const PictureDef& picture, const TextState& state);
    // The document, with the last paragraph's format set; the builder is spent.
    std::unique_ptr<QTextDocument> Finish(const TextState& state);

private:
    // A text flow: the document itself, or a cell being read (its own small document, moved
    // into the table when its row is complete).
    struct Flow {
        explicit Flow(std::unique_ptr<QTextDocument> d);
        std::unique_ptr<QTextDocument> doc;
        QTextCursor cursor;
        bool needBlock = false;
        bool blockBreak = false;
        bool pageBreakNext = false;
        std::optional<ParaState> lastTextPara;
        std::map<int, QTextList*> lists;  // by ListMarker::list
    };
    // A table being read at one nesting level.
    struct OpenTable {
        QTextTable* table = nullptr;  // in the flow around it; null until its first row
        std::vector<int> grid;        // column edges, twips
        int headerRows = 0;
        bool headerOpen = true;
        std::vector<std::unique_ptr<Flow>> cells;  // of the row being read
        bool cellOpen = false;
    };

    int CurrentCodePage(const CharState& ch) const;
    void FlushBytes(const TextState& state);
    void DropSurrogate();
    void EnsureBlock(Flow& flow);
    // The flow text of `para` goes to, opening and closing tables as its level says; null
    // for text of tables nested too deep.
    Flow* Route(const ParaState& para);
    Flow& ParentOf(size_t level);
    void CloseTables(size_t keep);
    void CommitRow(OpenTable& t, const RowDef& def);
    void InsertTable(OpenTable& t, Flow& parent);
    void MoveCellContent(Flow& cell, const class QTextTableCell& target);
    void FinishFlow(Flow& flow, const ParaState& para);
    QTextCharFormat CharFormat(const CharState& ch) const;
    QTextBlockFormat BlockFormat(const Flow& flow, const ParaState& pa) const;
    QColor ColorAt(int index, const QColor& automatic) const;
    QString MarkerText(const CharState& ch, QString text) const;

    struct FontEntry {
        QString name;
        int codePage = 0;  // 0: the document's
        bool symbol = false;
    };

    const RtfReadOptions& options_;
    RtfWarnings& warnings_;
    Flow main_;
    std::vector<OpenTable> tables_;
    int pictures_ = 0;
    QString marker_;

    int docCodePage_ = kDefaultCodePage;
    int deff_ = 0;
    std::map<int, FontEntry> fonts_;
    std::vector<QColor> colors_;
    CodePageDecoders decoders_;

    std::string bytes_;  // undecoded text bytes of the current run
    QString pending_;    // decoded text of the current run
    char16_t highSurrogate_ = 0;
};

}  // namespace qor::rtf
