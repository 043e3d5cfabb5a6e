// PrPaintPicture, PrRTF and PrRTFFile on a real surface, read back from the PDF.
#include <fstream>

#include <QBuffer>
#include <QByteArray>

#include <qor/Picture.h>
#include <qor/RtfText.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.3;  // mm

// A 100 x 50 pixel picture at 96 dpi (26.46 x 13.23 mm), red.
Picture RedPicture() {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Picture::FromBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool IsRed(const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }

using PicturesTest = DrawingTest;

TEST_F(PicturesTest, PictureAtItsNaturalSizeOrScaled) {
    Picture picture = RedPicture();
    const double w = 100 * 25.4 / 96, h = 50 * 25.4 / 96;
    lib.PrPaintPicture(picture, 20, 30);
    lib.PrPaintPicture(picture, 20, 100, 40);     // width only: height follows
    lib.PrPaintPicture(picture, 100, 30, 0, 10);  // height only: width follows
    lib.PrPaintPicture(picture, 100, 100, 30, 30);
    const QImage page = Render();
    EXPECT_TRUE(IsRed(At(page, 25.5, 35.5)));
    EXPECT_TRUE(IsRed(At(page, 25 + w - 0.5, 35 + h - 0.5)));
    EXPECT_FALSE(IsRed(At(page, 25 + w + 0.5, 36)));
    EXPECT_FALSE(IsRed(At(page, 26, 35 + h + 0.5)));
    EXPECT_FALSE(IsRed(At(page, 24.5, 36)));

    EXPECT_TRUE(IsRed(At(page, 25 + 39.5, 105 + 19.5)));
    EXPECT_FALSE(IsRed(At(page, 25 + 40.5, 106)));
    EXPECT_FALSE(IsRed(At(page, 26, 105 + 20.5)));

    EXPECT_TRUE(IsRed(At(page, 105 + 19.5, 35 + 9.5)));
    EXPECT_FALSE(IsRed(At(page, 105 + 20.5, 36)));

    EXPECT_TRUE(IsRed(At(page, 105 + 29.5, 105 + 29.5)));
    EXPECT_FALSE(IsRed(At(page, 105 + 30.5, 106)));
}

TEST_F(PicturesTest, RichTextAtTheCurrentPositionWithinTheMargins) {
    surface.CurrentY(GenServices().MmToTwips(100));
    lib.PrRTF(RtfText("{\\rtf1\\ansi Hello rich world}"));
    EXPECT_NEAR(Word("Hello").left, 10, kTol);
    EXPECT_NEAR(Word("Hello").top, 100, 1.0);
    EXPECT_DOUBLE_EQ(surface.MarginLeft(), GenServices().MmToTwips(10));
    EXPECT_DOUBLE_EQ(surface.MarginRight(), GenServices().MmToTwips(10));
}

TEST_F(PicturesTest, RichTextBetweenMarginsOfThisCallOnly) {
    std::string words;
    for (int i = 0; i < 80; ++i) words += " word" + std::to_string(i);
    lib.PrRTF(RtfText("{\\rtf1\\ansi\\b Start\\b0 " + words + "}"), 50, 20, 20);
    EXPECT_DOUBLE_EQ(surface.MarginLeft(), GenServices().MmToTwips(10));
    EXPECT_DOUBLE_EQ(surface.MarginRight(), GenServices().MmToTwips(10));
    EXPECT_NEAR(Word("Start").left, 20, kTol);  // no 5 mm offset for rich text
    EXPECT_NEAR(Word("Start").top, 50, 1.0);
    double right = 0;
    for (const PdfWord& w : Words()) right = std::max(right, w.right);
    EXPECT_LE(right, 190 + kTol);
    EXPECT_GT(right, 170);
}

struct BrokenRtf : RtfSource {
    std::string TextRTF() const override { throw RuntimeError(kErrNotSupported); }
};

TEST_F(PicturesTest, RichTextErrorsReachTheCaller) {
    EXPECT_THROW(lib.PrRTF(BrokenRtf(), 0, 30, 30), RuntimeError);
    EXPECT_DOUBLE_EQ(surface.MarginLeft(), GenServices().MmToTwips(30));  // left as the call set it
}

TEST_F(PicturesTest, RtfFileIsPrintedIntoTheDocument) {
    const std::string file = File("note.rtf");
    std::ofstream(file) << "{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 From a file\\par}";
    surface.CurrentY(GenServices().MmToTwips(60));
    lib.PrRTFFile(file);
    EXPECT_TRUE(surface.AutoRTF());
    EXPECT_NEAR(Word("From").top, 60, 1.0);
}

TEST_F(PicturesTest, MissingRtfFileShowsOneMessageAndPrintsNothing) {
    std::vector<Message> seen;
    ScopedMessageObserver watch([&](const Message& m) {
        seen.push_back(m);
        return std::optional<int32_t>(kAnswerOk);
    });
    const std::string missing = File("missing.rtf");
    lib.PrRTFFile(missing);
    lib.PrRTFFile(File(""));  // a folder is no file either
    ASSERT_EQ(seen.size(), 2u);
    const std::string sep = GenServices().MessageSeparator;
    const std::string detail = GetText(1010) + sep + missing;
    EXPECT_EQ(seen[0].text, GetText(1005) + sep + detail + sep + GetText(9700));
    EXPECT_EQ(seen[0].style, 16);
    EXPECT_EQ(seen[0].title, "Print RTF");
    EXPECT_EQ(GenServices().LastErrorText, GetText(1010) + sep + File(""));
    EXPECT_FALSE(surface.AutoRTF());
    EXPECT_TRUE(Words().empty());
}

TEST_F(PicturesTest, NothingHappensInExcelMode) {
    modqorPrintLib().ExcelMode = true;
    int messages = 0;
    ScopedMessageObserver watch([&](const Message&) {
        ++messages;
        return std::optional<int32_t>(kAnswerOk);
    });
    Picture picture = RedPicture();
    lib.PrPaintPicture(picture, 20, 30);
    lib.PrRTF(RtfText("{\\rtf1\\ansi Hidden}"));
    lib.PrRTFFile(File("missing.rtf"));
    EXPECT_EQ(messages, 0);
    EXPECT_TRUE(Words().empty());
    EXPECT_FALSE(IsRed(At(Render(), 26, 36)));
}

}  // namespace
}  // namespace qor::test
