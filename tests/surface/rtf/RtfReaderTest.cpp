// The RTF reader on real files from word processors, on small hand-written inputs, and on
// thousands of deterministic mutations of real files (so that a crash or a sanitizer finding
// shows up in every test run, not only when fuzzing).
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextFragment>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>

#include "surface/RtfReader.h"
#include "support/Files.h"

namespace qor {
namespace {

std::string SharedFixture(const std::string& name) {
    return test::ReadFile(QOR_SHARED_FIXTURES_DIR "/rtf/" + name);
}

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::vector<QString> BlockTexts(const QTextDocument& doc) {
    std::vector<QString> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) out.push_back(b.text());
    return out;
}

// The format of the fragment whose text is exactly `text`, if there is one.
std::optional<QTextCharFormat> RunFormat(const QTextDocument& doc, const QString& text) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == text) return it.fragment().charFormat();
    return std::nullopt;
}

bool HasWarning(const RtfReadResult& r, const std::string& part) {
    return std::ranges::any_of(r.warnings, [&](const std::string& w) { return w.find(part) != std::string::npos; });
}

// A run's format as tokens: family, size, decorations, colour ("auto" without one).
std::string RunTokens(const QTextCharFormat& f) {
    std::string s = "f=" + f.fontFamilies().toStringList().join(',').toStdString();
    s += "|" + QString::number(f.fontPointSize()).toStdString() + "pt";
    if (f.fontWeight() == QFont::Bold) s += "|bold";
    if (f.fontItalic()) s += "|italic";
    if (f.fontUnderline()) s += "|underline";
    if (f.fontStrikeOut()) s += "|strike";
    s += f.hasProperty(QTextFormat::ForegroundBrush) ? "|" + f.foreground().color().name().toStdString() : "|auto";
    return s;
}

// A paragraph's format as tokens: alignment, margins and line height in twips, tab stops.
std::string ParaTokens(const QTextBlockFormat& f) {
    const Qt::Alignment a = f.alignment();
    std::ostringstream s;
    s << (a == Qt::AlignRight ? "right" : a == Qt::AlignHCenter ? "center" : a == Qt::AlignJustify ? "justify" : "left");
    s << "|li" << f.leftMargin() << "|ri" << f.rightMargin() << "|fi" << f.textIndent() << "|sb" << f.topMargin()
      << "|sa" << f.bottomMargin();
    const char* lh[] = {"", "lh%", "lh=", "lh>", "lh+"};
    if (f.lineHeightType() > 0 && f.lineHeightType() < 5) s << '|' << lh[f.lineHeightType()] << f.lineHeight();
    for (const QTextOption::Tab& t : f.tabPositions())
        s << "|tab" << "LRCD"[int(t.type)] << t.position;
    s << (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore ? "|page" : "|nopage");
    return s.str();
}

// Every token of `expected` is in `actual`; "!token" must not be.
void ExpectTokens(const std::string& actual, const char* expected, const std::string& what) {
    const QStringList have = QString::fromStdString(actual).split(u'|');
    for (const QString& t : QString::fromUtf8(expected).split(u'|')) {
        const bool negated = t.startsWith(u'!');
        EXPECT_NE(have.contains(negated ? t.mid(1) : t), negated) << what << ": " << t.toStdString() << " in " << actual;
    }
}

TEST(RtfReader, RealFilesReadTextExactly) {
    const RtfReadResult memo = ReadRtf(SharedFixture("memo-richedit.rtf"));
    const std::vector<QString> expected = {
        U("Interne nota"), U("Brussel, 3 december 2026"),
        U("Aan: alle medewerkers van de afdeling boekhouding\u2028Van: de directie"),
        U("Onderwerp: nieuwe procedure voor creditnota's en oude herinneringen."),
        U("Vanaf 1 januari worden alle creditnota's centraal goedgekeurd. De procedure is als volgt: de aanvrager "
          "vult het formulier in, de afdelingschef keurt goed, en de boekhouding registreert. Bedragen boven 2.500 € "
          "vereisen een tweede handtekening. Dit geldt ook voor de filialen in Liège, Mons en Liége-Guillemins; café "
          "en déjà vu zijn geen argumenten."),
        U("Code\tOmschrijving\tDrempel"), U("CN-01\tRetour goederen\t500"), U("CN-02\tPrijscorrectie\t2.500"),
        U("Met vriendelijke groeten,"), U("De directie—€ 中"), U(""),
    };
    EXPECT_EQ(BlockTexts(*memo.document), expected);
    EXPECT_FALSE(memo.document->toPlainText().contains(U("zichtbaar")));
    EXPECT_TRUE(HasWarning(memo, "unknowndestination"));

    const RtfReadResult terms = ReadRtf(SharedFixture("voorwaarden-office-suite.rtf"));
    const std::vector<QString> blocks = BlockTexts(*terms.document);
    ASSERT_EQ(blocks.size(), 44u);
    EXPECT_EQ(blocks[4], U("Conditions générales — Les réclamations doivent être introduites dans les huit "
                           "jours après la livraison. À défaut, elles ne sont plus acceptées. Ça va de soi."));
    EXPECT_TRUE(blocks[7].endsWith(U("één, twee, drie; garçon, naïef, Übermaß.")));
    EXPECT_TRUE(blocks[43].startsWith(U("Artikel 40. Lorem ipsum")));
    const QString all = terms.document->toPlainText();
    for (const char* leak : {"Times New Roman", "Normal", "Heading", "LibreOffice", "Default Page Style", "\\", "{", "?"})
        EXPECT_FALSE(all.contains(U(leak))) << leak;
}

// Small inputs: each case is the RTF and the blocks it must give, joined by '|'.
TEST(RtfReader, CharactersEscapesAndDestinations) {
    struct Case {
        const char* name;
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"hex in 1252, euro at 80", R"({\rtf1\ansi \'80 \'e9\'e8 \'df})", "€ éè ß"},
        {"code page 1251", R"({\rtf1\ansi\ansicpg1251 \'c0\'e1\'e2})", "Абв"},
        {"unknown code page reads as 1252", R"({\rtf1\ansicpg1 \'80})", "€"},
        {"mac code page", R"({\rtf1\mac \'8e})", "é"},
        {"font charset 1250", R"({\rtf1{\fonttbl{\f1\fcharset238 Arial CE;}}\f1 \'e8\'9a})", "čš"},
        {"font cpg over the document's", R"({\rtf1\ansicpg1252{\fonttbl{\f1\cpg1251 X;}}\f1 \'c0})", "А"},
        {"double-byte code page", R"({\rtf1{\fonttbl{\f1\fcharset128 MS Mincho;}}\f1 \'82\'a0\'82\'a2})", "あい"},
        {"unicode skips one fallback", R"({\rtf1 \u8364?\u233\'e9!})", "€é!"},
        {"uc0 has no fallback", R"({\rtf1\uc0 \u8364 x})", "€x"},
        {"uc is scoped to its group", R"({\rtf1 {\uc2 \u8364??}\u8364?z})", "€€z"},
        {"negative code unit", R"({\rtf1 \u-1280?})", "ﬀ"},
        {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?})", "😀"},
        {"lone surrogate replaced", R"({\rtf1 a\u-10179?b})", "a\xEF\xBF\xBD" "b"},
        {"special symbols", R"({\rtf1 a\~b\_c\-d\{\}\\})", "a\xC2\xA0" "b\xE2\x80\x91" "cd{}\\"},
        {"named characters", R"({\rtf1 \lquote x\rquote  \emdash \bullet})", "‘x’ —•"},
        {"line and tab", R"({\rtf1 a\line b\tab c})", "a\xE2\x80\xA8" "b\tc"},
        {"par and empty paragraph", R"({\rtf1 a\par\par b\par})", "a||b"},
        {"escaped newline is a paragraph", "{\\rtf1 a\\\nb}", "a|b"},
        {"ignorable destination", R"({\rtf1 a{\*\foo secret {nested} text}b})", "ab"},
        {"known destinations", R"({\rtf1{\info{\title T}}{\stylesheet{\s0 Normal;}}{\header H}a{\pict\pngblip 89504e47}b})", "ab"},
        {"unknown words skipped", R"({\rtf1 \foo a\bar42 b})", "ab"},
        {"hidden text", R"({\rtf1 a{\v hidden}b\v c\v0 d})", "abd"},
        {"binary data", "{\\rtf1 a{\\pict\\bin5 }{\\}b}c}", "ac"},
        {"binary data outside destination", "{\\rtf1 a\\bin3 x}yb}", "ab"},
        {"field result shown, instruction not", R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        {"no header read all the same", R"(plain {\b bold} text)", "plain bold text"},
        {"truncated in a group", R"({\rtf1 abc{\b de)", "abcde"},
        {"truncated hex", R"({\rtf1 abc\'8)", "abc"},
        {"extra closing braces", R"({\rtf1 a}}} b)", "a b"},
        {"stray destination keeps the rest", R"({\rtf1 a \info b})", "a b"},
        {"controls never reach the text", "{\\rtf1 a\x01\x1f\\'07\\'81 b}", "a b"},
        {"no text at all", R"({\rtf1{\fonttbl{\f0 Arial;}}})", ""},
    };
    for (const Case& c : cases) {
        QStringList blocks;
        for (const QString& b : BlockTexts(*ReadRtf(c.rtf).document)) blocks << b;
        EXPECT_EQ(blocks.join(u'|'), U(c.text)) << c.name;
    }
}

// Runs and paragraphs: the source (a fixture's name or RTF text), the text of a run or of
// a paragraph, and the format tokens it must have ("!token": must not have).
TEST(RtfReader, RunAndParagraphFormats) {
    const char* groups =
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green0\blue0;}\f0\fs20 )"
        R"(\qc {\b\i\ul\strike\f1\fs30\cf1 styled}plain\par)"
        R"(\pard\qr\li360\ri720\fi-180\sb120\sa240\b right\b0\par)"
        R"(\ul under\ul0 x\ul y\ulnone z\plain reset\par\page next})";
    const char* spacing = R"({\rtf1\sl-400 a\par\pard\sl360\slmult1 b\par\pard\sl600 c\par\pard\tx900\tqr\tx300\tqdec\tx600 d})";
    struct Case {
        const char* source;
        const char* text;
        const char* run;         // tokens of the run whose text is `text`, or nullptr
        const char* paragraph;   // tokens of the paragraph whose text is `text`, or nullptr
    };
    const char* memo = "memo-richedit.rtf";
    const char* terms = "voorwaarden-office-suite.rtf";
    const Case cases[] = {
        {memo, "Interne nota", "f=Arial|16pt|bold", "center|sa200"},
        {memo, "Brussel, 3 december 2026", "italic|10pt", "right"},
        {memo, "2.500 €", "bold|#c00000", nullptr},
        {memo, "creditnota's", "underline", nullptr},
        {memo, "oude", "strike|!underline", nullptr},
        {memo, "CN-01\tRetour goederen\t500", "f=Courier New", "tabL2835|tabL5670|lh%115"},
        {memo, "Met vriendelijke groeten,", "f=Times New Roman|12pt|#0070c0", nullptr},
        {memo, "—€ 中", "auto", nullptr},  // \cf0 is the automatic colour
        {terms, "Algemene voorwaarden", "f=Arial|16pt|bold", "center"},
        {terms, "Versie 3 — geldig vanaf 1 januari 2027", nullptr, "right"},
        {terms, "Artikel 2.", "#c00000", nullptr},
        {terms, "Vervallen bepaling", "strike", nullptr},
        {groups, "styled", "f=Courier New|15pt|bold|italic|underline|strike|#ff0000", nullptr},
        {groups, "plain", "f=Arial|10pt|!bold|!italic|!underline|auto", nullptr},
        {groups, "styledplain", nullptr, "center|li0|nopage"},
        {groups, "right", "bold", "right|li360|ri720|fi-180|sb120|sa240"},
        {groups, "x", "!underline", nullptr},
        {groups, "z", "!underline", nullptr},
        {groups, "reset", "f=Arial|12pt", nullptr},  // no \deff: font 0
        {groups, "underxyzreset", nullptr, "right|nopage"},
        {groups, "next", nullptr, "right|page"},  // \page does not reset the paragraph
        {spacing, "a", nullptr, "lh=400"},
        {spacing, "b", nullptr, "lh%150"},
        {spacing, "c", nullptr, "lh>600"},
        {spacing, "d", nullptr, "tabR300|tabD600|tabL900"},
    };
    std::map<std::string, std::unique_ptr<QTextDocument>> docs;
    for (const Case& c : cases) {
        std::unique_ptr<QTextDocument>& doc = docs[c.source];
        const std::string source = c.source;
        if (!doc) doc = ReadRtf(source.ends_with(".rtf") ? SharedFixture(source) : source).document;
        const std::string what = std::string(source.size() < 40 ? c.source : "inline RTF") + " / " + c.text;
        if (c.paragraph) {
            QTextBlock b = doc->begin();
            while (b.isValid() && b.text() != U(c.text)) b = b.next();
            ASSERT_TRUE(b.isValid()) << what;
            ExpectTokens(ParaTokens(b.blockFormat()), c.paragraph, what);
        }
        if (c.run) {
            const auto format = RunFormat(*doc, U(c.text));
            ASSERT_TRUE(format) << what;
            ExpectTokens(RunTokens(*format), c.run, what);
        }
    }
}

TEST(RtfReader, DefaultsComeFromTheCallerAndHostileInputIsBounded) {
    const RtfReadResult defaults = ReadRtf(R"({\rtf1 text {\fs30 big}\plain back})", {U("Liberation Mono"), 11});
    ExpectTokens(RunTokens(*RunFormat(*defaults.document, U("text "))), "f=Liberation Mono|11pt", "text");
    ExpectTokens(RunTokens(*RunFormat(*defaults.document, U("back"))), "11pt", "\\plain");
    EXPECT_TRUE(ReadRtf("").document->isEmpty());

    // Deep nesting: the text inside the allowed depth stays, the rest is skipped.
    std::string deep = "{\\rtf1 a";
    for (int i = 0; i < 100000; ++i) deep += "{x";
    RtfReadResult r = ReadRtf(deep + "b");
    EXPECT_TRUE(r.document->toPlainText().startsWith(U("a")));
    EXPECT_LT(r.document->toPlainText().size(), kRtfMaxDepth + 10);
    EXPECT_TRUE(HasWarning(r, "nested deeper"));

    // Huge tables are cut, and text still resolves to known fonts.
    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 10000; ++i) fonts += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    r = ReadRtf(fonts + "}\\f9999 x\\f3 y}");
    EXPECT_TRUE(HasWarning(r, "font table longer"));
    ExpectTokens(RunTokens(*RunFormat(*r.document, U("y"))), "f=F3", "y");

    // A \bin longer than the input ends it quietly; huge numbers saturate.
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\bin99999999999 bcd}").document->toPlainText(), U("a"));
    r = ReadRtf("{\\rtf1\\fs99999999999999 a\\u99999999999? b\\uc99999999 \\u65? c}");
    EXPECT_EQ(r.document->toPlainText(), U("a\uFFFD bA")) << "\\uc is at most 10";
    ExpectTokens(RunTokens(*RunFormat(*r.document, U("a\uFFFD bA"))), "1638pt", "size");

    // Warnings are capped and each appears once.
    std::string unknown = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i) unknown += "\\w" + std::string(1, char('a' + i % 26)) + char('a' + i / 26 % 26) + " ";
    EXPECT_EQ(ReadRtf(unknown + "\\zz \\zz }").warnings.size(), size_t(kRtfMaxWarnings));
}

// Thousands of deterministic mutations of real files: token insertions, deletions, copies
// and cuts must read without a crash and give bounded, control-free text, the same each time.
TEST(RtfReader, SurvivesMutatedRealFiles) {
    constexpr std::string_view kTokens[] = {"{", "}", "\\'8", "\\u-", "\\uc5 ", "\\bin3 ", "\\bin99999 ", "{\\*\\x ",
                                            "\\par", "\\f999 ", "\\fs0 ", "\\ansicpg932 ", "\\tx-5 ", "\xff", "99999999999",
                                            "\\cell ", "\\row ", "\\trowd ", "\\cellx-9 ", "\\clvmrg", "\\clmrg", "\\intbl ",
                                            "\\itap9 ", "\\nestcell ", "\\ls1 ", "\\ilvl99 ", "{\\pict\\pngblip ", "{\\listtext "};
    const std::string terms = SharedFixture("voorwaarden-office-suite.rtf");
    const std::string table = test::ReadFile(QOR_FIXTURES_DIR "/rtf/table-3x4.rtf");
    const std::string seeds[] = {SharedFixture("memo-richedit.rtf"), terms.substr(0, 4000), terms.substr(terms.size() - 2000),
                                 table.substr(table.find("\\trowd") - 200),
                                 test::ReadFile(QOR_FIXTURES_DIR "/rtf/lists.rtf")};
    std::mt19937 rng(20260301);
    for (int i = 0; i < 3000; ++i) {
        std::string s = seeds[size_t(i) % std::size(seeds)];
        for (int e = 1 + int(rng() % 8); e > 0; --e) {
            const size_t at = rng() % (s.size() + 1);
            switch (rng() % 4) {
            case 0: s.insert(at, kTokens[rng() % std::size(kTokens)]); break;
            case 1: s.erase(at, rng() % 2 ? rng() % 64 : std::string::npos); break;  // or cut the rest
            case 2: s.insert(at, s.substr(rng() % (s.size() + 1), rng() % 256)); break;
            default: s.insert(at, std::string(rng() % 300, rng() % 2 ? '{' : '}')); break;
            }
        }
        const RtfReadResult r = ReadRtf(s);
        const QString text = r.document->toPlainText();
        for (QChar c : text) {
            const char16_t u = c.unicode();
            ASSERT_FALSE((u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u < 0xA0)) << "mutation " << i;
        }
        ASSERT_LE(r.document->blockCount(), int(s.size()) + 1) << "mutation " << i;
        ASSERT_LE(r.warnings.size(), size_t(kRtfMaxWarnings)) << "mutation " << i;
        ASSERT_TRUE(i % 100 != 0 || ReadRtf(s).document->toPlainText() == text) << i;
    }
}

}  // namespace
}  // namespace qor
