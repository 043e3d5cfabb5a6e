// The RTF reader on real files from word processors and on small hand-written inputs.
#include <gtest/gtest.h>

#include <QTextBlock>

#include "surface/RtfReader.h"
#include "surface/rtf/RtfTestUtil.h"

namespace qor {
namespace {

using rtftest::BlockContaining;
using rtftest::BlockTexts;
using rtftest::RunFormat;
using rtftest::SharedFixture;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString PlainText(std::string_view rtf) {
    QStringList blocks;
    for (const QString& b : BlockTexts(*ReadRtf(rtf).document)) blocks << b;
    return blocks.join(u'|');
}

bool HasWarning(const RtfReadResult& r, const std::string& part) {
    for (const std::string& w : r.warnings)
        if (w.find(part) != std::string::npos) return true;
    return false;
}

TEST(RtfReader, MemoFromRichEditReadsTextExactly) {
    const RtfReadResult r = ReadRtf(SharedFixture("memo-richedit.rtf"));
    const std::vector<QString> expected = {
        U("Interne nota"),
        U("Brussel, 3 december 2026"),
        U("Aan: alle medewerkers van de afdeling boekhouding\u2028Van: de directie"),
        U("Onderwerp: nieuwe procedure voor creditnota's en oude herinneringen."),
        U("Vanaf 1 januari worden alle creditnota's centraal goedgekeurd. De procedure is als "
          "volgt: de aanvrager vult het formulier in, de afdelingschef keurt goed, en de "
          "boekhouding registreert. Bedragen boven 2.500 € vereisen een tweede handtekening. "
          "Dit geldt ook voor de filialen in Liège, Mons en Liége-Guillemins; café en déjà vu "
          "zijn geen argumenten."),
        U("Code\tOmschrijving\tDrempel"),
        U("CN-01\tRetour goederen\t500"),
        U("CN-02\tPrijscorrectie\t2.500"),
        U("Met vriendelijke groeten,"),
        U("De directie—€ 中"),
        U(""),
    };
    EXPECT_EQ(BlockTexts(*r.document), expected);
    EXPECT_FALSE(r.document->toPlainText().contains(U("zichtbaar")));
    EXPECT_FALSE(r.document->toPlainText().contains(U("einde")));
    EXPECT_TRUE(HasWarning(r, "unknowndestination"));
}

TEST(RtfReader, MemoFromRichEditKeepsRunAndParagraphFormats) {
    const RtfReadResult r = ReadRtf(SharedFixture("memo-richedit.rtf"));
    const QTextDocument& doc = *r.document;

    auto title = RunFormat(doc, U("Interne nota"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(title->fontPointSize(), 16);
    EXPECT_EQ(title->fontWeight(), QFont::Bold);
    EXPECT_EQ(BlockContaining(doc, U("Interne nota")).blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(BlockContaining(doc, U("Interne nota")).blockFormat().bottomMargin(), 200);

    auto date = RunFormat(doc, U("Brussel, 3 december 2026"));
    ASSERT_TRUE(date);
    EXPECT_TRUE(date->fontItalic());
    EXPECT_EQ(date->fontPointSize(), 10);
    EXPECT_EQ(BlockContaining(doc, U("Brussel")).blockFormat().alignment(), Qt::AlignRight);

    auto amount = RunFormat(doc, U("2.500 €"));
    ASSERT_TRUE(amount);
    EXPECT_EQ(amount->fontWeight(), QFont::Bold);
    EXPECT_EQ(amount->foreground().color(), QColor(192, 0, 0));
    EXPECT_EQ(BlockContaining(doc, U("Vanaf")).blockFormat().alignment(), Qt::AlignJustify);

    auto underlined = RunFormat(doc, U("creditnota's"));
    ASSERT_TRUE(underlined);
    EXPECT_TRUE(underlined->fontUnderline());
    auto struck = RunFormat(doc, U("oude"));
    ASSERT_TRUE(struck);
    EXPECT_TRUE(struck->fontStrikeOut());
    EXPECT_FALSE(struck->fontUnderline());

    const QTextBlock table = BlockContaining(doc, U("CN-01"));
    ASSERT_EQ(table.blockFormat().tabPositions().size(), 2);
    EXPECT_EQ(table.blockFormat().tabPositions()[0].position, 2835);
    EXPECT_EQ(table.blockFormat().tabPositions()[1].position, 5670);
    EXPECT_EQ(table.charFormat().fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_EQ(table.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_NEAR(table.blockFormat().lineHeight(), 115, 1e-9);

    auto greeting = RunFormat(doc, U("Met vriendelijke groeten,"));
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(greeting->fontPointSize(), 12);
    EXPECT_EQ(greeting->foreground().color(), QColor(0, 112, 192));

    auto signature = RunFormat(doc, U("De directie"));
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->foreground().color(), QColor(0, 128, 0));
    auto after = RunFormat(doc, U("—€ 中"));
    ASSERT_TRUE(after);
    EXPECT_FALSE(after->hasProperty(QTextFormat::ForegroundBrush)) << "\\cf0 is the automatic colour";
}

TEST(RtfReader, OfficeSuiteTermsReadWithUnicodeAndStyles) {
    const RtfReadResult r = ReadRtf(SharedFixture("voorwaarden-office-suite.rtf"));
    const QTextDocument& doc = *r.document;
    const std::vector<QString> blocks = BlockTexts(doc);
    ASSERT_EQ(blocks.size(), 44u);
    EXPECT_EQ(blocks[0], U("Algemene voorwaarden"));
    EXPECT_EQ(blocks[1], U("Versie 3 — geldig vanaf 1 januari 2027"));
    EXPECT_EQ(blocks[2], U("Artikel 1. Deze voorwaarden zijn van toepassing op alle offertes, bestellingen "
                           "en leveringen. Afwijkingen zijn slechts geldig wanneer zij schriftelijk werden "
                           "bevestigd. Prijzen worden uitgedrukt in euro (€) en zijn exclusief btw."));
    EXPECT_EQ(blocks[4], U("Conditions générales — Les réclamations doivent être introduites dans les huit "
                           "jours après la livraison. À défaut, elles ne sont plus acceptées. Ça va de soi."));
    EXPECT_TRUE(blocks[7].endsWith(U("één, twee, drie; garçon, naïef, Übermaß.")));
    EXPECT_TRUE(blocks[43].startsWith(U("Artikel 40. Lorem ipsum")));
    const QString all = doc.toPlainText();
    for (const char* leak : {"Times New Roman", "Normal", "Heading", "LibreOffice", "Default Page Style", "\\", "{", "?"})
        EXPECT_FALSE(all.contains(U(leak))) << leak;

    EXPECT_EQ(doc.begin().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(doc.begin().next().blockFormat().alignment(), Qt::AlignRight);
    auto heading = RunFormat(doc, U("Algemene voorwaarden"));
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->fontPointSize(), 16);
    EXPECT_EQ(heading->fontWeight(), QFont::Bold);
    EXPECT_EQ(heading->fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(RunFormat(doc, U("Artikel 2."))->foreground().color(), QColor(192, 0, 0));
    EXPECT_EQ(RunFormat(doc, U("Artikel 3."))->foreground().color(), QColor(31, 78, 121));
    EXPECT_TRUE(RunFormat(doc, U("schriftelijk"))->fontUnderline());
    EXPECT_TRUE(RunFormat(doc, U("Vervallen bepaling"))->fontStrikeOut());
    auto french = RunFormat(doc, blocks[4]);
    ASSERT_TRUE(french);
    EXPECT_EQ(french->fontPointSize(), 8);
    EXPECT_TRUE(french->fontItalic());
    EXPECT_EQ(doc.begin().next().next().blockFormat().bottomMargin(), 283);
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
        {"font charset 1250", R"({\rtf1{\fonttbl{\f1\fcharset238 Arial CE;}}\f1 \'e8\'9a})", "čš"},
        {"double-byte code page", R"({\rtf1{\fonttbl{\f1\fcharset128 MS Mincho;}}\f1 \'82\'a0\'82\'a2})", "あい"},
        {"unicode skips one fallback", R"({\rtf1 \u8364?\u233\'e9!})", "€é!"},
        {"uc0 has no fallback", R"({\rtf1\uc0 \u8364 x})", "€x"},
        {"uc2 skips two", R"({\rtf1\uc2 \u8364\'80\'80y})", "€y"},
        {"uc is scoped to its group", R"({\rtf1 {\uc2 \u8364??}\u8364?z})", "€€z"},
        {"negative code unit", R"({\rtf1 \u-1280?})", "ﬀ"},
        {"surrogate pair", R"({\rtf1 \u-10179?\u-8704?})", "😀"},
        {"lone surrogate replaced", R"({\rtf1 a\u-10179?b})", "a\xEF\xBF\xBD" "b"},
        {"special symbols", R"({\rtf1 a\~b\_c\-d\{\}\\})", "a\xC2\xA0" "b\xE2\x80\x91" "cd{}\\"},
        {"named characters", R"({\rtf1 \lquote x\rquote  \emdash \bullet})", "‘x’ —•"},
        {"line and tab", R"({\rtf1 a\line b\tab c})", "a\xE2\x80\xA8" "b\tc"},
        {"par and empty paragraph", R"({\rtf1 a\par\par b\par})", "a||b"},
        {"escaped newline is a paragraph", "{\\rtf1 a\\\nb}", "a|b"},
        {"raw newlines ignored", "{\\rtf1 a\r\nb}", "ab"},
        {"ignorable destination", R"({\rtf1 a{\*\foo secret {nested} text}b})", "ab"},
        {"known destinations", R"({\rtf1{\info{\title T}}{\stylesheet{\s0 Normal;}}{\header H}a{\pict\pngblip 89504e47}b})", "ab"},
        {"unknown words skipped", R"({\rtf1 \foo a\bar42 b})", "ab"},
        {"hidden text", R"({\rtf1 a{\v hidden}b\v c\v0 d})", "abd"},
        {"binary data", "{\\rtf1 a{\\pict\\bin5 }{\\}b}c}", "ac"},
        {"binary data outside destination", "{\\rtf1 a\\bin3 x}yb}", "ab"},
        {"field result shown, instruction not", R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        {"no header read all the same", R"(plain {\b bold} text)", "plain bold text"},
        {"truncated in a group", R"({\rtf1 abc{\b de)", "abcde"},
        {"truncated in a control word", R"({\rtf1 abc\)", "abc"},
        {"truncated hex", R"({\rtf1 abc\'8)", "abc"},
        {"extra closing braces", R"({\rtf1 a}}} b)", "a b"},
        {"stray ignorable marker", R"({\rtf1 a \*\foo b})", "a b"},
        {"stray destination keeps the rest", R"({\rtf1 a \info b})", "a b"},
        {"controls never reach the text", "{\\rtf1 a\x01\x1f\\'07\\'81 b}", "a b"},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainText(c.rtf), U(c.text)) << c.name;
}

TEST(RtfReader, CharacterAndParagraphStateFollowGroups) {
    const RtfReadResult r = ReadRtf(
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green0\blue0;}\f0\fs20 )"
        R"(\qc {\b\i\ul\strike\f1\fs30\cf1 styled}plain\par)"
        R"(\pard\qr\li360\ri720\fi-180\sb120\sa240\b right\b0\par)"
        R"(\ul under\ul0 x\ul y\ulnone z\plain reset\par\page next})");
    const QTextDocument& doc = *r.document;
    ASSERT_EQ(BlockTexts(doc).size(), 4u);

    auto styled = RunFormat(doc, U("styled"));
    ASSERT_TRUE(styled);
    EXPECT_EQ(styled->fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_EQ(styled->fontPointSize(), 15);
    EXPECT_TRUE(styled->fontItalic() && styled->fontUnderline() && styled->fontStrikeOut());
    EXPECT_EQ(styled->foreground().color(), QColor(255, 0, 0));
    auto plain = RunFormat(doc, U("plain"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(plain->fontPointSize(), 10);
    EXPECT_EQ(plain->fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain->hasProperty(QTextFormat::ForegroundBrush));

    const QTextBlockFormat first = doc.begin().blockFormat();
    EXPECT_EQ(first.alignment(), Qt::AlignHCenter);
    const QTextBlockFormat second = doc.begin().next().blockFormat();
    EXPECT_EQ(second.alignment(), Qt::AlignRight);
    EXPECT_EQ(second.leftMargin(), 360);
    EXPECT_EQ(second.rightMargin(), 720);
    EXPECT_EQ(second.textIndent(), -180);
    EXPECT_EQ(second.topMargin(), 120);
    EXPECT_EQ(second.bottomMargin(), 240);
    EXPECT_EQ(RunFormat(doc, U("right"))->fontWeight(), QFont::Bold);

    EXPECT_TRUE(RunFormat(doc, U("under"))->fontUnderline());
    EXPECT_FALSE(RunFormat(doc, U("x"))->fontUnderline());
    EXPECT_TRUE(RunFormat(doc, U("y"))->fontUnderline());
    EXPECT_FALSE(RunFormat(doc, U("z"))->fontUnderline());
    auto reset = RunFormat(doc, U("reset"));
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->fontFamilies().toStringList(), QStringList{"Arial"}) << "no \\deff: font 0";
    EXPECT_EQ(reset->fontPointSize(), 12);

    const QTextBlock last = doc.lastBlock();
    EXPECT_EQ(last.text(), U("next"));
    EXPECT_EQ(last.blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(last.previous().blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
}

TEST(RtfReader, DefaultsComeFromTheCaller) {
    RtfReadOptions options;
    options.defaultFamily = U("Liberation Mono");
    options.defaultPointSize = 11;
    const RtfReadResult r = ReadRtf(R"({\rtf1 text {\fs30 big}\plain back})", options);
    EXPECT_EQ(RunFormat(*r.document, U("text "))->fontFamilies().toStringList(), QStringList{"Liberation Mono"});
    EXPECT_EQ(RunFormat(*r.document, U("text "))->fontPointSize(), 11);
    EXPECT_EQ(RunFormat(*r.document, U("big"))->fontPointSize(), 15);
    EXPECT_EQ(RunFormat(*r.document, U("back"))->fontPointSize(), 11);
    EXPECT_TRUE(ReadRtf("").document->isEmpty());
    EXPECT_TRUE(ReadRtf(R"({\rtf1{\fonttbl{\f0 Arial;}}})").document->isEmpty());
}

TEST(RtfReader, HostileInputIsBounded) {
    // Deep nesting: the text inside the allowed depth stays, the rest is skipped.
    std::string deep = "{\\rtf1 a";
    for (int i = 0; i < 100000; ++i) deep += "{x";
    deep += "b";
    RtfReadResult r = ReadRtf(deep);
    EXPECT_TRUE(r.document->toPlainText().startsWith(U("a")));
    EXPECT_LT(r.document->toPlainText().size(), kRtfMaxDepth + 10);
    EXPECT_TRUE(HasWarning(r, "nested deeper"));

    // Huge tables are cut, and text still resolves to known fonts.
    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 10000; ++i) fonts += "{\\f" + std::to_string(i) + " F" + std::to_string(i) + ";}";
    fonts += "}\\f9999 x\\f3 y}";
    r = ReadRtf(fonts);
    EXPECT_TRUE(HasWarning(r, "font table longer"));
    EXPECT_EQ(RunFormat(*r.document, U("y"))->fontFamilies().toStringList(), QStringList{"F3"});

    // A \bin longer than the input ends it quietly; huge numbers saturate.
    r = ReadRtf("{\\rtf1 a\\bin99999999999 bcd}");
    EXPECT_EQ(r.document->toPlainText(), U("a"));
    r = ReadRtf("{\\rtf1\\fs99999999999999 a\\u99999999999? b\\uc99999999 \\u65? c}");
    EXPECT_EQ(r.document->toPlainText(), U("a\uFFFD bA")) << "\\uc is at most 10";
    EXPECT_EQ(RunFormat(*r.document, U("a\uFFFD bA"))->fontPointSize(), 1638);

    // Warnings are capped and each appears once.
    std::string unknown = "{\\rtf1 ";
    for (int i = 0; i < 1000; ++i) unknown += "\\w" + std::string(1, char('a' + i % 26)) + std::string(1, char('a' + i / 26 % 26)) + " ";
    unknown += "\\zz \\zz }";
    r = ReadRtf(unknown);
    EXPECT_EQ(r.warnings.size(), size_t(kRtfMaxWarnings));
}

}  // namespace
}  // namespace qor
