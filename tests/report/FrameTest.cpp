// The page frame: lines per page, the column-width question, title band and foot lines, and
// the errors that end a run.
#include "report/ReportFixture.h"

#include <ctime>
#include <filesystem>

#include <qor/Texts.h>

namespace qor::test {

namespace {

// `count` rows "R1", "R2", ... in one field "name".
std::shared_ptr<MemoryRecordset> Numbered(int count) {
    Rows rows;
    for (int i = 1; i <= count; ++i) rows.push_back({"R" + std::to_string(i)});
    return MakeRows({"name"}, std::move(rows));
}

}  // namespace

using FrameTest = ReportTest;

TEST_F(FrameTest, FullPageHolds61LinesInPortraitAnd40InLandscape) {
    struct Case {
        int32_t orient;
        float width;
        int perPage;
        double lastTop;
    };
    for (const Case& c : {Case{1, 180, 61, 270.4}, Case{2, 270, 40, 186.4}}) {
        SCOPED_TRACE(c.orient);
        clsRapport& r = Report(c.orient);
        r.SetCol(0, c.width, "Name", "name", frmtText, 0);
        r.SetRt(Numbered(c.perPage + 1));
        r.EndDoc();
        ASSERT_EQ(Pages(), 2);
        EXPECT_NEAR(Y(One("R1")), 30.4, 0.6);
        const Word last = One("R" + std::to_string(c.perPage));
        EXPECT_NEAR(Y(last), c.lastTop, 0.6);
        EXPECT_NEAR(Y(One("R" + std::to_string(c.perPage + 1), 2)), 30.4, 0.6);
        EXPECT_NEAR(Y(One("NAME", 2)), Y(One("NAME", 1)), 0.01);  // every page has its captions
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(FrameTest, WidthQuestionOnPageOneOnlyAndNoEndsTheRunWithoutOutput) {
    clsRapport& r = Report();
    r.SetCol(0, 40, "A", "name", frmtText, 0);
    r.SetCol(1, 60, "B", "name", frmtText, 0);
    r.SetCol(2, 70, "C", "name", frmtText, 0);
    r.SetRt(Numbered(1));
    answer = kAnswerNo;
    PreviewSurface().KillDoc();
    EXPECT_TRUE(r.EndDoc().IsEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Kolombreedtes :  Er blijft 10 mm vrije ruimte over...\n\nDoorgaan met afdrukken ?");
    EXPECT_EQ(messages[0].style, 36);
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    EXPECT_TRUE(PreviewSurface().IsDocOpen());  // left open until the next document

    // Too wide, in a Dutch locale, over three pages: one question; Yes writes the report.
    messages.clear();
    answer = kAnswerYes;
    r.SetCol(2, 82.5f, "C", "name", frmtText, 0);
    r.SetRt(Numbered(150));
    r.EndDoc();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Kolombreedtes :  U heeft 2,5 mm te veel opgegeven.\n\nDoorgaan met afdrukken ?");
    EXPECT_EQ(Pages(), 3);

    messages.clear();
    GenServices().NoLayoutCheck = true;
    r.EndDoc();
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameTest, EmptyRecordSetGivesTheEmptyReportMessageAndOpensNoDocument) {
    clsRapport& r = Report();
    r.Title = "Invoices";
    r.SetRt(MakeRows({"name"}, {}));
    PreviewSurface().KillDoc();
    EXPECT_TRUE(r.EndDoc().IsEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, GetText(1050) + " [Invoices]" + GetText(1051));
    EXPECT_FALSE(PreviewSurface().IsDocOpen());
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
}

TEST_F(FrameTest, TitleBandFootLinesAndPageNumbers) {
    clsRapport& r = Report(1, true);
    r.SubTitle = "Second";
    r.FootNote = "Confidential";
    r.SetCol(0, 180, "Name", "name", frmtText, 0);
    r.SetRt(Numbered(130));
    r.EndDoc();
    ASSERT_EQ(Pages(), 3);
    EXPECT_EQ(r.Title, " ");  // handed over by reference: the blank PrItem made of it
    EXPECT_NEAR(Right(One("3", 3)), 190, 0.3);
    EXPECT_NEAR(Y(One("Page", 3)), 276, 0.6);
    EXPECT_NEAR(Right(One("Second")), 185, 0.3);
    EXPECT_NEAR((X(One("Confidential", 2)) + Right(One("Confidential", 2))) / 2, 100, 0.3);
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    EXPECT_NEAR(X(One(CStr(Variant::DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)))), 10, 0.3);
    r.FootNoteDate = false;  // without the date the foot note is centred on x 10
    r.PageNbr = false;
    r.EndDoc();
    EXPECT_NEAR((X(One("Confidential")) + Right(One("Confidential"))) / 2, 10, 0.3);
    EXPECT_TRUE(Find("Page").empty());
}

TEST_F(FrameTest, ErrorsOfTheDefinitionEndTheRun) {
    clsRapport& r = Report();
    ExpectRuntimeError(91, [&] { r.EndDoc(); });  // no rows attached
    r.SetRt(MakeRows({"name", "amount"}, {{"a", 1}, {"b", 2}}));
    r.SetCol(0, 90, "A", "name", frmtText, 0);
    r.SetCol(1, 90, "B", "amonut", frmtText, 1);
    EXPECT_EQ(ExpectRuntimeError(3265, [&] { r.EndDoc(); }), "Item not found in this collection: 'amonut' (record 1, column \"B\" [amonut])");
    r.SetCol(1, 90, "B", "amount", frmtText, 3);
    ExpectRuntimeError(94, [&] { r.EndDoc(); });  // no such alignment
    // A sub-total without a group column fails at the first record with a successor.
    r.SetCol(1, 90, "B", "amount", frmtNumber, 1, false, "", false, 0, 1);
    ExpectRuntimeError(9, [&] { r.EndDoc(); });
    r.SetRt(MakeRows({"name", "amount"}, {{"a", 1}}));
    r.EndDoc();
    EXPECT_EQ(Pages(), 1);
}

}  // namespace qor::test
