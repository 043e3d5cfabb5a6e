// The RTF parser: groups, control words and destinations. What it reads goes to the
// document builder; the control words come from the keyword table.
#include "surface/RtfReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "surface/RtfCodePages.h"
#include "surface/RtfDocumentBuilder.h"
#include "surface/RtfKeywords.h"
#include "surface/RtfLists.h"
#include "surface/RtfTableDefs.h"

namespace qor {
namespace {

using rtf::CharState;
using rtf::Kw;
using rtf::ParaState;

// What the text and control words of a group describe. Capture collects the text of a list
// level (\leveltext) or of an older list number (\pntxtb, \pntxta); Marker is the list
// marker a writer put before a paragraph (\listtext, \pntext).
enum class Dest { Text, FontTable, ColorTable, Skip, ListTable, ListOverrides, Capture, Marker, Pn, Picture };
enum class Capture { LevelText, PnBefore, PnAfter };

struct Group {
    CharState ch;
    ParaState para;
    int uc = 1;
    Dest dest = Dest::Text;
};

constexpr int kMaxTwips = 31680;  // 22 inches: the largest page RTF writers produce

int Clamp(int64_t v, int lo, int hi) { return int(std::clamp<int64_t>(v, lo, hi)); }

class Parser {
public:
    Parser(std::string_view in, const RtfReadOptions& options)
        : in_(in), options_(options), builder_(options, warnings_) {
        Group base;
        base.ch.halfPoints = DefaultHalfPoints();
        stack_.push_back(base);
    }

    RtfReadResult Run() {
        if (in_.substr(0, 5) != "{\\rtf") Warn("input does not start with {\\rtf");
        while (pos_ < in_.size()) {
            const unsigned char c = in_[pos_++];
            switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': Control(); break;
            case '\r':
            case '\n': break;
            default: TextByte(c); break;
            }
        }
        std::unique_ptr<QTextDocument> document = builder_.Finish(State());
        if (stack_.size() > 1 || overDepth_ > 0)
            Warn("input ends inside " + std::to_string(stack_.size() - 1 + size_t(overDepth_)) + " open group(s)");
        return {std::move(document), warnings_.Take()};
    }

private:
    Group& Top() { return stack_.back(); }
    bool Skipping() const { return overDepth_ > 0 || stack_.back().dest == Dest::Skip; }
    int DefaultHalfPoints() const {
        return Clamp(int64_t(options_.defaultPointSize * 2 + 0.5), 2, 3276);
    }
    // What the builder needs to know of the current group.
    rtf::TextState State() const {
        const Group& top = stack_.back();
        const rtf::Target target = Skipping()                 ? rtf::Target::None
                                   : top.dest == Dest::Text   ? rtf::Target::Document
                                   : top.dest == Dest::Marker ? rtf::Target::Marker
                                                              : rtf::Target::None;
        return {top.ch, top.para, target};
    }
    void FlushRun() { builder_.FlushRun(State()); }
    void Append(char16_t u) { builder_.Append(u, State()); }
    // Ends a paragraph with the list marker its writer meant: the list definition's when
    // there is one (a \listtext beside it only repeats it), else the \listtext or \pntext
    // the writer put there, else the older \pn numbering.
    void EndParagraph() {
        const ParaState& pa = Top().para;
        std::optional<rtf::ListMarker> marker;
        if (pa.ls != 0) {
            marker = lists_.Next(pa.ls, pa.ilvl);
            if (!marker && (pa.ilvl < 0 || pa.ilvl > kRtfMaxListLevel))
                Warn("list levels deeper than " + std::to_string(kRtfMaxListLevel) + " shown without their list");
        }
        if (!marker && hasListText_) {
            marker = pa.pn.on ? lists_.NextPn(pa.pn) : rtf::ListMarker{};
            marker->text = listText_;
        } else if (!marker) {
            marker = lists_.NextPn(pa.pn);
        }
        hasListText_ = false;
        listText_.clear();
        builder_.EndParagraph(State(), marker);
    }
    void Warn(const std::string& text) { warnings_.Add(text); }

    // ---- structure ----

    void OpenGroup() {
        FlushRun();
        skipChars_ = 0;
        if (overDepth_ > 0 || stack_.size() > size_t(kRtfMaxDepth)) {
            ++overDepth_;
            Warn("groups nested deeper than " + std::to_string(kRtfMaxDepth) + " skipped");
            return;
        }
        stack_.push_back(stack_.back());
        ignorablePending_ = false;
        atGroupStart_ = true;
    }

    void CloseGroup() {
        FlushRun();
        skipChars_ = 0;
        ignorablePending_ = false;
        if (overDepth_ > 0) {
            --overDepth_;
            return;
        }
        if (stack_.size() == 1) {
            Warn("unbalanced '}' ignored");
            return;
        }
        if (Top().dest == Dest::FontTable) FinishFont();
        const size_t depth = stack_.size();
        stack_.pop_back();
        // Destinations that hand what they read to the group around them.
        if (depth == pictDepth_) {
            pictDepth_ = 0;
            builder_.AddPicture(pict_, State());
            pict_ = rtf::PictureDef{};
        } else if (depth == captureDepth_) {
            captureDepth_ = 0;
            if (capture_ == Capture::LevelText) lists_.LevelText(captured_);
            if (capture_ == Capture::PnBefore) pn_.before = captured_.left(32);
            if (capture_ == Capture::PnAfter) pn_.after = captured_.left(32);
        } else if (depth == pnDepth_) {
            pnDepth_ = 0;
            Top().para.pn = pn_;
        } else if (depth == markerDepth_) {
            markerDepth_ = 0;
            listText_ = builder_.Marker();
            hasListText_ = true;
        }
    }

    // Starts a destination in the current group that reports to the group around it.
    void Start(Dest dest, size_t& depth) {
        Top().dest = dest;
        depth = stack_.size();
    }

    void Control() {
        if (pos_ >= in_.size()) {
            Warn("input ends inside a control word");
            return;
        }
        const unsigned char c = in_[pos_];
        if (std::isalpha(c)) {
            Word();
            return;
        }
        ++pos_;
        if (c == '\'') {
            HexByte();
            return;
        }
        FlushRun();
        if (c != '*') atGroupStart_ = false;
        if (skipChars_ > 0 && c != '*') {
            --skipChars_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}': TextByte(c, true); break;
        case '~': Append(u'\u00A0'); break;
        case '_': Append(u'\u2011'); break;
        case '-': break;  // optional hyphen: no hyphenation here
        case '*':
            ignorablePending_ = DestinationAllowed();
            if (!ignorablePending_ && !Skipping()) Warn("\\* outside a group's start ignored");
            break;
        case '\r':
        case '\n':
            if (!Skipping() && Top().dest == Dest::Text) EndParagraph();
            break;
        default: break;  // \| \: and the like mark index entries
        }
    }

    void HexByte() {
        auto hex = [](unsigned char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            return -1;
        };
        const int hi = pos_ < in_.size() ? hex(in_[pos_]) : -1;
        const int lo = hi >= 0 && pos_ + 1 < in_.size() ? hex(in_[pos_ + 1]) : -1;
        if (hi < 0 || lo < 0) {
            pos_ += hi >= 0 ? 1 : 0;
            Warn("malformed \\' escape skipped");
            return;
        }
        pos_ += 2;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        TextByte(static_cast<unsigned char>(hi * 16 + lo), true);
    }

    void Word() {
        const size_t start = pos_;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) ++pos_;
        const std::string_view name = in_.substr(start, std::min<size_t>(pos_ - start, 32));
        bool hasParam = false;
        int64_t value = 0;
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && std::isdigit(static_cast<unsigned char>(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
            hasParam = true;
            value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT32_MAX);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        const int param = int(negative ? -value : value);

        const rtf::Keyword* kw = rtf::FindKeyword(name);
        currentCh_ = kw ? kw->ch : 0;
        if (kw && kw->kw == Kw::Bin) {
            // Binary data: skipped unseen, whatever it contains.
            const size_t n = std::min<size_t>(hasParam && param > 0 ? size_t(param) : 0, in_.size() - pos_);
            if (!Skipping() && Top().dest == Dest::Picture) {
                pict_.AddBytes(in_.substr(pos_, n));
            } else if (!Skipping()) {
                Warn("binary data skipped");
            }
            pos_ += n;
            if (skipChars_ > 0) --skipChars_;
            return;
        }
        FlushRun();
        const bool destinationAllowed = DestinationAllowed();
        atGroupStart_ = false;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (ignorablePending_) {
            ignorablePending_ = false;
            if (!kw || !ReadIgnorable(kw->kw)) {
                if (!Skipping() && !kw) Warn("ignorable destination \\*\\" + std::string(name) + " skipped");
                Top().dest = Dest::Skip;
                return;
            }
        }
        if (Skipping()) return;
        if (!kw) {
            Warn("unknown control word \\" + std::string(name) + " skipped");
            return;
        }
        if (!destinationAllowed && (kw->kw == Kw::SkipDest || kw->kw == Kw::FontTbl || kw->kw == Kw::ColorTbl)) {
            Warn("destination \\" + std::string(name) + " outside a group's start ignored");
            return;
        }
        if (kw->kw == Kw::SkipDest) {
            Top().dest = Dest::Skip;
            return;
        }
        switch (Top().dest) {
        case Dest::FontTable: FontTableWord(kw->kw, hasParam, param); return;
        case Dest::ColorTable: ColorTableWord(kw->kw, param); return;
        case Dest::Text: TextWord(*kw, hasParam, param); return;
        case Dest::ListTable:
        case Dest::ListOverrides: ListTableWord(kw->kw, hasParam, param); return;
        case Dest::Pn: PnWord(kw->kw, param); return;
        case Dest::Picture: PictureWord(kw->kw, param); return;
        case Dest::Capture: CaptureWord(kw->kw, hasParam, param); return;
        case Dest::Marker: MarkerWord(*kw, hasParam, param); return;
        case Dest::Skip: return;
        }
    }

    // Ignorable destinations this reader does read.
    static bool ReadIgnorable(Kw kw) {
        switch (kw) {
        case Kw::ListTable:
        case Kw::ListOverrideTable:
        case Kw::ListText:
        case Kw::Pn:
        case Kw::Pict:
        case Kw::ShpPict:
        case Kw::NestTableProps: return true;
        default: return false;
        }
    }

    // ---- lists ----

    void ListTableWord(Kw kw, bool hasParam, int param) {
        const bool overrides = Top().dest == Dest::ListOverrides;
        switch (kw) {
        case Kw::List: lists_.BeginList(); break;
        case Kw::ListLevel: lists_.BeginLevel(); break;
        case Kw::ListOverride: lists_.BeginOverride(); break;
        case Kw::ListId: lists_.ListId(param, overrides); break;
        case Kw::Ls:
            if (overrides) lists_.OverrideLs(param);
            break;
        case Kw::LevelText: StartCapture(Capture::LevelText); break;
        default: lists_.LevelWord(kw, param, hasParam); break;
        }
    }

    void PnWord(Kw kw, int param) {
        switch (kw) {
        case Kw::PnLvlBlt: pn_.on = pn_.bullet = true; break;
        case Kw::PnLvlBody:
            pn_.on = true;
            pn_.bullet = false;
            break;
        case Kw::PnNumberFormat: pn_.format = CurrentCh(); break;
        case Kw::PnStart: pn_.start = Clamp(param, 0, 32767); break;
        case Kw::PnTxtB: StartCapture(Capture::PnBefore); break;
        case Kw::PnTxtA: StartCapture(Capture::PnAfter); break;
        default: break;
        }
    }

    void StartCapture(Capture what) {
        capture_ = what;
        captured_.clear();
        Start(Dest::Capture, captureDepth_);
    }

    void CaptureWord(Kw kw, bool hasParam, int param) {
        if (kw == Kw::Uc) Top().uc = Clamp(hasParam ? param : 1, 0, 10);
        if (kw == Kw::U) {
            if (captured_.size() < 64) captured_ += QChar(char16_t(param < 0 ? param + 65536 : Clamp(param, 0, 0xFFFF)));
            skipChars_ = Top().uc;
        }
    }

    // Inside \listtext and \pntext: characters and their formats only.
    void MarkerWord(const rtf::Keyword& kw, bool hasParam, int param) {
        switch (kw.kw) {
        case Kw::Plain: case Kw::F: case Kw::Fs: case Kw::B: case Kw::I: case Kw::Ul: case Kw::UlNone:
        case Kw::Strike: case Kw::Cf: case Kw::V: case Kw::U: case Kw::Uc: case Kw::Tab: case Kw::Char:
            TextWord(kw, hasParam, param);
            break;
        default: break;
        }
    }

    // ---- pictures ----

    void PictureWord(Kw kw, int param) {
        switch (kw) {
        case Kw::PictKind: pict_.kind = CurrentCh(); break;
        case Kw::PicW: pict_.picw = Clamp(param, 0, kMaxTwips * 100); break;
        case Kw::PicH: pict_.pich = Clamp(param, 0, kMaxTwips * 100); break;
        case Kw::PicWGoal: pict_.goalw = Clamp(param, 0, kMaxTwips); break;
        case Kw::PicHGoal: pict_.goalh = Clamp(param, 0, kMaxTwips); break;
        case Kw::PicScaleX: pict_.scalex = Clamp(param, 1, 1000); break;
        case Kw::PicScaleY: pict_.scaley = Clamp(param, 1, 1000); break;
        default: break;
        }
    }

    // ---- tables ----

    void FontTableWord(Kw kw, bool hasParam, int param) {
        switch (kw) {
        case Kw::F:
            FinishFont();
            fontNum_ = hasParam ? param : -1;
            fontCodePage_ = 0;
            fontSymbol_ = false;
            break;
        case Kw::FCharset:
            if (fontCodePage_ == 0) fontCodePage_ = rtf::CodePageOfCharset(param);
            fontSymbol_ = fontSymbol_ || param == 2;
            break;
        case Kw::Cpg: fontCodePage_ = rtf::CodePageName(param) ? param : fontCodePage_; break;
        case Kw::Uc: Top().uc = Clamp(hasParam ? param : 1, 0, 10); break;
        case Kw::U: skipChars_ = Top().uc; break;
        case Kw::SkipDest: Top().dest = Dest::Skip; break;
        default: break;
        }
    }

    void FinishFont() {
        if (fontNum_ >= 0 && !fontName_.empty()) builder_.DefineFont(fontNum_, fontName_, fontCodePage_, fontSymbol_);
        fontNum_ = -1;
        fontName_.clear();
    }

    void ColorTableWord(Kw kw, int param) {
        switch (kw) {
        case Kw::Red: red_ = Clamp(param, 0, 255); break;
        case Kw::Green: green_ = Clamp(param, 0, 255); break;
        case Kw::Blue: blue_ = Clamp(param, 0, 255); break;
        default: break;
        }
    }

    void FinishColor() {
        builder_.DefineColor(red_, green_, blue_);
        red_ = green_ = blue_ = -1;
    }

    // ---- text ----

    // A destination starts its group; deeper inside the document any position is
    // accepted, but in the document's own group a stray one must not swallow the rest.
    bool DestinationAllowed() const { return atGroupStart_ || stack_.size() > 2; }

    void TextByte(unsigned char c, bool literal = false) {
        if (overDepth_ > 0) return;
        if (c != ' ') atGroupStart_ = false;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        switch (Top().dest) {
        case Dest::Text:
            if (c == '\t') {
                Append(u'\t');
            } else if (c >= 0x20 || literal) {
                builder_.AddByte(char(c));
            }
            break;
        case Dest::FontTable:
            if (c == ';' && !literal) {
                FinishFont();
            } else if (fontName_.size() < size_t(kRtfMaxFontName)) {
                fontName_.push_back(char(c));
            }
            break;
        case Dest::ColorTable:
            if (c == ';') FinishColor();
            break;
        case Dest::Picture: pict_.AddHex(char(c)); break;
        case Dest::Capture:
            // Characters below 9 stand for level numbers; the rest is 1252 text.
            if (captured_.size() < 64)
                captured_ += c == 0x95 || c == 0xB7 ? QChar(u'\u2022') : c == 0xA7 ? QChar(u'\u25AA') : QChar(char16_t(c));
            break;
        case Dest::Marker:
            if (c >= 0x20 || literal) builder_.AddByte(char(c));
            break;
        default: break;
        }
    }

    void TextWord(const rtf::Keyword& kw, bool hasParam, int param) {
        CharState& ch = Top().ch;
        ParaState& pa = Top().para;
        const bool on = !hasParam || param != 0;
        switch (kw.kw) {
        case Kw::Rtf:
        case Kw::Ignore:
        case Kw::Bin:
        case Kw::FCharset:
        case Kw::Cpg:
        case Kw::Red:
        case Kw::Green:
        case Kw::Blue: break;
        case Kw::Ansi: builder_.SetCodePage(1252); break;
        case Kw::Mac: builder_.SetCodePage(10000); break;
        case Kw::Pc: builder_.SetCodePage(437); break;
        case Kw::Pca: builder_.SetCodePage(850); break;
        case Kw::AnsiCpg:
            if (rtf::CodePageName(param)) {
                builder_.SetCodePage(param);
            } else {
                Warn("code page " + std::to_string(param) + " unknown, read as 1252");
                builder_.SetCodePage(1252);
            }
            break;
        case Kw::Deff: builder_.SetDefaultFont(param); break;
        case Kw::FontTbl:
            Top().dest = Dest::FontTable;
            fontNum_ = -1;
            fontName_.clear();
            break;
        case Kw::ColorTbl:
            Top().dest = Dest::ColorTable;
            red_ = green_ = blue_ = -1;
            break;
        case Kw::Uc: Top().uc = Clamp(hasParam ? param : 1, 0, 10); break;
        case Kw::U: {
            const int64_t v = param < 0 ? int64_t(param) + 65536 : param;
            builder_.AppendUnit(v >= 0 && v <= 0xFFFF ? char16_t(v) : u'\uFFFD', State());
            skipChars_ = Top().uc;
            break;
        }
        case Kw::Plain:
            ch = CharState{};
            ch.halfPoints = DefaultHalfPoints();
            break;
        case Kw::F: ch.font = hasParam ? param : -1; break;
        case Kw::Fs: ch.halfPoints = hasParam && param > 0 ? Clamp(param, 2, 3276) : 24; break;
        case Kw::B: ch.bold = on; break;
        case Kw::I: ch.italic = on; break;
        case Kw::Ul: ch.underline = on; break;
        case Kw::UlNone: ch.underline = false; break;
        case Kw::Strike: ch.strike = on; break;
        case Kw::V: ch.hidden = on; break;
        case Kw::Cf: ch.color = Clamp(param, 0, kRtfMaxTableEntries); break;
        case Kw::Pard: pa = ParaState{}; break;
        case Kw::Ql: pa.align = Qt::AlignLeft; break;
        case Kw::Qr: pa.align = Qt::AlignRight; break;
        case Kw::Qc: pa.align = Qt::AlignHCenter; break;
        case Kw::Qj: pa.align = Qt::AlignJustify; break;
        case Kw::Li: pa.li = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Ri: pa.ri = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Fi: pa.fi = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Sb: pa.sb = Clamp(param, 0, kMaxTwips); break;
        case Kw::Sa: pa.sa = Clamp(param, 0, kMaxTwips); break;
        case Kw::Sl: pa.sl = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::SlMult: pa.slMult = on; break;
        case Kw::Tqr: pa.nextTabType = QTextOption::RightTab; break;
        case Kw::Tqc: pa.nextTabType = QTextOption::CenterTab; break;
        case Kw::Tqdec: pa.nextTabType = QTextOption::DelimiterTab; break;
        case Kw::Tx:
            if (pa.tabs.size() < kRtfMaxTabStops) {
                QTextOption::Tab tab(Clamp(param, 0, kMaxTwips), pa.nextTabType,
                                     pa.nextTabType == QTextOption::DelimiterTab ? QChar(u'.') : QChar());
                auto at = std::ranges::lower_bound(pa.tabs, tab.position, {}, &QTextOption::Tab::position);
                if (at == pa.tabs.end() || at->position != tab.position) pa.tabs.insert(at, tab);
            } else {
                Warn("more than " + std::to_string(kRtfMaxTabStops) + " tab stops in a paragraph");
            }
            pa.nextTabType = QTextOption::LeftTab;
            break;
        case Kw::Par: EndParagraph(); break;
        case Kw::Page: builder_.PageBreak(State()); break;
        case Kw::Line: Append(u'\u2028'); break;
        case Kw::Tab: Append(u'\t'); break;
        case Kw::Char: Append(kw.ch); break;
        // tables
        case Kw::Intbl: pa.inTable = on; break;
        case Kw::Itap:
            pa.level = Clamp(param, 0, 1000);
            pa.inTable = pa.level > 0;
            break;
        case Kw::Cell: builder_.EndCell(kw.ch == 2 ? std::max(2, pa.level) : 1, State()); break;
        case Kw::Row: {
            const int level = kw.ch == 2 ? std::max(2, pa.level) : 1;
            builder_.EndRow(level, RowDefAt(level), State());
            break;
        }
        case Kw::NestTableProps:
        case Kw::ShpPict: break;  // their content is read as it comes
        // lists
        case Kw::ListTable: Top().dest = Dest::ListTable; break;
        case Kw::ListOverrideTable: Top().dest = Dest::ListOverrides; break;
        case Kw::Ls: pa.ls = param; break;
        case Kw::Ilvl: pa.ilvl = Clamp(param, -1, 1000); break;
        case Kw::ListText:
            FlushRun();
            builder_.BeginMarker();
            Start(Dest::Marker, markerDepth_);
            break;
        case Kw::Pn:
            pn_ = rtf::PnDef{};
            Start(Dest::Pn, pnDepth_);
            break;
        // pictures
        case Kw::Pict:
            pict_ = rtf::PictureDef{};
            Start(Dest::Picture, pictDepth_);
            break;
        default:
            if (!RowDefAt(pa.inTable ? pa.level : 1).Apply(kw.kw, kw.ch, hasParam, param)) break;
            break;
        }
    }

    // The row definition of tables at `level`.
    rtf::RowDef& RowDefAt(int level) { return rowDefs_[size_t(std::clamp(level, 1, kRtfMaxTableDepth))]; }
    int CurrentCh() const { return currentCh_; }

    std::string_view in_;
    size_t pos_ = 0;
    const RtfReadOptions& options_;
    rtf::RtfWarnings warnings_;
    rtf::DocumentBuilder builder_;
    std::vector<Group> stack_;
    int overDepth_ = 0;
    bool ignorablePending_ = false;
    bool atGroupStart_ = false;
    int skipChars_ = 0;

    // The font-table and colour-table entries being read.
    int fontNum_ = -1;
    int fontCodePage_ = 0;
    bool fontSymbol_ = false;
    std::string fontName_;
    int red_ = -1, green_ = -1, blue_ = -1;

    // Tables, lists and pictures being read. A depth is the size of the group stack where
    // that destination started (0: none open).
    std::array<rtf::RowDef, kRtfMaxTableDepth + 1> rowDefs_;
    rtf::ListTable lists_;
    rtf::PnDef pn_;
    rtf::PictureDef pict_;
    QString captured_, listText_;
    bool hasListText_ = false;
    Capture capture_ = Capture::LevelText;
    size_t pictDepth_ = 0, captureDepth_ = 0, pnDepth_ = 0, markerDepth_ = 0;
    int currentCh_ = 0;  // the `ch` of the control word being handled
};

}  // namespace

RtfReadResult ReadRtf(std::string_view rtf, const RtfReadOptions& options) {
    return Parser(rtf, options).Run();
}

}  // namespace qor
