// PrBookmark and PrCreationDate on documents drawn by hand and written in PDF mode.
#include <cstdlib>

#include <gtest/gtest.h>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/VSPrinter.h>
#include <qor/clsqorPrintLib.h>

#include "core/ModuleState.h"
#include "surface/DocumentAccess.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/PdfOutline.h"

namespace qor::test {

class BookmarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QORPRINT_UNATTENDED", "1", 1);
        modqorPrintLib().Reset();
        GenServices().Unattended = true;
    }
    void TearDown() override {
        unsetenv("SOURCE_DATE_EPOCH");
        modqorPrintLib().Reset();
    }

    // A two-page document in PDF mode written to `file`, marked by `mark` on each page.
    void Write(const std::string& file, const std::function<void(int page)>& mark) {
        ASSERT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, file));
        for (int page = 1; page <= 2; ++page) {
            if (page > 1) lib.PrNewPage();
            lib.PrItem(20, 100, Variant("page " + std::to_string(page)), frmtText, 0);
            mark(page);
        }
        ASSERT_TRUE(lib.PrEndDoc());
    }

    clsqorPrintLib lib;
    TempDir dir;
};

TEST_F(BookmarkTest, TitlesLevelsAndPlacesReachThePdf) {
    const std::string pdf = dir.File("marks.pdf");
    Write(pdf, [&](int page) {
        if (page == 1) {
            lib.PrBookmark("Chapter (1) \\ one", 100);
            lib.PrBookmark("Liège €", 150, 3);  // two levels deeper than its parent: its child
            ExpectRuntimeError(kErrInvalidCall, [&] { lib.PrBookmark("none", 10, 0); });
        } else {
            lib.PrBookmark("Deux", 50, 2);
            lib.PrBookmark("Three", 0, 1);
        }
    });
    std::string report;
    EXPECT_TRUE(QpdfCheck(pdf, &report)) << report;
    const std::vector<PdfBookmark> outline = PdfOutline(pdf);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[0].title, "Chapter (1) \\ one");
    EXPECT_EQ(outline[0].page, 1);
    EXPECT_NEAR(outline[0].top, 105, 0.05);
    ASSERT_EQ(outline[0].kids.size(), 2u);
    EXPECT_EQ(outline[0].kids[0].title, "Liège €");
    EXPECT_NEAR(outline[0].kids[0].top, 155, 0.05);
    EXPECT_EQ(outline[0].kids[1].title, "Deux");
    EXPECT_EQ(outline[0].kids[1].page, 2);
    EXPECT_EQ(outline[1].title, "Three");
    EXPECT_EQ(outline[1].page, 2);
    EXPECT_NEAR(outline[1].top, 5, 0.05);
    EXPECT_NE(ReadFile(pdf).find("/PageMode /UseOutlines"), std::string::npos);
}

// Pages left out of a file take their entries along; an entry whose parent is left out moves
// up to the level of that parent.
TEST_F(BookmarkTest, EntriesOfPagesNotWrittenAreLeftOut) {
    VSPrinter p;
    p.StartDoc();
    surface::AddBookmark(p, 0, "A", 100);
    p.NewPage();
    surface::AddBookmark(p, 1, "B", 200);
    surface::AddBookmark(p, 0, "C", 300);
    p.EndDoc();
    const std::string pdf = dir.File("page2.pdf");
    WriteFile(pdf, surface::WritePdfToString(p, {2}));
    const std::vector<PdfBookmark> outline = PdfOutline(pdf);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[0].title, "B");
    EXPECT_EQ(outline[0].page, 1);
    EXPECT_EQ(outline[1].title, "C");
    EXPECT_TRUE(outline[0].kids.empty());
}

// PrCreationDate fixes the date, before SOURCE_DATE_EPOCH, so two runs write the same bytes.
TEST_F(BookmarkTest, CreationDateMakesFilesReproducible) {
    setenv("SOURCE_DATE_EPOCH", "1767225600", 1);
    lib.PrCreationDate = 1700000000;  // 2023-11-14 22:13:20 UTC
    const std::string first = dir.File("first.pdf"), second = dir.File("second.pdf");
    Write(first, [](int) {});
    Write(second, [](int) {});
    const std::string bytes = ReadFile(first);
    EXPECT_EQ(bytes, ReadFile(second));
    EXPECT_NE(bytes.find("/CreationDate (D:20231114221320Z)"), std::string::npos);
    EXPECT_EQ(bytes.find("/Outlines"), std::string::npos);

    lib.PrCreationDate = -1;  // SOURCE_DATE_EPOCH again
    Write(first, [](int) {});
    EXPECT_NE(ReadFile(first).find("/CreationDate (D:20260101000000Z)"), std::string::npos);
}

}  // namespace qor::test
