#include "surface/RtfReader.h"

#include <QColor>
#include <QFont>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace qor {
namespace {

// What a control word does. One row per word in kKeywords below.
enum class Kw {
    // document and tables
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FontTbl, ColorTbl, FCharset, Cpg, Red, Green, Blue,
    Uc, U, Bin,
    // a destination whose content is never shown
    SkipDest,
    // character formatting
    Plain, F, Fs, B, I, Ul, UlNone, Strike, Cf, V,
    // paragraph formatting
    Pard, Ql, Qr, Qc, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, Tqdec,
    // breaks
    Par, Line, Tab, Page, Cell,
    // characters
    Char,
    // known, without visible effect here
    Ignore,
};

struct Keyword {
    std::string_view name;
    Kw kw;
    char16_t ch = 0;  // for Kw::Char
};

// Sorted by name for the binary search in FindKeyword.
constexpr Keyword kKeywords[] = {
    {"aenddoc", Kw::Ignore}, {"af", Kw::Ignore}, {"afs", Kw::Ignore},
    {"aftncn", Kw::SkipDest}, {"aftnsep", Kw::SkipDest}, {"aftnsepc", Kw::SkipDest},
    {"alang", Kw::Ignore}, {"annotation", Kw::SkipDest}, {"ansi", Kw::Ansi},
    {"ansicpg", Kw::AnsiCpg}, {"atnauthor", Kw::SkipDest}, {"atndate", Kw::SkipDest},
    {"atnid", Kw::SkipDest}, {"atnref", Kw::SkipDest}, {"author", Kw::SkipDest},
    {"b", Kw::B}, {"background", Kw::SkipDest}, {"bin", Kw::Bin},
    {"bkmkend", Kw::SkipDest}, {"bkmkstart", Kw::SkipDest}, {"blue", Kw::Blue},
    {"bullet", Kw::Char, u'\u2022'}, {"cell", Kw::Cell}, {"cf", Kw::Cf},
    {"colortbl", Kw::ColorTbl}, {"comment", Kw::SkipDest}, {"cpg", Kw::Cpg},
    {"datafield", Kw::SkipDest}, {"dbch", Kw::Ignore}, {"deff", Kw::Deff},
    {"deflang", Kw::Ignore}, {"deflangfe", Kw::Ignore}, {"do", Kw::SkipDest},
    {"doccomm", Kw::SkipDest}, {"emdash", Kw::Char, u'\u2014'}, {"emspace", Kw::Char, u'\u2003'},
    {"endash", Kw::Char, u'\u2013'}, {"enspace", Kw::Char, u'\u2002'}, {"f", Kw::F},
    {"falt", Kw::SkipDest}, {"fbidi", Kw::Ignore}, {"fcharset", Kw::FCharset},
    {"fdecor", Kw::Ignore}, {"fi", Kw::Fi}, {"field", Kw::Ignore}, {"fldinst", Kw::SkipDest}, {"fldrslt", Kw::Ignore},
    {"fmodern", Kw::Ignore}, {"fnil", Kw::Ignore}, {"fonttbl", Kw::FontTbl},
    {"footer", Kw::SkipDest}, {"footerf", Kw::SkipDest}, {"footerl", Kw::SkipDest},
    {"footerr", Kw::SkipDest}, {"footnote", Kw::SkipDest}, {"fprq", Kw::Ignore},
    {"froman", Kw::Ignore}, {"fs", Kw::Fs}, {"fscript", Kw::Ignore},
    {"fswiss", Kw::Ignore}, {"ftech", Kw::Ignore}, {"ftncn", Kw::SkipDest},
    {"ftnsep", Kw::SkipDest}, {"ftnsepc", Kw::SkipDest}, {"generator", Kw::SkipDest},
    {"green", Kw::Green}, {"header", Kw::SkipDest}, {"headerf", Kw::SkipDest},
    {"headerl", Kw::SkipDest}, {"headerr", Kw::SkipDest}, {"hich", Kw::Ignore},
    {"i", Kw::I}, {"info", Kw::SkipDest}, {"keep", Kw::Ignore}, {"keepn", Kw::Ignore},
    {"keywords", Kw::SkipDest}, {"lang", Kw::Ignore}, {"langfe", Kw::Ignore},
    {"langfenp", Kw::Ignore}, {"langnp", Kw::Ignore}, {"latentstyles", Kw::SkipDest},
    {"ldblquote", Kw::Char, u'\u201C'}, {"li", Kw::Li}, {"lin", Kw::Li},
    {"line", Kw::Line}, {"listoverridetable", Kw::SkipDest}, {"listtable", Kw::SkipDest},
    {"loch", Kw::Ignore}, {"lquote", Kw::Char, u'\u2018'}, {"ltrch", Kw::Ignore},
    {"ltrmark", Kw::Char, u'\u200E'}, {"ltrpar", Kw::Ignore}, {"mac", Kw::Mac},
    {"margb", Kw::Ignore}, {"margl", Kw::Ignore}, {"margr", Kw::Ignore},
    {"margt", Kw::Ignore}, {"nestcell", Kw::Cell}, {"nestrow", Kw::Par},
    {"nonshppict", Kw::SkipDest}, {"nouicompat", Kw::Ignore}, {"nowidctlpar", Kw::Ignore},
    {"objclass", Kw::SkipDest}, {"objdata", Kw::SkipDest}, {"objname", Kw::SkipDest},
    {"operator", Kw::SkipDest}, {"page", Kw::Page}, {"paperh", Kw::Ignore},
    {"paperw", Kw::Ignore}, {"par", Kw::Par}, {"pard", Kw::Pard}, {"pc", Kw::Pc},
    {"pca", Kw::Pca}, {"pgdsctbl", Kw::SkipDest}, {"pict", Kw::SkipDest},
    {"plain", Kw::Plain}, {"pn", Kw::SkipDest}, {"private", Kw::SkipDest},
    {"qc", Kw::Qc}, {"qd", Kw::Qj}, {"qj", Kw::Qj}, {"ql", Kw::Ql}, {"qmspace", Kw::Char, u'\u2005'},
    {"qr", Kw::Qr}, {"rdblquote", Kw::Char, u'\u201D'}, {"red", Kw::Red},
    {"revtbl", Kw::SkipDest}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"row", Kw::Par},
    {"rquote", Kw::Char, u'\u2019'}, {"rsidtbl", Kw::SkipDest}, {"rtf", Kw::Rtf},
    {"rtlch", Kw::Ignore}, {"rtlmark", Kw::Char, u'\u200F'}, {"rtlpar", Kw::Ignore},
    {"s", Kw::Ignore}, {"sa", Kw::Sa}, {"sb", Kw::Sb}, {"sect", Kw::Par},
    {"sectd", Kw::Ignore}, {"shpinst", Kw::SkipDest}, {"shppict", Kw::SkipDest},
    {"sl", Kw::Sl}, {"slmult", Kw::SlMult}, {"strike", Kw::Strike}, {"striked", Kw::Strike},
    {"stylesheet", Kw::SkipDest}, {"subject", Kw::SkipDest}, {"tab", Kw::Tab},
    {"tc", Kw::SkipDest}, {"template", Kw::SkipDest}, {"themedata", Kw::SkipDest},
    {"title", Kw::SkipDest}, {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec}, {"tqr", Kw::Tqr},
    {"tx", Kw::Tx}, {"txe", Kw::SkipDest}, {"u", Kw::U}, {"uc", Kw::Uc}, {"ul", Kw::Ul},
    {"uld", Kw::Ul}, {"uldash", Kw::Ul}, {"uldashd", Kw::Ul}, {"uldashdd", Kw::Ul},
    {"uldb", Kw::Ul}, {"ulhwave", Kw::Ul}, {"ulnone", Kw::UlNone}, {"ulth", Kw::Ul},
    {"ulw", Kw::Ul}, {"ulwave", Kw::Ul}, {"userprops", Kw::SkipDest}, {"v", Kw::V},
    {"viewkind", Kw::Ignore}, {"widctlpar", Kw::Ignore}, {"xe", Kw::SkipDest},
    {"xmlnstbl", Kw::SkipDest}, {"zwbo", Kw::Char, u'\u200B'}, {"zwj", Kw::Char, u'\u200D'},
    {"zwnbo", Kw::Char, u'\u2060'}, {"zwnj", Kw::Char, u'\u200C'},
};

static_assert(std::ranges::is_sorted(kKeywords, {}, &Keyword::name));

const Keyword* FindKeyword(std::string_view name) {
    auto it = std::ranges::lower_bound(kKeywords, name, {}, &Keyword::name);
    return it != std::end(kKeywords) && it->name == name ? &*it : nullptr;
}

// Code page of a font's \fcharset; 0 means "the document's code page".
int CodePageOfCharset(int charset) {
    static constexpr std::array<std::pair<int, int>, 18> kTable{{
        {77, 10000}, {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
        {204, 1251}, {222, 874}, {238, 1250}, {254, 437}, {255, 850}, {0, 0}}};
    for (const auto& [cs, cp] : kTable)
        if (cs == charset) return cp;
    return 0;
}

// Decoder name of the code pages we read; nullptr for the rest.
const char* CodePageName(int cp) {
    switch (cp) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "windows-932";
    case 936: return "windows-936";
    case 949: return "windows-949";
    case 950: return "windows-950";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1252: return "windows-1252";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

enum class Dest { Text, FontTable, ColorTable, Skip };

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

struct Group {
    CharState ch;
    ParaState para;
    int uc = 1;
    Dest dest = Dest::Text;
};

struct FontEntry {
    QString name;
    int codePage = 0;  // 0: the document's
};

constexpr int kMaxTwips = 31680;  // 22 inches: the largest page RTF writers produce

int Clamp(int64_t v, int lo, int hi) { return int(std::clamp<int64_t>(v, lo, hi)); }

class Parser {
public:
    Parser(std::string_view in, const RtfReadOptions& options)
        : in_(in), options_(options), doc_(std::make_unique<QTextDocument>()) {
        doc_->setUndoRedoEnabled(false);
        cursor_ = QTextCursor(doc_.get());
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
        Finish();
        return {std::move(doc_), std::move(warnings_)};
    }

private:
    Group& Top() { return stack_.back(); }
    bool Skipping() const { return overDepth_ > 0 || stack_.back().dest == Dest::Skip; }
    int DefaultHalfPoints() const {
        return Clamp(int64_t(options_.defaultPointSize * 2 + 0.5), 2, 3276);
    }

    void Warn(const std::string& text) {
        if (warnings_.size() < size_t(kRtfMaxWarnings) && warned_.insert(text).second)
            warnings_.push_back(text);
    }

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

        const Keyword* kw = FindKeyword(name);
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
            if (fontCodePage_ == 0) fontCodePage_ = CodePageOfCharset(param);
            break;
        case Kw::Cpg: fontCodePage_ = CodePageName(param) ? param : fontCodePage_; break;
        case Kw::Uc: Top().uc = Clamp(hasParam ? param : 1, 0, 10); break;
        case Kw::U: skipChars_ = Top().uc; break;
        case Kw::SkipDest: Top().dest = Dest::Skip; break;
        default: break;
        }
    }

    void FinishFont() {
        if (fontNum_ >= 0 && !fontName_.empty()) {
            if (fonts_.size() < size_t(kRtfMaxTableEntries) || fonts_.count(fontNum_)) {
                QString name = Decoder(fontCodePage_ ? fontCodePage_ : docCodePage_)
                                   .decode(QByteArrayView(fontName_.data(), qsizetype(fontName_.size())));
                fonts_[fontNum_] = {name.trimmed(), fontCodePage_};
            } else {
                Warn("font table longer than " + std::to_string(kRtfMaxTableEntries) + " entries cut");
            }
        }
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
        if (colors_.size() >= size_t(kRtfMaxTableEntries)) {
            Warn("colour table longer than " + std::to_string(kRtfMaxTableEntries) + " entries cut");
        } else if (red_ < 0 && green_ < 0 && blue_ < 0) {
            colors_.push_back(QColor());  // the automatic colour
        } else {
            colors_.push_back(QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        }
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
                bytes_.push_back(char(c));
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

    void TextWord(const Keyword& kw, bool hasParam, int param) {
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
        case Kw::Ansi: docCodePage_ = 1252; break;
        case Kw::Mac: docCodePage_ = 10000; break;
        case Kw::Pc: docCodePage_ = 437; break;
        case Kw::Pca: docCodePage_ = 850; break;
        case Kw::AnsiCpg:
            if (CodePageName(param)) {
                docCodePage_ = param;
            } else {
                Warn("code page " + std::to_string(param) + " unknown, read as 1252");
                docCodePage_ = 1252;
            }
            break;
        case Kw::Deff: deff_ = param; break;
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
            AppendUnit(v >= 0 && v <= 0xFFFF ? char16_t(v) : u'\uFFFD');
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
        case Kw::Page:
            // A page break inside a paragraph ends it; at a paragraph's start it only
            // moves that paragraph to the next page.
            if (!needBlock_ && cursor_.block().length() > 1) EndParagraph();
            if (needBlock_) {
                pageBreakNext_ = true;
            } else {
                blockBreak_ = true;
            }
            break;
        case Kw::Line: Append(u'\u2028'); break;
        case Kw::Tab:
        case Kw::Cell: Append(u'\t'); break;
        case Kw::Char: Append(kw.ch); break;
        }
    }

    // Text of the current run, in the current format. Control characters never get in.
    void Append(char16_t u) {
        FlushBytes();
        AppendUnit(u);
    }

    void AppendUnit(char16_t u) {
        if (Top().ch.hidden || Top().dest != Dest::Text || Skipping()) return;
        if (QChar::isHighSurrogate(u)) {
            DropSurrogate();
            highSurrogate_ = u;
            return;
        }
        if (QChar::isLowSurrogate(u)) {
            if (highSurrogate_) {
                pending_.append(QChar(highSurrogate_));
                pending_.append(QChar(u));
                highSurrogate_ = 0;
            } else {
                pending_.append(QChar(u'\uFFFD'));
                Warn("unpaired surrogate replaced");
            }
            return;
        }
        DropSurrogate();
        if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u < 0xA0) || u == 0xFFFE || u == 0xFFFF) return;
        pending_.append(QChar(u));
    }

    void DropSurrogate() {
        if (!highSurrogate_) return;
        pending_.append(QChar(u'\uFFFD'));
        highSurrogate_ = 0;
        Warn("unpaired surrogate replaced");
    }

    QStringDecoder& Decoder(int cp) {
        if (!CodePageName(cp)) cp = 1252;
        auto it = decoders_.find(cp);
        if (it == decoders_.end())
            it = decoders_.emplace(cp, QStringDecoder(CodePageName(cp), QStringConverter::Flag::Stateless)).first;
        return it->second;
    }

    int CurrentCodePage() const {
        const int f = stack_.back().ch.font >= 0 ? stack_.back().ch.font : deff_;
        auto it = fonts_.find(f);
        return it != fonts_.end() && it->second.codePage ? it->second.codePage : docCodePage_;
    }

    void FlushBytes() {
        if (bytes_.empty()) return;
        QStringDecoder& decoder = Decoder(CurrentCodePage());
        if (!decoder.isValid()) {
            bytes_.clear();
            return;
        }
        const QString text = decoder.decode(QByteArrayView(bytes_.data(), qsizetype(bytes_.size())));
        bytes_.clear();
        for (QChar c : text) AppendUnit(c.unicode());
    }

    void FlushRun() {
        FlushBytes();
        if (pending_.isEmpty()) return;
        EnsureBlock();
        cursor_.insertText(pending_, CharFormat());
        pending_.clear();
        // A last paragraph without \par keeps the formatting its text was written in, even
        // when the groups around it have closed since.
        lastTextPara_ = stack_.back().para;
    }

    void EnsureBlock() {
        if (!needBlock_) return;
        cursor_.insertBlock();
        needBlock_ = false;
        blockBreak_ = pageBreakNext_;
        pageBreakNext_ = false;
    }

    void EndParagraph() {
        FlushRun();
        EnsureBlock();
        cursor_.setBlockFormat(BlockFormat(stack_.back().para));
        needBlock_ = true;
        lastTextPara_.reset();
    }

    void Finish() {
        FlushRun();
        DropSurrogate();
        FlushRun();
        if (!needBlock_) cursor_.setBlockFormat(BlockFormat(lastTextPara_ ? *lastTextPara_ : stack_.back().para));
        if (stack_.size() > 1 || overDepth_ > 0)
            Warn("input ends inside " + std::to_string(stack_.size() - 1 + size_t(overDepth_)) + " open group(s)");
    }

    QTextCharFormat CharFormat() const {
        const CharState& ch = stack_.back().ch;
        QString family;
        auto it = fonts_.find(ch.font >= 0 ? ch.font : deff_);
        if (it == fonts_.end() && ch.font >= 0) it = fonts_.find(deff_);
        if (it != fonts_.end()) family = it->second.name;
        if (family.isEmpty()) family = options_.defaultFamily;
        QTextCharFormat f;
        f.setFontFamilies(QStringList{family});
        f.setFontPointSize(ch.halfPoints / 2.0);
        f.setFontWeight(ch.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(ch.italic);
        f.setFontUnderline(ch.underline);
        f.setFontStrikeOut(ch.strike);
        if (ch.color > 0 && size_t(ch.color) < colors_.size() && colors_[size_t(ch.color)].isValid())
            f.setForeground(colors_[size_t(ch.color)]);
        return f;
    }

    QTextBlockFormat BlockFormat(const ParaState& pa) const {
        QTextBlockFormat b;
        b.setAlignment(pa.align);
        b.setLeftMargin(pa.li);
        b.setRightMargin(pa.ri);
        b.setTextIndent(pa.fi);
        b.setTopMargin(pa.sb);
        b.setBottomMargin(pa.sa);
        if (pa.sl > 0 && pa.slMult) {
            b.setLineHeight(pa.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        } else if (pa.sl > 0) {
            b.setLineHeight(pa.sl, QTextBlockFormat::MinimumHeight);
        } else if (pa.sl < 0) {
            b.setLineHeight(-pa.sl, QTextBlockFormat::FixedHeight);
        }
        b.setTabPositions(pa.tabs);
        if (blockBreak_) b.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        return b;
    }

    std::string_view in_;
    size_t pos_ = 0;
    const RtfReadOptions& options_;
    std::unique_ptr<QTextDocument> doc_;
    QTextCursor cursor_;
    std::vector<Group> stack_;
    int overDepth_ = 0;
    bool ignorablePending_ = false;
    bool atGroupStart_ = false;
    int skipChars_ = 0;
    char16_t highSurrogate_ = 0;

    int docCodePage_ = 1252;
    int deff_ = 0;
    std::map<int, FontEntry> fonts_;
    std::vector<QColor> colors_;
    std::map<int, QStringDecoder> decoders_;
    int fontNum_ = -1;
    int fontCodePage_ = 0;
    std::string fontName_;
    int red_ = -1, green_ = -1, blue_ = -1;

    std::string bytes_;  // undecoded text bytes of the current run
    QString pending_;    // decoded text of the current run
    bool needBlock_ = false;
    bool blockBreak_ = false;
    bool pageBreakNext_ = false;
    std::optional<ParaState> lastTextPara_;

    std::vector<std::string> warnings_;
    std::set<std::string> warned_;
};

}  // namespace

RtfReadResult ReadRtf(std::string_view rtf, const RtfReadOptions& options) {
    return Parser(rtf, options).Run();
}

}  // namespace qor
