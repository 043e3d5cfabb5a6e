// Documents written as PDF and read back with poppler (pdftotext, pdffonts, pdftoppm,
// pdfimages) and checked with qpdf.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

#include <fstream>
#include <sstream>
#include <thread>

#include "qor/Picture.h"
#include "qor/RuntimeError.h"
#include "qor/VSPDF.h"
#include "qor/VSPrinter.h"
#include "surface/DocumentAccess.h"
#include "surface/support/PdfTools.h"

namespace qor {
namespace {

using test::kPtPerMm;
using test::kTwipsPerMm;
using test::PdfWords;
using test::QpdfCheck;
using test::Quote;
using test::Shell;
using test::TempDir;

constexpr double kMmTolerancePt = 0.1 * kPtPerMm;

// Writes the document and checks the file with qpdf.
void Convert(const VSPrinter& p, const std::string& file) {
    VSPDF pdf;
    pdf.ConvertDocument(p, file);
    std::string report;
    EXPECT_TRUE(QpdfCheck(file, &report)) << report;
}

const test::Word* Find(const std::vector<test::Word>& words, const std::string& text) {
    for (const auto& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

// Dark pixels of a grey rendering at 10 pixels per millimetre.
QImage Render(const std::string& pdf, int page) {
    TempDir dir;
    std::string base = dir.File("r");
    Shell("pdftoppm -r 254 -gray -f " + std::to_string(page) + " -l " + std::to_string(page) +
        " -singlefile " + Quote(pdf) + " " + Quote(base));
    return QImage(QString::fromStdString(base + ".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

TEST(Pdf, TextBoxAndBoldTextLandWhereTheyWereDrawn) {
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.Font().Name = "Arial";
    p.Font().Size = 9;
    p.CurrentX(15 * kTwipsPerMm);
    p.CurrentY(25 * kTwipsPerMm);
    p.Text("Hello");
    p.Font().Bold = true;
    p.Font().Size = 12;
    p.CurrentX(100 * kTwipsPerMm);
    p.CurrentY(50 * kTwipsPerMm);
    p.Text("Bold");
    p.PenWidth(10);
    p.BrushStyle(1);
    p.DrawRectangle(20 * kTwipsPerMm, 100 * kTwipsPerMm, 50 * kTwipsPerMm, 130 * kTwipsPerMm);
    p.EndDoc();
    std::string file = dir.File("pos.pdf");
    Convert(p, file);

    auto pages = PdfWords(file);
    ASSERT_EQ(pages.size(), 1u);
    const test::Word* hello = Find(pages[0], "Hello");
    ASSERT_NE(hello, nullptr);
    EXPECT_NEAR(hello->xMin, 15 * kPtPerMm, kMmTolerancePt);
    EXPECT_NEAR(hello->yMin, 25 * kPtPerMm, kMmTolerancePt);
    EXPECT_NEAR(hello->xMax - hello->xMin, VSPrinter().TextWidth("Hello") / 20, 0.05);
    const test::Word* bold = Find(pages[0], "Bold");
    ASSERT_NE(bold, nullptr);
    EXPECT_NEAR(bold->xMin, 100 * kPtPerMm, kMmTolerancePt);
    EXPECT_NEAR(bold->yMin, 50 * kPtPerMm, kMmTolerancePt);
    EXPECT_NEAR(bold->yMax - bold->yMin, p.TextHeight("Bold") / 20, 0.05);
    // Making a PDF needs no application object.
    EXPECT_EQ(QCoreApplication::instance(), nullptr);

    // The box: at 10 px/mm its edges are dark at columns 200 and 500, rows 1000 and 1300.
    QImage img = Render(file, 1);
    ASSERT_FALSE(img.isNull());
    auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(200, 1150));
    EXPECT_TRUE(dark(500, 1150));
    EXPECT_TRUE(dark(350, 1000));
    EXPECT_TRUE(dark(350, 1300));
    EXPECT_FALSE(dark(350, 1150));   // transparent inside
    EXPECT_FALSE(dark(195, 1150));
    EXPECT_FALSE(dark(505, 1150));
}

TEST(Pdf, FontsAreEmbeddedSubsetsAndTextExtractsExactly) {
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    const std::string lines[] = {
        "Ça coûte 12,50 € — déjà vu",
        "Größe ñ ø Ω (paren) back\\slash",
        "Bien reçu \xE2\x9C\x93 merci",   // the check mark comes from a fallback font
    };
    double y = 2000;
    for (const auto& line : lines) {
        p.CurrentX(1500);
        p.CurrentY(y);
        p.Text(line);
        y += 400;
    }
    p.Font().Name = "Times New Roman";
    p.Font().Italic = true;
    p.CurrentX(1500);
    p.CurrentY(y);
    p.Text("Serif italic line");
    p.EndDoc();
    std::string file = dir.File("fonts.pdf");
    Convert(p, file);

    std::string text = test::PdfText(file);
    for (const auto& line : lines) EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_NE(text.find("Serif italic line"), std::string::npos) << text;

    // pdffonts: name, type, encoding, emb, sub, uni, object, generation.
    std::string fonts = Shell("pdffonts " + Quote(file));
    std::vector<std::string> names;
    std::istringstream fontLines(fonts);
    for (std::string line; std::getline(fontLines, line);) {
        std::istringstream f(line);
        std::string name, type1, type2, encoding, emb, sub, uni;
        f >> name >> type1 >> type2 >> encoding >> emb >> sub >> uni;
        if (type1 != "CID" || type2 != "TrueType") continue;
        EXPECT_EQ(encoding, "Identity-H") << line;
        EXPECT_EQ(emb + sub + uni, "yesyesyes") << line;
        ASSERT_GT(name.size(), 7u) << line;
        EXPECT_EQ(name[6], '+') << line;
        for (int i = 0; i < 6; ++i) EXPECT_TRUE(name[i] >= 'A' && name[i] <= 'Z') << line;
        names.push_back(name.substr(7));
    }
    EXPECT_EQ(names.size(), 3u) << fonts;
    EXPECT_NE(std::find(names.begin(), names.end(), "LiberationSans"), names.end()) << fonts;
    EXPECT_NE(std::find(names.begin(), names.end(), "LiberationSerif-Italic"), names.end()) << fonts;
    // Subsets are small: far below the 400 KB of the font files.
    EXPECT_LT(std::filesystem::file_size(file), 60000u);
}

TEST(Pdf, PagesKeepTheirPaperAndARangeWritesOnlyItsPages) {
    TempDir dir;
    VSPrinter p;
    p.PaperSize(9);
    p.StartDoc();
    p.Text("first");
    p.Orientation(1);
    p.NewPage();
    p.Text("second");
    p.PaperSize(5);
    p.Orientation(0);
    p.NewPage();
    p.Text("third");
    p.EndDoc();
    std::string all = dir.File("all.pdf");
    Convert(p, all);
    std::string info = Shell("pdfinfo -f 1 -l 3 " + Quote(all));
    EXPECT_NE(info.find("Page    1 size:  595.276 x 841.89 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    2 size:  841.89 x 595.276 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page    3 size:  612 x 1008 pts"), std::string::npos) << info;

    std::string some = dir.File("some.pdf");
    surface::WritePdf(p, some, {3, 1});
    EXPECT_TRUE(QpdfCheck(some));
    auto pages = PdfWords(some);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(pages[0][0].text, "third");
    EXPECT_EQ(pages[1][0].text, "first");
    EXPECT_THROW(surface::WritePdf(p, dir.File("bad.pdf"), {4}), RuntimeError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.pdf")));
}

TEST(Pdf, AFailedWriteLeavesNoFileAndKeepsTheOldOne) {
    TempDir dir;
    VSPrinter p;
    p.StartDoc();
    p.Text("content");
    p.EndDoc();

    // Parent is not a folder.
    std::ofstream(dir.File("plain")) << "x";
    try {
        VSPDF().ConvertDocument(p, dir.File("plain") + "/out.pdf");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 75);
        EXPECT_NE(std::string(e.what()).find("out.pdf"), std::string::npos);
    }
    // Target is a folder: the rename fails after the whole file was written.
    std::filesystem::create_directory(dir.File("folder.pdf"));
    EXPECT_THROW(VSPDF().ConvertDocument(p, dir.File("folder.pdf")), RuntimeError);
    // No document: the existing file stays as it was.
    std::ofstream(dir.File("old.pdf")) << "old";
    VSPrinter empty;
    EXPECT_THROW(VSPDF().ConvertDocument(empty, dir.File("old.pdf")), RuntimeError);
    std::ifstream in(dir.File("old.pdf"));
    std::string old((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(old, "old");

    // Nothing but what we made ourselves is left in the folder.
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder.pdf", "old.pdf", "plain"}));
}

TEST(Pdf, PicturesAreEmbeddedLosslesslyAndJpegUnchanged) {
    TempDir dir;
    QImage png(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) png.setPixel(x, y, qRgb(x * 6, y * 12, (x * y) % 256));
    png.setDotsPerMeterX(3780);   // 96 dpi
    png.setDotsPerMeterY(3780);
    ASSERT_TRUE(png.save(QString::fromStdString(dir.File("in.png"))));
    QImage jpg(64, 48, QImage::Format_RGB32);
    jpg.fill(qRgb(200, 30, 60));
    ASSERT_TRUE(jpg.save(QString::fromStdString(dir.File("in.jpg")), "JPEG", 90));

    Picture pngPic = Picture::FromFile(dir.File("in.png"));
    Picture jpgPic = Picture::FromFile(dir.File("in.jpg"));
    EXPECT_FALSE(pngPic.IsJpeg());
    EXPECT_TRUE(jpgPic.IsJpeg());
    EXPECT_NEAR(pngPic.WidthTwips(), 40 * 15.0, 1);   // 96 dpi: 15 twips a pixel

    VSPrinter p;
    p.StartDoc();
    p.DrawPicture(pngPic, 1440, 1440);
    p.DrawPicture(jpgPic, 1440, 4000, 2880);           // width only: height follows
    p.DrawPicture(pngPic, 6000, 1440);                 // the same picture again: one image
    p.EndDoc();
    std::string file = dir.File("pics.pdf");
    Convert(p, file);

    std::string list = Shell("pdfimages -list " + Quote(file));
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 2 + 3) << list;   // header + 3 uses
    EXPECT_NE(list.find("jpeg"), std::string::npos) << list;

    // The JPEG file's bytes are in the PDF as they are.
    std::ifstream pdfIn(file, std::ios::binary), jpgIn(dir.File("in.jpg"), std::ios::binary);
    std::string pdfBytes((std::istreambuf_iterator<char>(pdfIn)), {});
    std::string jpgBytes((std::istreambuf_iterator<char>(jpgIn)), {});
    EXPECT_NE(pdfBytes.find(jpgBytes), std::string::npos);

    // The PNG comes back pixel for pixel.
    Shell("pdfimages -png -f 1 -l 1 " + Quote(file) + " " + Quote(dir.File("out")));
    QImage back(QString::fromStdString(dir.File("out-000.png")));
    ASSERT_EQ(back.size(), png.size());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(back.pixel(x, y) & 0xFFFFFF, png.pixel(x, y) & 0xFFFFFF);

    // Natural size and the aspect ratio of a width-only size.
    auto pages = surface::DocumentOf(p).pages;
    ASSERT_EQ(pages[0].records.size(), 3u);
    EXPECT_EQ(pages[0].records[0].v[2], 600);
    EXPECT_EQ(pages[0].records[0].v[3], 300);
    EXPECT_EQ(pages[0].records[1].v[2], 2880);
    EXPECT_EQ(pages[0].records[1].v[3], 2160);
}

TEST(Pdf, DocumentsOnSeveralThreadsDoNotInterfere) {
    TempDir dir;
    const char* families[] = {"DejaVu Sans", "Liberation Mono", "DejaVu Serif", "Liberation Serif"};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            VSPrinter p;
            p.StartDoc();
            p.Font().Name = families[t];
            p.Font().Bold = t % 2;
            for (int i = 0; i < 200; ++i) {
                if (i % 50 == 0 && i) p.NewPage();
                p.CurrentX(1000);
                p.CurrentY(1000 + (i % 50) * 250);
                p.Text("thread " + std::to_string(t) + " line " + std::to_string(i) + " \xE2\x9C\x93");
            }
            p.EndDoc();
            VSPDF().ConvertDocument(p, dir.File("t" + std::to_string(t) + ".pdf"));
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t) {
        std::string file = dir.File("t" + std::to_string(t) + ".pdf");
        EXPECT_TRUE(QpdfCheck(file));
        std::string text = test::PdfText(file);
        EXPECT_NE(text.find("thread " + std::to_string(t) + " line 199 \xE2\x9C\x93"), std::string::npos);
        EXPECT_EQ(text.find("thread " + std::to_string((t + 1) % 4) + " "), std::string::npos);
    }
}

TEST(Pdf, PictureErrors) {
    TempDir dir;
    try {
        Picture::FromFile(dir.File("missing.png"));
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
    try {
        Picture::FromBytes("not a picture at all");
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 481);
    }
    VSPrinter p;
    p.StartDoc();
    p.DrawPicture(Picture(), 0, 0);   // null: nothing
    EXPECT_TRUE(surface::DocumentOf(p).pages[0].records.empty());
}

}  // namespace
}  // namespace qor
