// Line breaking of rich text with the surface's own font metrics.
#include <gtest/gtest.h>

#include <numeric>

#include "surface/DocumentAccess.h"
#include "surface/RtfLayout.h"
#include "surface/RtfReader.h"

namespace qor::surface {
namespace {

constexpr double kLeft = 1440;
constexpr double kRight = 1440 + 4000;

std::vector<RtfParagraph> Lay(const std::string& rtf, double left = kLeft, double right = kRight) {
    return BreakRichText(*ReadRtf(rtf).document, left, right, FontSpec{}, 0);
}

double Start(const RtfLine& line) { return line.pieces.front().x; }
double End(const RtfLine& line) { return line.pieces.back().x + line.pieces.back().width; }

const std::string kLong =
    "Het boekjaar werd afgesloten met een positief resultaat, ondanks een moeilijke start. "
    "De omzet steeg in alle filialen en de kosten bleven binnen het budget, terwijl de "
    "schulden daalden en de kaspositie verbeterde ten opzichte van vorig jaar.";

TEST(RtfLayout, AlignmentsPlaceEveryLineBetweenTheEdges) {
    for (const std::string align : {"\\ql", "\\qr", "\\qc", "\\qj"}) {
        SCOPED_TRACE(align);
        const auto paras = Lay("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20" + align + " " + kLong + "}");
        ASSERT_EQ(paras.size(), 1u);
        const auto& lines = paras[0].lines;
        ASSERT_GE(lines.size(), 4u);
        std::string words;
        for (size_t i = 0; i < lines.size(); ++i) {
            const RtfLine& l = lines[i];
            ASSERT_FALSE(l.pieces.empty());
            for (const RtfPiece& piece : l.pieces) words += (words.empty() || words.back() == ' ' ? "" : " ") + piece.text;
            const bool last = i + 1 == lines.size();
            EXPECT_GE(Start(l), kLeft - 0.01);
            EXPECT_LE(End(l), kRight + 0.01);
            const bool flushLeft = align == "\\ql" || align == "\\qj";
            const bool flushRight = align == "\\qr" || (align == "\\qj" && !last);
            EXPECT_TRUE(!flushLeft || std::abs(Start(l) - kLeft) < 0.01) << Start(l);
            EXPECT_TRUE(!flushRight || std::abs(End(l) - kRight) < 0.01) << End(l);
            EXPECT_TRUE(align != "\\qc" || std::abs((Start(l) - kLeft) - (kRight - End(l))) < 0.01);
            if (last) continue;
            // Greedy: the next line's first word would not have fitted here.
            const RtfPiece& next = lines[i + 1].pieces.front();
            const double space = MeasureText(next.font, " ");
            const double natural = std::accumulate(l.pieces.begin(), l.pieces.end(), 0.0,
                                                   [](double s, const RtfPiece& p) { return s + p.width; }) +
                                   (align == "\\qj" ? double(l.pieces.size() - 1) * space : 0);
            EXPECT_GT(natural + space + MeasureText(next.font, next.text.substr(0, next.text.find(' '))), kRight - kLeft);
        }
        EXPECT_EQ(words, kLong) << "nothing lost or doubled";
    }
}

TEST(RtfLayout, TabStopsIndentsAndLongWords) {
    // Colours become &HBBGGRR; neighbouring runs are placed edge to edge.
    const auto colours = Lay(R"({\rtf1{\colortbl;\red255\green0\blue0;}a {\b bold}{\cf1 red}})");
    const auto& pieces = colours.at(0).lines.at(0).pieces;
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_TRUE(pieces[1].font.Bold);
    EXPECT_EQ(pieces[2].color * 10 + pieces[0].color, 0x0000FF * 10);
    EXPECT_NEAR(pieces[1].x + pieces[1].width, pieces[2].x, 1e-6);

    // Left, right and centred stops; default stops every half inch.
    const auto tabs = Lay(R"({\rtf1\tx1500\tqr\tx3000\tqc\tx3600 a\tab l\tab right\tab mid\par\pard x\tab y})");
    const RtfLine& t = tabs[0].lines.at(0);
    ASSERT_EQ(t.pieces.size(), 4u);
    EXPECT_NEAR(t.pieces[1].x, kLeft + 1500, 0.01);
    EXPECT_NEAR(t.pieces[2].x + t.pieces[2].width, kLeft + 3000, 0.01);
    EXPECT_NEAR(t.pieces[3].x + t.pieces[3].width / 2, kLeft + 3600, 0.01);
    EXPECT_NEAR(tabs[1].lines.at(0).pieces.at(1).x, kLeft + kRtfDefaultTab, 0.01);

    // Hanging indent and right indent.
    const auto indent = Lay(R"({\rtf1\li720\fi-360\ri500 )" + kLong + "}");
    ASSERT_GE(indent[0].lines.size(), 3u);
    EXPECT_NEAR(Start(indent[0].lines[0]), kLeft + 360, 0.01);
    for (size_t i = 1; i < indent[0].lines.size(); ++i) {
        EXPECT_NEAR(Start(indent[0].lines[i]), kLeft + 720, 0.01);
        EXPECT_LE(End(indent[0].lines[i]), kRight - 500 + 0.01);
    }

    // A word longer than the line is cut between characters.
    std::string joined;
    const auto cut = Lay("{\\rtf1 " + std::string(300, 'W') + "}", kLeft, kLeft + 2000);
    for (const RtfLine& l : cut[0].lines) {
        EXPECT_LE(End(l), kLeft + 2000 + 0.01);
        joined += l.pieces.at(0).text;
    }
    EXPECT_EQ(joined, std::string(300, 'W'));
}

TEST(RtfLayout, LineHeightsFollowFontsAndSpacing) {
    const LineMetrics ms = MetricsOf(FontSpec{"Arial", 10}), mb = MetricsOf(FontSpec{"Arial", 20});
    const auto mixed = Lay(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20 small {\fs40 BIG} small\line next\par\par})");
    ASSERT_EQ(mixed.size(), 2u);
    ASSERT_EQ(mixed[0].lines.size(), 2u);
    EXPECT_NEAR(mixed[0].lines[0].height, mb.height, 1e-6);
    EXPECT_NEAR(mixed[0].lines[1].height, ms.height, 1e-6) << "the line after \\line holds small text only";
    ASSERT_EQ(mixed[1].lines.size(), 1u);
    EXPECT_NEAR(mixed[1].lines[0].height, ms.height, 1e-6) << "an empty paragraph is one line high";

    const auto exact = Lay(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20\sl-400\sb100\sa50 a\par\pard\f0\fs20\sl360\slmult1 b\par\pard\f0\fs20\sl600 c})");
    EXPECT_NEAR(exact[0].lines[0].height, 400, 1e-6);
    EXPECT_NEAR(exact[0].spaceBefore + exact[0].spaceAfter, 150, 1e-6);
    EXPECT_NEAR(exact[1].lines[0].height, ms.height * 1.5, 1e-6);
    EXPECT_NEAR(exact[2].lines[0].height, 600, 1e-6);
    EXPECT_NEAR(exact[2].lines[0].ascent, 600 - ms.descent, 1e-6) << "text sits on the bottom of a tall line";
    EXPECT_TRUE(Lay("").empty());
}

}  // namespace
}  // namespace qor::surface
