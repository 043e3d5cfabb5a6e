// Lists of RTF: the list table (\listtable), its overrides (\listoverridetable, \ls), the
// older paragraph numbering (\pn), and the numbering they give paragraph after paragraph.
#pragma once

#include <QString>
#include <QTextListFormat>

#include <array>
#include <map>
#include <optional>
#include <vector>

#include "surface/RtfKeywords.h"

namespace qor::rtf {

// The marker of one list paragraph.
struct ListMarker {
    QString text;  // what is drawn, separator included ("1.\t", "\u2022\t")
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int list = 0;  // the paragraphs of one list level and numbering run share this key
    int level = 0;
};

// The older form: numbering of one paragraph by \pn and its \pntxtb / \pntxta texts.
struct PnDef {
    bool on = false;
    bool bullet = false;
    int format = 0;  // as \levelnfc: 0 decimal, 1 I, 2 i, 3 A, 4 a
    int start = 1;
    QString before, after;
};

// Number `n` in the RTF number format `nfc` (decimal, roman, letters; bullets and "none"
// give no text).
QString FormatListNumber(int n, int nfc);

class ListTable {
public:
    // ---- reading the tables ----
    void BeginList();
    void BeginLevel();
    // \listid inside a \list or a \listoverride; \ls inside a \listoverride.
    void ListId(int id, bool inOverride);
    void OverrideLs(int ls);
    void BeginOverride();
    // \levelnfc \levelstartat \levelfollow \levelnorestart \levellegal of the current level.
    void LevelWord(Kw kw, int param, bool hasParam);
    // The \leveltext of the current level: a length, then text in which characters 0-8
    // stand for the numbers of those levels.
    void LevelText(const QString& text);

    // ---- numbering ----
    // The marker of the next paragraph of list override `ls` at `level`; nothing when the
    // list is not defined or the level is outside 0..kRtfMaxListLevel.
    std::optional<ListMarker> Next(int ls, int level);
    // The marker of a paragraph numbered the older way; consecutive numbered paragraphs
    // count up, any other paragraph restarts the count.
    std::optional<ListMarker> NextPn(const PnDef& pn);
    // A paragraph outside any list.
    void Plain() { pnCount_ = 0; }

private:
    struct Level {
        int nfc = 0, start = 1, follow = 0;
        bool noRestart = false, legal = false, hasText = false;
        QString text;
    };
    struct List {
        int id = 0;
        std::array<Level, 9> levels{};
        int defined = 0;
    };
    struct Counters {
        std::array<int, 9> value{};
        std::array<bool, 9> running{};
        std::array<int, 9> run{};
    };
    Level* CurrentLevel();

    std::vector<List> lists_;
    std::map<int, int> overrides_;  // \ls -> \listid
    int overrideId_ = 0;
    bool inLevel_ = false;
    std::map<int, Counters> counters_;  // by \listid
    int runs_ = 0;
    int pnCount_ = 0;
    int pnRun_ = 0;
};

}  // namespace qor::rtf
