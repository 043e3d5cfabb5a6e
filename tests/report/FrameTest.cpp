#include "report/ReportFixture.h"

#include <qor/Texts.h>

#include <ctime>

namespace qor::test {

namespace {

// `count` rows "R1", "R2", ... in one field "name".
std::shared_ptr<MemoryRecordset> Numbered(int count) {
    Rows rows;
    for (int i = 1; i <= count; ++i) rows.push_back({"R" + std::to_string(i)});
    return MakeRows({"name"}, std::move(rows));
}

}  // namespace

class FrameTest : public ReportTest {};

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
        r.PageNbr = false;
        r.FootNoteDate = false;
        r.SetCol(0, c.width, "Name", "name", frmtText, 0);
        r.SetRt(Numbered(c.perPage + 1));
        r.EndDoc();
        ASSERT_EQ(Pages(), 2);
        EXPECT_NEAR(One("R1").top, 30.4, 0.6);
        const Word last = One("R" + std::to_string(c.perPage));
        EXPECT_NEAR(last.top, c.lastTop, 0.6);
        EXPECT_NEAR(last.left, 11, 0.2);
        EXPECT_TRUE(Find("R" + std::to_string(c.perPage + 1)).empty());
        EXPECT_NEAR(One("R" + std::to_string(c.perPage + 1), 2).top, 30.4, 0.6);
        EXPECT_EQ(One("NAME", 2).left, One("NAME", 1).left);  // every page has its captions
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(FrameTest, WidthQuestionHasTheExactTextAndNoEndsTheRunWithoutOutput) {
    clsRapport& r = Report();
    r.SetCol(0, 40, "A", "a", frmtText, 0);
    r.SetCol(1, 60, "B", "a", frmtText, 0);
    r.SetCol(2, 70, "C", "a", frmtText, 0);
    r.SetRt(MakeRows({"a"}, {{"x"}}));
    answer = kAnswerNo;
    PreviewSurface().KillDoc();
    EXPECT_TRUE(r.EndDoc().IsEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Kolombreedtes :  Er blijft 10 mm vrije ruimte over...\n\nDoorgaan met afdrukken ?");
    EXPECT_EQ(messages[0].style, 36);
    EXPECT_EQ(messages[0].title, "PrRapport");
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
    EXPECT_TRUE(PreviewSurface().IsDocOpen());  // left open until the next document
    EXPECT_EQ(PreviewSurface().PageCount(), 1);

    // Too wide, in a Dutch locale; Yes goes on and writes the report.
    messages.clear();
    answer = kAnswerYes;
    r.SetCol(2, 82.5f, "C", "a", frmtText, 0);
    r.EndDoc();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Kolombreedtes :  U heeft 2,5 mm te veel opgegeven.\n\nDoorgaan met afdrukken ?");
    EXPECT_EQ(Pages(), 1);
}

TEST_F(FrameTest, WidthQuestionOnlyOnPageOneAndNeverWithNoLayoutCheck) {
    clsRapport& r = Report();
    r.SetCol(0, 100, "A", "name", frmtText, 0);
    r.SetRt(Numbered(150));
    r.EndDoc();
    EXPECT_EQ(messages.size(), 1u);  // three pages, one question
    EXPECT_EQ(Pages(), 3);

    messages.clear();
    GenServices().NoLayoutCheck = true;
    r.EndDoc();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Pages(), 3);

    messages.clear();
    GenServices().NoLayoutCheck = false;
    r.SetCol(0, 40, "A", "name", frmtText, 0);
    r.SetCol(1, 60, "B", "name", frmtText, 0);
    r.SetCol(2, 80, "C", "name", frmtText, 0);
    r.EndDoc();
    EXPECT_TRUE(messages.empty());  // 10 + 40 + 60 + 80 = 190
}

TEST_F(FrameTest, EmptyRecordSetGivesTheEmptyReportMessageAndOpensNoDocument) {
    clsRapport& r = Report();
    r.Title = "Invoices";
    r.SetCol(0, 180, "A", "name", frmtText, 0);
    r.SetRt(MakeRows({"name"}, {}));
    PreviewSurface().KillDoc();
    EXPECT_TRUE(r.EndDoc().IsEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, GetText(1050) + " [Invoices]" + GetText(1051));
    EXPECT_EQ(messages[0].title, GetText(1049));
    EXPECT_FALSE(PreviewSurface().IsDocOpen());
    EXPECT_EQ(PreviewSurface().PageCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(Pdf()));
}

TEST_F(FrameTest, TitleBandFootLinesAndPageNumbers) {
    clsRapport& r = Report();
    r.SubTitle = "Second";
    r.FootNote = "Confidential";
    r.SetCol(0, 180, "Name", "name", frmtText, 0);
    r.SetRt(Numbered(130));
    r.EndDoc();
    ASSERT_EQ(Pages(), 3);
    EXPECT_EQ(r.Title, " ");  // handed over by reference: the blank PrItem made of it
    EXPECT_EQ(r.SubTitle, "Second");

    const Word page = One("Page", 3);
    const Word number = One("3", 3);
    EXPECT_NEAR(number.right, 190, 0.3);
    EXPECT_NEAR(page.top, 276, 0.6);
    EXPECT_NEAR(One("Second").right, 185, 0.3);
    const Word note = One("Confidential", 2);
    EXPECT_NEAR((note.left + note.right) / 2, 100, 0.3);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string today =
        CStr(Variant::FromDate(MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)));
    EXPECT_NEAR(One(today).left, 10, 0.3);

    // Without the date, the foot note is centred on x 10.
    r.FootNoteDate = false;
    r.PageNbr = false;
    r.EndDoc();
    const Word alone = One("Confidential");
    EXPECT_NEAR((alone.left + alone.right) / 2, 10, 0.3);
    EXPECT_TRUE(Find("Page").empty());
    EXPECT_TRUE(Find(today).empty());
}

TEST_F(FrameTest, ErrorsOfTheDefinitionEndTheRun) {
    clsRapport& r = Report();
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 91);  // no rows attached

    r.SetRt(MakeRows({"name", "amount"}, {{"a", 1}, {"b", 2}}));
    r.SetCol(0, 90, "A", "name", frmtText, 0);
    r.SetCol(1, 90, "B", "amonut", frmtText, 1);
    RuntimeError e = ErrorOf([&] { r.EndDoc(); });
    EXPECT_EQ(e.Number(), 3265);
    EXPECT_STREQ(e.what(), "Item not found in this collection: 'amonut'");

    r.SetCol(1, 90, "B", "amount", frmtText, 3);
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 94);

    // A sub-total without a group column fails at the first record with a successor.
    r.SetCol(1, 90, "B", "amount", frmtNumber, 1, false, "", false, 0, 1);
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 9);
    r.SetRt(MakeRows({"name", "amount"}, {{"a", 1}}));
    r.EndDoc();
    EXPECT_EQ(Pages(), 1);

    EXPECT_THROW(r.SetCol(16, 10, "x", "name", frmtText, 0), RuntimeError);
    EXPECT_EQ(ErrorOf([&] { r.EndDoc(); }).Number(), 9);
}

}  // namespace qor::test
