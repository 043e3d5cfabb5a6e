// Bookmarks of a report: the outline of the PDF read back with qpdf, its entries checked
// against the pages and places where pdftotext finds their first lines.
#include "report/ReportFixture.h"

#include "support/PdfOutline.h"

namespace qor::test {

class OutlineTest : public ReportTest {
protected:
    std::vector<PdfBookmark> Outline() { return PdfOutline(Pdf()); }

    // The page and top (report mm plus the offset) of the first line showing `text`.
    std::pair<int, double> FirstLine(const std::string& text, int pages) {
        for (int page = 1; page <= pages; ++page)
            for (const Word& w : PageWords(Pdf(), page))
                if (w.text == text) return {page, w.Top()};
        ADD_FAILURE() << text << " is on no page";
        return {0, 0};
    }

    clsRapport& CityCustomerReport() {
        clsRapport& r = Report();
        r.SetCol(0, 60, "City", "city", frmtText, 0);
        r.SetCol(1, 60, "Customer", "customer", frmtText, 0);
        r.SetCol(2, 60, "Amount", "amount", frmtNumber, 1);
        Rows rows;
        // 60 lines fit a page: Janssens starts on page 1 and goes on to page 2, Martin
        // starts on page 2, Peeters on page 3.
        const struct { const char* city; const char* customer; int count; } groups[] = {
            {"Antwerpen", "Dupont(BV)", 40}, {"Antwerpen", "Janssens", 40},
            {"Liège", "Martin", 50}, {"Gent", "Peeters", 5}};
        for (const auto& g : groups)
            for (int i = 0; i < g.count; ++i) rows.push_back({Variant(g.city), Variant(g.customer), Variant(i)});
        r.SetRt(MakeRows({"city", "customer", "amount"}, std::move(rows)));
        return r;
    }
};

TEST_F(OutlineTest, CitiesThenCustomersPointAtTheirFirstLines) {
    clsRapport& r = CityCustomerReport();
    r.Outline = 0;
    r.SubOutline = 1;
    r.EndDoc();
    const int pages = Pages();
    ASSERT_EQ(pages, 3);
    const std::vector<PdfBookmark> outline = Outline();
    ASSERT_EQ(outline.size(), 3u);
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"Antwerpen", {"Dupont(BV)", "Janssens"}}, {"Liège", {"Martin"}}, {"Gent", {"Peeters"}}};
    for (size_t i = 0; i < expected.size(); ++i) {
        const PdfBookmark& city = outline[i];
        EXPECT_EQ(city.title, expected[i].first);
        EXPECT_TRUE(city.xyz);
        const auto [page, top] = FirstLine(city.title, pages);
        EXPECT_EQ(city.page, page) << city.title;
        EXPECT_NEAR(city.top, top, 1.0) << city.title;
        ASSERT_EQ(city.kids.size(), expected[i].second.size()) << city.title;
        for (size_t k = 0; k < city.kids.size(); ++k) {
            const PdfBookmark& customer = city.kids[k];
            EXPECT_EQ(customer.title, expected[i].second[k]);
            const auto [kidPage, kidTop] = FirstLine(customer.title, pages);
            EXPECT_EQ(customer.page, kidPage) << customer.title;
            EXPECT_NEAR(customer.top, kidTop, 1.0) << customer.title;
            EXPECT_TRUE(customer.kids.empty());
        }
    }
    EXPECT_EQ(outline[1].kids[0].page, 2);
    EXPECT_EQ(outline[2].page, 3);

    // One level: the customers, whichever city they are in.
    r.Outline = 1;
    r.SubOutline = -1;
    r.EndDoc();
    std::vector<std::string> titles;
    for (const PdfBookmark& b : Outline()) titles.push_back(b.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Dupont(BV)", "Janssens", "Martin", "Peeters"}));
}

TEST_F(OutlineTest, WithoutOutlineTheFileHasNone) {
    clsRapport& r = CityCustomerReport();
    r.Outline = 1;
    r.Clear();  // back to no outline
    r.EndDoc();
    ASSERT_EQ(Pages(), 3);
    EXPECT_EQ(ReadFile(Pdf()).find("/Outlines"), std::string::npos);
}

TEST_F(OutlineTest, RejectsColumnsItCannotUse) {
    clsRapport& r = CityCustomerReport();
    r.Outline = 3;
    ExpectRuntimeError(kErrSubscript, [&] { r.EndDoc(); });
    r.Outline = -1;
    r.SubOutline = 1;
    ExpectRuntimeError(kErrInvalidCall, [&] { r.EndDoc(); });
}

}  // namespace qor::test
