// The RTF parser: groups, control words and destinations. What it reads goes to the
// document builder; the control words come from the keyword table.
#include "surface/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "surface/RtfCodePages.h"
#include "surface/RtfDocumentBuilder.h"
#include "surface/RtfKeywords.h"

namespace qor {
namespace {

using rtf::CharState;
using rtf::Kw;
using rtf::ParaState;

enum class Dest { Text, FontTable, ColorTable, Skip };

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
        return {top.ch, top.para, top.dest == Dest::Text && !Skipping()};
    }
    void FlushRun() { builder_.FlushRun(State()); }
    void Append(char16_t u) { builder_.Append(u, State()); }
    void EndParagraph() { builder_.EndParagraph(State()); }
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
        stack_.pop_back();
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
        if (kw && kw->kw == Kw::Bin) {
            // Binary data: skipped unseen, whatever it contains.
            const size_t n = std::min<size_t>(hasParam && param > 0 ? size_t(param) : 0, in_.size() - pos_);
            pos_ += n;
            if (!Skipping()) Warn("binary data skipped");
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
            if (!Skipping() && !kw) Warn("ignorable destination \\*\\" + std::string(name) + " skipped");
            Top().dest = Dest::Skip;
            return;
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
        switch (Top().dest) {
        case Dest::FontTable: FontTableWord(kw->kw, hasParam, param); return;
        case Dest::ColorTable: ColorTableWord(kw->kw, param); return;
        case Dest::Text: TextWord(*kw, hasParam, param); return;
        case Dest::Skip: return;
        }
    }

    // ---- tables ----

    void FontTableWord(Kw kw, bool hasParam, int param) {
        switch (kw) {
        case Kw::F:
            FinishFont();
            fontNum_ = hasParam ? param : -1;
            fontCodePage_ = 0;
            break;
        case Kw::FCharset:
            if (fontCodePage_ == 0) fontCodePage_ = rtf::CodePageOfCharset(param);
            break;
        case Kw::Cpg: fontCodePage_ = rtf::CodePageName(param) ? param : fontCodePage_; break;
        case Kw::Uc: Top().uc = Clamp(hasParam ? param : 1, 0, 10); break;
        case Kw::U: skipChars_ = Top().uc; break;
        case Kw::SkipDest: Top().dest = Dest::Skip; break;
        default: break;
        }
    }

    void FinishFont() {
        if (fontNum_ >= 0 && !fontName_.empty()) builder_.DefineFont(fontNum_, fontName_, fontCodePage_);
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
        case Dest::Skip: break;
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
        case Kw::SkipDest: Top().dest = Dest::Skip; break;
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
        case Kw::Tab:
        case Kw::Cell: Append(u'\t'); break;
        case Kw::Char: Append(kw.ch); break;
        }
    }

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
    std::string fontName_;
    int red_ = -1, green_ = -1, blue_ = -1;
};

}  // namespace

RtfReadResult ReadRtf(std::string_view rtf, const RtfReadOptions& options) {
    return Parser(rtf, options).Run();
}

}  // namespace qor
