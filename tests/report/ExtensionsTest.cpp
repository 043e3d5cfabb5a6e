// The opt-in extensions of clsRapport: carried-forward totals and "Page 3 of 164".
#include "report/ReportFixture.h"

namespace qor::test {

class ExtensionsTest : public ReportTest {
protected:
    // Rows "R1" .. "R<n>" whose amount is their number, summed in column 1.
    clsRapport& Invoices(int n) {
        clsRapport& r = Report();
        r.SetCol(0, 90, "Name", "n", frmtText, 0);
        r.SetCol(1, 90, "Amount", "amount", frmtNumber, 1, false, "", false, 0, 0, -1, 1);
        Rows rows;
        for (int i = 1; i <= n; ++i) rows.push_back({"R" + std::to_string(i), i});
        r.SetRt(MakeRows({"n", "amount"}, rows));
        return r;
    }
};

// Brought forward atop every page but the first and carried forward at the foot of every
// page but the last: the sum of every row above; the rows keep their order, none lost.
TEST_F(ExtensionsTest, CarriedForwardBandsShowTheSumOfTheRowsAboveOnEveryPage) {
    clsRapport& r = Invoices(130);
    r.CarryForward = true;
    r.EndDoc();
    ASSERT_EQ(Pages(), 3);
    long sum = 0;
    int seen = 0;
    std::vector<int> lines;
    std::vector<std::string> bands;  // page, top or foot, figure
    for (const std::vector<Word>& page : PdfWords(Pdf())) {
        lines.push_back(0);
        for (const Word& w : page) {
            if (w.text == "R" + std::to_string(seen + 1)) {
                sum += ++seen;
                ++lines.back();
            }
            if (std::abs(Right(w) - 189) < 0.3 && (std::abs(Y(w) - 32) < 0.6 || std::abs(Y(w) - 268) < 0.6))
                bands.push_back(std::to_string(lines.size()) + (Y(w) < 100 ? " top " : " foot ") + w.text);
        }
        if (lines.size() < 3) bands.push_back(std::to_string(lines.size()) + " sum " + std::to_string(sum));
    }
    EXPECT_EQ(seen, 130);
    EXPECT_EQ(lines, (std::vector<int>{59, 57, 14}));  // the bands take 8 mm each
    EXPECT_EQ(bands, (std::vector<std::string>{"1 foot 1.770", "1 sum 1770", "2 top 1.770", "2 foot 6.786",
                                               "2 sum 6786", "3 top 6.786", "3 foot 8.515"}));
    EXPECT_EQ(Find("TRANSPORT", 2).size(), 2u);
    EXPECT_NEAR(X(One("TOTAAL", 3)), 15, 0.3);  // the last page ends with the totals band
}

// "Page X of Y" in each language on every page, right-aligned as the foot line was, with the
// carried-forward labels of the language.
TEST_F(ExtensionsTest, PageOfPagesAndCarriedForwardLabelsInEachLanguage) {
    for (const auto& [offset, page, of, foot, top] :
         {std::tuple{0, "Pagina", "van", "TRANSPORT", "TRANSPORT"}, std::tuple{10000, "Page", "sur", "REPORTER", "REPORT"},
          std::tuple{20000, "Page", "of", "CARRIED", "BROUGHT"}}) {
        GenServices().LanguageOffset = offset;
        clsRapport& r = Invoices(70);
        r.CarryForward = true;
        r.PageOfPages = true;
        r.EndDoc();
        ASSERT_EQ(Pages(), 2);
        for (int p = 1; p <= 2; ++p) {
            std::vector<std::string> line;
            double right = 0;
            for (const Word& w : PageWords(Pdf(), p)) {
                if (std::abs(Y(w) - 276) > 0.6) continue;
                line.push_back(w.text);
                right = std::max(right, Right(w));
            }
            EXPECT_EQ(line, (std::vector<std::string>{page, std::to_string(p), of, "2"})) << offset;
            EXPECT_NEAR(right, 190, 0.3);
        }
        EXPECT_NEAR(Y(Find(foot, 1).at(0)), 268, 0.6);
        EXPECT_NEAR(Y(Find(top, 2).at(0)), 32, 0.6);
    }
}

// clsqorPrintLib::PrPageCountToken: the total filled in when the pages are written (PDF) and
// painted (PNG) gives the same bytes as the final text drawn directly, also from pages set
// aside in the spill file while the document was made.
TEST_F(ExtensionsTest, PageCountTokenDrawsAsTheFinalText) {
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    const auto draw = [&](const std::string& name, bool token) {
        lib.PrPageCountToken = token ? "{pages}" : "";
        EXPECT_TRUE(lib.InitPrinter("", 3, 1, 1, 9, Pdf() + name + ".pdf"));
        if (token) surface::SpillPagesAbove(PreviewSurface(), 1, surface::SpillTo::File);
        for (int p = 1; p <= 12; ++p) {
            if (p > 1) lib.PrNewPage();
            const std::string total = token ? "{pages}" : "12";
            lib.PrItem(100, 270, Variant("Page " + std::to_string(p) + " of " + total), frmtText, 2);
            lib.PrItem(190, 275, Variant(total + " pages"), frmtText, 1, psCustom, "BI", 11, "Arial", 0xFF);
        }
        lib.PrEndDoc();
        PreviewSurface().SavePagePng(7, Pdf() + name + ".png");
        return std::pair(ReadFile(Pdf() + name + ".pdf"), ReadFile(Pdf() + name + ".png"));
    };
    const auto direct = draw("direct", false);
    const auto deferred = draw("deferred", true);
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_GT(direct.second.size(), 1000u);
    EXPECT_TRUE(direct.first == deferred.first) << "the PDF files differ";
    EXPECT_TRUE(direct.second == deferred.second) << "the PNG pages differ";
    EXPECT_NE(PdfText(Pdf() + "deferred.pdf").find("Page 7 of 12"), std::string::npos);
}

}  // namespace qor::test
