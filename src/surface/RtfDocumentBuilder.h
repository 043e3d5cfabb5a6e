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

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "surface/RtfCodePages.h"
#include "surface/RtfReader.h"

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
};

// The state text is read in: its formats, and whether it reaches the document at all
// (false inside tables, skipped destinations and groups nested too deep).
struct TextState {
    const CharState& ch;
    const ParaState& para;
    bool inText;
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
    void DefineFont(int number, std::string_view name, int codePage);
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
    void EndParagraph(const TextState& state);
    // \page: ends a paragraph with text, and puts the next paragraph on a new page.
    void PageBreak(const TextState& state);
    // The document, with the last paragraph's format set; the builder is spent.
    std::unique_ptr<QTextDocument> Finish(const TextState& state);

private:
    int CurrentCodePage(const CharState& ch) const;
    void FlushBytes(const TextState& state);
    void DropSurrogate();
    void EnsureBlock();
    QTextCharFormat CharFormat(const CharState& ch) const;
    QTextBlockFormat BlockFormat(const ParaState& pa) const;

    struct FontEntry {
        QString name;
        int codePage = 0;  // 0: the document's
    };

    const RtfReadOptions& options_;
    RtfWarnings& warnings_;
    std::unique_ptr<QTextDocument> doc_;
    QTextCursor cursor_;

    int docCodePage_ = kDefaultCodePage;
    int deff_ = 0;
    std::map<int, FontEntry> fonts_;
    std::vector<QColor> colors_;
    CodePageDecoders decoders_;

    std::string bytes_;  // undecoded text bytes of the current run
    QString pending_;    // decoded text of the current run
    char16_t highSurrogate_ = 0;
    bool needBlock_ = false;
    bool blockBreak_ = false;
    bool pageBreakNext_ = false;
    std::optional<ParaState> lastTextPara_;
};

}  // namespace qor::rtf
