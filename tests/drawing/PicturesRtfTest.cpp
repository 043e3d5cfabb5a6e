// PrPaintPicture, PrRTF and PrRTFFile on a real surface, read back from the PDF.
#include <qor/RtfText.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>

#include "drawing/DrawingFixture.h"
#include "support/Errors.h"

namespace qor::test {
namespace {

constexpr double kTol = 0.3;  // mm

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
    // Right and bottom edges of each picture: red just inside, white just outside.
    const std::pair<double, double> corners[] = {{25 + w, 35 + h}, {65, 125}, {125, 45}, {135, 135}};
    for (const auto& [x, y] : corners) {
        EXPECT_TRUE(IsRed(At(page, x - 0.5, y - 0.5))) << x << "," << y;
        EXPECT_FALSE(IsRed(At(page, x + 0.5, y - 1)) || IsRed(At(page, x - 1, y + 0.5))) << x << "," << y;
    }
    EXPECT_TRUE(IsRed(At(page, 25.5, 35.5)) && IsRed(At(page, 105.5, 105.5)));
}

struct BrokenRtf : RtfSource {
    std::string TextRTF() const override { throw RuntimeError(kErrNotSupported); }
};

TEST_F(PicturesTest, RichTextAtTheCurrentPositionBetweenTheMarginsOfTheCall) {
    surface.CurrentY(GenServices().MmToTwips(30));
    lib.PrRTF(RtfText("{\\rtf1\\ansi Hello rich world}"));
    std::string words;
    for (int i = 0; i < 80; ++i) words += " word" + std::to_string(i);
    lib.PrRTF(RtfText("{\\rtf1\\ansi\\b Start\\b0 " + words + "}"), 50, 20, 20);
    EXPECT_DOUBLE_EQ(surface.MarginLeft(), GenServices().MmToTwips(10));  // restored after the call
    EXPECT_DOUBLE_EQ(surface.MarginRight(), GenServices().MmToTwips(10));
    // Errors reach the caller, and leave the margins as the call set them.
    ExpectRuntimeError(kErrNotSupported, [&] { lib.PrRTF(BrokenRtf(), 0, 30, 30); });
    EXPECT_DOUBLE_EQ(surface.MarginLeft(), GenServices().MmToTwips(30));
    EXPECT_NEAR(FindWord("Hello").Left(), 10, kTol);  // no 5 mm offset for rich text
    EXPECT_NEAR(FindWord("Hello").Top(), 30, 1.0);
    EXPECT_NEAR(FindWord("Start").Left(), 20, kTol);
    EXPECT_NEAR(FindWord("Start").Top(), 50, 1.0);
    double right = 0;
    for (const Word& w : Words()) right = std::max(right, w.Right());
    EXPECT_LE(right, 190 + kTol);
    EXPECT_GT(right, 170);
}

TEST_F(PicturesTest, RtfFileIsPrintedAndAMissingOneShowsOneMessage) {
    MessageLog log;
    TempDir dir;
    const std::vector<Message>& seen = log.seen;
    const std::string missing = dir.File("missing.rtf");
    lib.PrRTFFile(missing);
    lib.PrRTFFile(dir.File(""));  // a folder is no file either
    EXPECT_FALSE(surface.AutoRTF());
    ASSERT_EQ(seen.size(), 2u);
    const std::string sep = GenServices().MessageSeparator;
    const std::string detail = GetText(1010) + sep + missing;
    EXPECT_EQ(seen[0].text, GetText(1005) + sep + detail + sep + GetText(9700));
    EXPECT_EQ(GenServices().LastErrorText, GetText(1010) + sep + dir.File(""));

    WriteFile(dir.File("note.rtf"), "{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Arial;}}\\f0\\fs20 From a file\\par}");
    surface.CurrentY(GenServices().MmToTwips(60));
    lib.PrRTFFile(dir.File("note.rtf"));
    EXPECT_TRUE(surface.AutoRTF());
    ASSERT_EQ(Words().size(), 3u);
    EXPECT_NEAR(FindWord("From").Top(), 60, 1.0);
}

}  // namespace
}  // namespace qor::test
