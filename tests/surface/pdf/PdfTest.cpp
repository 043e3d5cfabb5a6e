// Documents written as PDF and read back with poppler (pdftotext, pdffonts, pdfinfo,
// pdfimages) and checked with qpdf. Where text lands on the page is read back by the
// drawing tests.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>

#include <filesystem>

#include "qor/Picture.h"
#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/Fonts.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Pdf.h"

namespace qor {
namespace {

using test::Quote;
using test::Shell;
using test::TempDir;

// Writes the document and checks the file with qpdf.
void Convert(const VSPrinter& p, const std::string& file) {
    VSPDF().ConvertDocument(p, file);
    std::string report;
    EXPECT_TRUE(test::QpdfCheck(file, &report)) << report;
}

std::string Utf8(char32_t cp) { return QString::fromUcs4(&cp, 1).toStdString(); }

TEST(Pdf, FontsAreEmbeddedSubsetsAndTextExtractsExactly) {
    // Glyph ids with a byte that must be escaped in a PDF string: \r ( ) \ \n.
    const auto& face = surface::FontRegistry::Instance().Face(surface::FontRegistry::Instance().Resolve("Arial", false, false));
    std::string delimiters;
    for (unsigned char special : {'\r', '(', ')', '\\', '\n'})
        for (char32_t cp = 0x21; cp < 0x3000; ++cp)
            if (face.Glyph(cp) && (face.Glyph(cp) & 0xFF) == special && cp != 0xAD && !surface::IsControl(cp)) {
                delimiters += Utf8(cp);
                break;
            }
    // Greek and Latin-1/Extended-A: more than 100 glyphs of one font (several ToUnicode
    // blocks), and two characters above U+FFFF (surrogate pairs in the map).
    std::string greek, latin;
    for (char32_t cp = 0x391; cp <= 0x3A9; ++cp)
        if (cp != 0x3A2) greek += Utf8(cp);
    for (char32_t cp = 0xC0; cp <= 0x17F; ++cp) latin += Utf8(cp);
    std::vector<std::string> lines = {
        "Ça coûte 12,50 € — déjà vu", "Größe (paren) back\\slash", "Bien reçu \xE2\x9C\x93 merci",  // a fallback font
        "x" + delimiters + "y", greek, "[" + Utf8(0x1D400) + Utf8(0x1D401) + "]",
    };
    for (size_t i = 0; i < latin.size(); i += 40) lines.push_back(latin.substr(i, 40));
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    for (size_t i = 0; i < lines.size(); ++i) {
        p.CurrentX(1500);
        p.CurrentY(1500 + 400 * double(i));
        p.Text(lines[i]);
    }
    p.Font().Name = "Times New Roman";
    p.Font().Italic = true;
    p.Text("Serif italic\tline");  // the tab is not drawn
    p.EndDoc();
    const std::string file = dir.File("fonts.pdf");
    Convert(p, file);
    EXPECT_EQ(QCoreApplication::instance(), nullptr) << "making a PDF needs no application object";

    const std::string text = test::PdfText(file);
    lines.push_back("Serif italicline");
    for (const auto& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

    // pdffonts: subset name, type, encoding, embedded, subset, ToUnicode: Arial, Times italic,
    // and the fallbacks for the check mark and for the mathematical A and B.
    const std::string fonts = Shell("pdffonts " + Quote(file));
    const std::string row = " CID TrueType      Identity-H       yes yes yes";
    int embedded = 0;
    for (size_t at = fonts.find(row); at != std::string::npos; at = fonts.find(row, at + 1)) ++embedded;
    EXPECT_EQ(embedded, 4) << fonts;
    EXPECT_NE(fonts.find("+LiberationSerif-Italic "), std::string::npos) << fonts;
    EXPECT_LT(std::filesystem::file_size(file), 60000u) << "subsets: far below the 400 KB of the font files";
}

TEST(Pdf, PagesKeepTheirPaperAndARangeWritesOnlyItsPages) {
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.Text("first");
    p.Orientation(1);
    p.NewPage();   // A4 landscape
    p.PaperSize(5);
    p.Orientation(0);
    p.NewPage();   // legal
    p.Text("third");
    const std::string all = dir.File("all.pdf");
    Convert(p, all);
    const std::string info = Shell("pdfinfo -f 1 -l 3 " + Quote(all));
    EXPECT_NE(info.find("Page    1 size:  595.276 x 841.89 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    2 size:  841.89 x 595.276 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    3 size:  612 x 1008 pts"), std::string::npos) << info;

    const std::string some = dir.File("some.pdf");
    surface::WritePdf(p, some, {3, 1});
    EXPECT_TRUE(test::QpdfCheck(some));
    EXPECT_EQ(test::PdfText(some), "third\n\ffirst\n\f");
    test::ExpectRuntimeError(9, [&] { surface::WritePdf(p, dir.File("bad.pdf"), {4}); });

    // Failed writes leave no file behind and an existing file as it was.
    std::filesystem::create_directory(dir.File("folder.pdf"));   // the rename fails at the end
    EXPECT_THROW(VSPDF().ConvertDocument(p, dir.File("folder.pdf")), RuntimeError);
    test::WriteFile(dir.File("old.pdf"), "old");
    EXPECT_THROW(VSPDF().ConvertDocument(VSPrinter(), dir.File("old.pdf")), RuntimeError);
    EXPECT_EQ(test::ReadFile(dir.File("old.pdf")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4) << "no temporary file left";
}

TEST(Pdf, PicturesAreEmbeddedLosslesslyAndJpegUnchanged) {
    TempDir dir;
    QImage png(40, 20, QImage::Format_RGB32), jpg(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) png.setPixel(x, y, qRgb(x * 6, y * 12, (x * y) % 256));
    png.setDotsPerMeterX(3780);   // 96 dpi: 15 twips a pixel
    png.setDotsPerMeterY(3780);
    jpg.fill(qRgb(200, 30, 60));
    ASSERT_TRUE(png.save(QString::fromStdString(dir.File("in.png"))) &&
                jpg.save(QString::fromStdString(dir.File("in.jpg")), "JPEG", 90));
    const Picture pngPic = Picture::FromFile(dir.File("in.png")), jpgPic = Picture::FromFile(dir.File("in.jpg"));
    test::ExpectRuntimeError(481, [] { Picture::FromBytes("not a picture at all"); });

    VSPrinter p;
    p.StartDoc();
    p.DrawPicture(pngPic, 1440, 1440);
    p.DrawPicture(jpgPic, 1440, 4000, 2880);   // width only: height follows
    p.DrawPicture(pngPic, 6000, 1440);         // the same picture again: one image
    p.DrawPicture(Picture(), 0, 0);            // null: nothing
    p.EndDoc();
    const std::string file = dir.File("pics.pdf");
    Convert(p, file);

    const std::string list = Shell("pdfimages -list " + Quote(file));
    EXPECT_EQ(std::ranges::count(list, '\n'), 2 + 3) << list;   // header + 3 uses
    EXPECT_NE(test::ReadFile(file).find(test::ReadFile(dir.File("in.jpg"))), std::string::npos)
        << "the JPEG file's bytes are in the PDF as they are";
    Shell("pdfimages -png -f 1 -l 1 " + Quote(file) + " " + Quote(dir.File("out")));
    const QImage back(QString::fromStdString(dir.File("out-000.png")));
    ASSERT_EQ(back.size(), png.size());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(back.pixel(x, y) & 0xFFFFFF, png.pixel(x, y) & 0xFFFFFF);
}

}  // namespace
}  // namespace qor
