// Tables, lists and pictures as the RTF reader puts them into the document, and the limits
// that keep hostile input bounded.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

#include "surface/RtfLists.h"
#include "surface/RtfReader.h"

namespace qor {
namespace {

QTextTable* FirstTable(const QTextDocument& doc) {
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f)) return t;
    return nullptr;
}

std::string CellText(const QTextTableCell& cell) {
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, u'|').toStdString();
}

// Each row's cells as "text@column+span" (rows spanned down: "^"), joined by ' '.
std::string Grid(const QTextTable& t) {
    std::string out;
    for (int r = 0; r < t.rows(); ++r) {
        out += r ? " / " : "";
        for (int c = 0; c < t.columns(); ++c) {
            const QTextTableCell cell = t.cellAt(r, c);
            if (cell.column() != c) continue;
            out += (c ? " " : "") + (cell.row() != r ? std::string("^") : CellText(cell)) + "@" + std::to_string(c) +
                   "+" + std::to_string(cell.columnSpan());
        }
    }
    return out;
}

TEST(RtfStructures, TablesMakeOneGridOfEveryRowsCellEdges) {
    struct Case {
        const char* name;
        const char* rtf;
        const char* grid;
    };
    const Case cases[] = {
        {"plain rows", R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b\cell\row\trowd\cellx1000\cellx2000\intbl c\cell d\cell\row\pard x})",
         "a@0+1 b@1+1 / c@0+1 d@1+1"},
        {"a row with an edge more splits the columns above", R"({\rtf1\trowd\cellx2000\intbl wide\cell\row\trowd\cellx1000\cellx2000\intbl l\cell r\cell\row})",
         "wide@0+2 / l@0+1 r@1+1"},
        {"horizontal merge", R"({\rtf1\trowd\clmgf\cellx1000\clmrg\cellx2000\cellx3000\intbl m\cell\cell z\cell\row})",
         "m@0+1 z@1+1"},
        {"vertical merge", R"({\rtf1\trowd\clvmgf\cellx1000\cellx2000\intbl v\cell a\cell\row\trowd\clvmrg\cellx1000\cellx2000\intbl\cell b\cell\row})",
         "v@0+1 a@1+1 / ^@0+1 b@1+1"},
        {"paragraphs in a cell, text after the table", R"({\rtf1\trowd\cellx1000\pard\intbl p1\par p2\cell\row\pard after})",
         "p1|p2@0+1"},
        {"row without \\row ends with the document", R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b)", "a@0+1 b@1+1"},
    };
    for (const Case& c : cases) {
        const RtfReadResult r = ReadRtf(c.rtf);
        const QTextTable* t = FirstTable(*r.document);
        ASSERT_TRUE(t) << c.name;
        EXPECT_EQ(Grid(*t), c.grid) << c.name;
    }
    // Nothing of the table leaks into the text around it, and Qt's blocks beside it are marked.
    const RtfReadResult around = ReadRtf(cases[0].rtf);
    QStringList outside;
    for (auto it = around.document->rootFrame()->begin(); !it.atEnd(); ++it)
        if (it.currentBlock().isValid() && !it.currentBlock().blockFormat().boolProperty(kRtfFillerBlock))
            outside << it.currentBlock().text();
    EXPECT_EQ(outside.join(u'|').toStdString(), "x");
}

TEST(RtfStructures, CellFormatsHeaderRowsAndNesting) {
    const RtfReadResult r = ReadRtf(
        R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}\trowd\trgaph100\trleft-100\trhdr\trrh-500)"
        R"(\clbrdrt\brdrs\brdrw30\brdrcf1\clbrdrb\brdrdb\brdrw15\clcbpat2\clvertalc\clpadl200\clpadfl3\cellx1000)"
        R"(\clshdng5000\cellx2000\intbl h1\cell h2\cell\row\trowd\trleft-100\cellx1000\cellx2000\intbl b1\cell)"
        R"(\pard\intbl\itap2 n1\nestcell n2\nestcell{\*\nesttableprops\trowd\cellx500\cellx900\nestrow}\pard\intbl\itap1\cell\row})");
    QTextTable* t = FirstTable(*r.document);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->format().headerRowCount(), 1);
    EXPECT_EQ(t->format().property(kRtfTableLeft).toInt(), -100);
    const QList<QTextLength> widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0].rawValue() + widths[1].rawValue(), 2100);
    const QTextTableCellFormat h1 = t->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(h1.topBorder(), 30);
    EXPECT_EQ(h1.topBorderBrush().color(), QColor(255, 0, 0));
    EXPECT_EQ(h1.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_EQ(h1.leftBorder(), 0) << "no \\clbrdrl";
    EXPECT_EQ(h1.background().color(), QColor(0, 0, 255));
    EXPECT_EQ(h1.verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_EQ(h1.leftPadding(), 200);
    EXPECT_EQ(h1.rightPadding(), 100) << "\\trgaph";
    EXPECT_EQ(h1.property(kRtfRowHeight).toInt(), -500);
    EXPECT_EQ(t->cellAt(0, 1).format().background().color(), QColor(128, 128, 128)) << "50% black on white";
    // The nested table sits in the second cell of the second row.
    const QTextTableCell outer = t->cellAt(1, 1);
    QTextTable* nested = nullptr;
    for (auto it = outer.begin(); !it.atEnd(); ++it)
        if (auto* n = qobject_cast<QTextTable*>(it.currentFrame())) nested = n;
    ASSERT_TRUE(nested);
    EXPECT_EQ(Grid(*nested), "n1@0+1 n2@1+1");
}

TEST(RtfStructures, ListMarkersAreTheOnesTheWriterMeant) {
    const char* table =
        R"({\*\listtable{\list{\listlevel\levelnfc0\levelstartat3{\leveltext\'02\'00.;}}{\listlevel\levelnfc4{\leveltext\'04\'00.\'01);}})"
        R"({\listlevel\levelnfc23{\leveltext\'01\u8226 ?;}}\listid5}{\list{\listlevel\levelnfc2\levelfollow1{\leveltext\'02\'00.;}}\listid6}})"
        R"({\*\listoverridetable{\listoverride\listid5\ls1}{\listoverride\listid6\ls2}})";
    const std::string rtf = std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}") + table +
        R"(\pard{\listtext 9.\tab}\ls1 a\par\ls1 b\par\ls1\ilvl1 c\par\ilvl1 d\par\ilvl2 e\par\ilvl0 f\par\ilvl1 g\par)"
        R"(\pard\ls2 r1\par r2\par\pard\ls1\ilvl9 deep\par)"
        R"(\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1{\pntxtb\'B7}}old\par)"
        R"(\pard{\*\pn\pnlvlbody\pnlcltr\pnstart2{\pntxta )}}p\par q\par\pard plain\par)"
        R"(\pard{\listtext\f0 X)\tab}listtext only\par})";
    const RtfReadResult r = ReadRtf(rtf);
    QStringList markers;
    for (QTextBlock b = r.document->begin(); b.isValid(); b = b.next())
        markers << b.text() + "=" + b.blockFormat().property(kRtfListMarker).toString().replace(u'\t', u'>');
    EXPECT_EQ(markers.join(u' ').toStdString(),
              "a=3.> b=4.> c=4.a)> d=4.b)> e=•> f=5.> g=5.a)> r1=i.  r2=ii.  deep= old=•> p=b)> q=c)> plain= "
              "listtext only=X)>");
    // Each level's run is a list of its own.
    QTextBlock c = r.document->findBlockByNumber(2), g = r.document->findBlockByNumber(6);
    ASSERT_TRUE(c.textList() && g.textList());
    EXPECT_NE(c.textList(), g.textList()) << "numbering of a level restarts after a higher level";
    EXPECT_EQ(c.textList()->format().style(), QTextListFormat::ListLowerAlpha);

    const std::tuple<int, int, const char*> numbers[] = {{1, 0, "1"},       {4, 2, "iv"},  {1994, 1, "MCMXCIV"},
                                                         {27, 4, "aa"},     {3, 3, "C"},   {4000, 2, "4000"},
                                                         {5, 22, "05"},     {7, 23, ""}};
    for (auto [n, nfc, text] : numbers) EXPECT_EQ(rtf::FormatListNumber(n, nfc).toStdString(), text) << n << " " << nfc;
}

void PutBe32(std::string& s, uint32_t v) {
    for (int k = 3; k >= 0; --k) s += char((v >> (8 * k)) & 0xFF);
}

// A PNG chunk with its length and check sum.
std::string Chunk(const std::string& type, const std::string& data) {
    std::string out;
    PutBe32(out, uint32_t(data.size()));
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : type + data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    out += type + data;
    PutBe32(out, ~crc);
    return out;
}

// A PNG of `w` x `h` pixels without pixel data: enough to tell its size.
std::string PngHeader(uint32_t w, uint32_t h) {
    std::string header;
    PutBe32(header, w);
    PutBe32(header, h);
    header += std::string("\x08\x02\0\0\0", 5);
    return "\x89PNG\r\n\x1a\n" + Chunk("IHDR", header) + Chunk("IDAT", "") + Chunk("IEND", "");
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

TEST(RtfStructures, PicturesAreSizedAndOversizeInputIsLeftOut) {
    const std::string rtf = "{\\rtf1 a{\\pict\\pngblip\\picwgoal2000\\pichgoal1000\\picscalex50 " + Hex(PngHeader(40, 20)) +
                            "}b{\\pict\\pngblip " + Hex(PngHeader(40, 20)) + "}c{\\pict\\wmetafile8\\picw2540\\pich1270 0100}d" +
                            "{\\pict\\pngblip " + Hex(PngHeader(100000, 100000)) + "}e{\\pict\\jpegblip\\bin" +
                            std::to_string(kRtfMaxPictureBytes + 1) + " " + std::string(size_t(kRtfMaxPictureBytes) + 1, '\xff') +
                            "}f}";
    const RtfReadResult r = ReadRtf(rtf);
    std::vector<QTextImageFormat> pictures;
    for (QTextBlock b = r.document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) pictures.push_back(it.fragment().charFormat().toImageFormat());
    EXPECT_EQ(r.document->toPlainText().remove(QChar::ObjectReplacementCharacter).toStdString(), "abcdef");
    ASSERT_EQ(pictures.size(), 3u) << "the two oversize pictures are left out";
    EXPECT_EQ(pictures[0].width(), 1000);   // goal at 50 %
    EXPECT_EQ(pictures[0].height(), 1000);
    EXPECT_EQ(pictures[1].width(), 40 * 15);  // pixels at 96 dpi
    EXPECT_FALSE(r.document->resource(QTextDocument::ImageResource, QUrl(pictures[1].name())).toByteArray().isEmpty());
    EXPECT_TRUE(pictures[2].property(kRtfPictureFrame).toBool()) << "a metafile keeps its space";
    EXPECT_EQ(pictures[2].width(), 1440);  // 2540 hundredths of a millimetre
    for (const char* w : {"more than 40000000 pixels", "larger than 16777216 bytes"})
        EXPECT_TRUE(std::ranges::any_of(r.warnings, [&](const std::string& s) { return s.find(w) != std::string::npos; })) << w;

    // Tables nested deeper than the limit are left out; the rest reads.
    std::string deep = "{\\rtf1 before";
    for (int level = 1; level <= kRtfMaxTableDepth + 3; ++level)
        deep += "\\pard\\intbl\\itap" + std::to_string(level) + " level" + std::to_string(level) + "\\par";
    const QString text = ReadRtf(deep + "\\pard after}").document->toPlainText();
    EXPECT_TRUE(text.contains("level8") && text.contains("after") && text.contains("before"));
    EXPECT_FALSE(text.contains("level9"));
}

}  // namespace
}  // namespace qor
