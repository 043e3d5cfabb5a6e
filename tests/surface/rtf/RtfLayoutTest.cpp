// Line breaking of rich text with the surface's own font metrics.
#include <gtest/gtest.h>

#include <numeric>

#include "surface/DocumentAccess.h"
#include "surface/RtfLayout.h"
#include "surface/RtfReader.h"
#include "surface/rtf/RtfTestUtil.h"

namespace qor::surface {
namespace {

constexpr double kLeft = 1440;
constexpr double kRight = 1440 + 4000;

std::vector<RtfParagraph> Lay(const std::string& rtf, double left = kLeft, double right = kRight) {
    return BreakRichText(*ReadRtf(rtf).document, left, right, FontSpec{}, 0);
}

double End(const RtfLine& line) { return line.pieces.back().x + line.pieces.back().width; }

std::string Words(const RtfParagraph& p) {
    std::string out;
    for (const RtfLine& l : p.lines)
        for (const RtfPiece& piece : l.pieces) out += (out.empty() ? "" : " ") + piece.text;
    // Pieces of one line may hold several words; normalise runs of spaces.
    std::string norm;
    for (char c : out)
        if (!(c == ' ' && !norm.empty() && norm.back() == ' ')) norm += c;
    return norm;
}

const char* kLong =
    "Het boekjaar werd afgesloten met een positief resultaat, ondanks een moeilijke start. "
    "De omzet steeg in alle filialen en de kosten bleven binnen het budget, terwijl de "
    "schulden daalden en de kaspositie verbeterde ten opzichte van vorig jaar.";

TEST(RtfLayout, AlignmentsPlaceEveryLineBetweenTheEdges) {
    struct Case {
        const char* control;
        Qt::Alignment align;
    };
    for (const Case c : {Case{"\\ql", Qt::AlignLeft}, Case{"\\qr", Qt::AlignRight},
                         Case{"\\qc", Qt::AlignHCenter}, Case{"\\qj", Qt::AlignJustify}}) {
        SCOPED_TRACE(c.control);
        const auto paras = Lay(std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20") + c.control + " " + kLong + "}");
        ASSERT_EQ(paras.size(), 1u);
        const auto& lines = paras[0].lines;
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(Words(paras[0]), kLong) << "nothing lost or doubled";
        for (size_t i = 0; i < lines.size(); ++i) {
            const RtfLine& l = lines[i];
            ASSERT_FALSE(l.pieces.empty());
            const double start = l.pieces.front().x, end = End(l);
            EXPECT_GE(start, kLeft - 0.01);
            EXPECT_LE(end, kRight + 0.01);
            const bool last = i + 1 == lines.size();
            if (c.align == Qt::AlignLeft || c.align == Qt::AlignJustify) {
                EXPECT_NEAR(start, kLeft, 0.01);
            }
            if (c.align == Qt::AlignRight || (c.align == Qt::AlignJustify && !last)) {
                EXPECT_NEAR(end, kRight, 0.01);
            }
            if (c.align == Qt::AlignHCenter) {
                EXPECT_NEAR(start - kLeft, kRight - end, 0.01);
            }
            if (!last) {
                // Greedy: the next line's first word would not have fitted here.
                const RtfPiece& next = lines[i + 1].pieces.front();
                const std::string firstWord = next.text.substr(0, next.text.find(' '));
                const double natural = std::accumulate(l.pieces.begin(), l.pieces.end(), 0.0,
                                                       [](double s, const RtfPiece& p) { return s + p.width; });
                const double spaces = c.align == Qt::AlignJustify ? (l.pieces.size() - 1) * MeasureText(next.font, " ") : 0;
                EXPECT_GT(natural + spaces + MeasureText(next.font, " ") + MeasureText(next.font, firstWord), kRight - kLeft);
            }
        }
    }
}

TEST(RtfLayout, TabStopsIndentsAndLongWords) {
    // The memo's table: left tabs at 2835 and 5670 from the left edge.
    const auto memo = BreakRichText(*ReadRtf(rtftest::SharedFixture("memo-richedit.rtf")).document,
                                    kLeft, kLeft + 9000, FontSpec{}, 0);
    const RtfLine& row = memo[6].lines.at(0);
    ASSERT_EQ(row.pieces.size(), 3u);
    EXPECT_EQ(row.pieces[0].text, "CN-01");
    EXPECT_NEAR(row.pieces[0].x, kLeft, 0.01);
    EXPECT_NEAR(row.pieces[1].x, kLeft + 2835, 0.01);
    EXPECT_EQ(row.pieces[1].text, "Retour goederen");
    EXPECT_NEAR(row.pieces[2].x, kLeft + 5670, 0.01);
    EXPECT_EQ(row.pieces[1].font.Name, "Courier New");

    // Right and centred stops; default stops every half inch.
    auto tabs = Lay(R"({\rtf1\tqr\tx3000\tqc\tx3600 a\tab right\tab mid\par\pard x\tab y})");
    const RtfLine& t = tabs[0].lines.at(0);
    ASSERT_EQ(t.pieces.size(), 3u);
    EXPECT_NEAR(End(RtfLine{0, 0, {t.pieces[1]}}), kLeft + 3000, 0.01);
    EXPECT_NEAR(t.pieces[2].x + t.pieces[2].width / 2, kLeft + 3600, 0.01);
    EXPECT_NEAR(tabs[1].lines.at(0).pieces.at(1).x, kLeft + kRtfDefaultTab, 0.01);

    // Hanging indent and right indent.
    auto indent = Lay(std::string(R"({\rtf1\li720\fi-360\ri500 )") + kLong + "}");
    ASSERT_GE(indent[0].lines.size(), 3u);
    EXPECT_NEAR(indent[0].lines[0].pieces.front().x, kLeft + 360, 0.01);
    for (size_t i = 1; i < indent[0].lines.size(); ++i) {
        EXPECT_NEAR(indent[0].lines[i].pieces.front().x, kLeft + 720, 0.01);
        EXPECT_LE(End(indent[0].lines[i]), kRight - 500 + 0.01);
    }

    // A word longer than the line is cut between characters.
    const std::string word(300, 'W');
    auto cut = Lay("{\\rtf1 " + word + "}", kLeft, kLeft + 2000);
    ASSERT_GE(cut[0].lines.size(), 5u);
    std::string joined;
    for (const RtfLine& l : cut[0].lines) {
        EXPECT_LE(End(l), kLeft + 2000 + 0.01);
        for (const RtfPiece& p : l.pieces) joined += p.text;
    }
    EXPECT_EQ(joined, word);
}

TEST(RtfLayout, LineHeightsFollowFontsAndSpacing) {
    FontSpec small;
    small.Name = "Arial";
    small.Size = 10;
    FontSpec big = small;
    big.Size = 20;
    const LineMetrics ms = MetricsOf(small), mb = MetricsOf(big);

    auto mixed = Lay(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20 small {\fs40 BIG} small\line next\par\par})");
    ASSERT_EQ(mixed.size(), 2u);
    ASSERT_EQ(mixed[0].lines.size(), 2u);
    EXPECT_NEAR(mixed[0].lines[0].ascent, mb.ascent, 1e-6);
    EXPECT_NEAR(mixed[0].lines[0].height, mb.height, 1e-6);
    EXPECT_NEAR(mixed[0].lines[1].height, ms.height, 1e-6) << "the line after \\line holds small text only";
    const RtfLine& big0 = mixed[0].lines[0];
    EXPECT_EQ(big0.pieces.size(), 3u);
    EXPECT_EQ(big0.pieces[1].text, "BIG");
    ASSERT_EQ(mixed[1].lines.size(), 1u);
    EXPECT_TRUE(mixed[1].lines[0].pieces.empty());
    EXPECT_NEAR(mixed[1].lines[0].height, ms.height, 1e-6) << "an empty paragraph is one line high";

    auto exact = Lay(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20\sl-400\sb100\sa50 a\par\pard\f0\fs20\sl360\slmult1 b\par\pard\f0\fs20\sl600 c})");
    EXPECT_NEAR(exact[0].lines[0].height, 400, 1e-6);
    EXPECT_NEAR(exact[0].spaceBefore, 100, 1e-6);
    EXPECT_NEAR(exact[0].spaceAfter, 50, 1e-6);
    EXPECT_NEAR(exact[1].lines[0].height, ms.height * 1.5, 1e-6);
    EXPECT_NEAR(exact[2].lines[0].height, 600, 1e-6);
    EXPECT_NEAR(exact[2].lines[0].ascent, 600 - ms.descent, 1e-6) << "text sits on the bottom of a tall line";

    EXPECT_TRUE(Lay("").empty());
}

TEST(RtfLayout, PiecesCarryFormatsAndColours) {
    auto p = Lay(R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Times New Roman;}}{\colortbl;\red255\green0\blue0;})"
                 R"(\f0\fs20 a {\b\i\ul\strike bold} {\f1\cf1 red} c})");
    const auto& pieces = p.at(0).lines.at(0).pieces;
    ASSERT_EQ(pieces.size(), 4u);  // the lone space between "bold" and "red" draws nothing
    EXPECT_EQ(pieces[0].text, "a ");
    EXPECT_EQ(pieces[1].text, "bold");
    EXPECT_TRUE(pieces[1].font.Bold && pieces[1].font.Italic && pieces[1].font.Underline &&
                pieces[1].font.Strikethrough);
    EXPECT_EQ(pieces[2].text, "red");
    EXPECT_EQ(pieces[2].font.Name, "Times New Roman");
    EXPECT_EQ(pieces[2].color, 0x0000FF) << "&HBBGGRR";
    EXPECT_NEAR(pieces[2].x, pieces[1].x + pieces[1].width + MeasureText(pieces[0].font, " "), 1e-6);
    EXPECT_EQ(pieces[3].text, " c");
    EXPECT_EQ(pieces[0].color, 0);
    // Neighbours are placed edge to edge.
    EXPECT_NEAR(pieces[0].x + pieces[0].width, pieces[1].x, 1e-6);
}

}  // namespace
}  // namespace qor::surface
