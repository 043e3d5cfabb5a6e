// The opt-in extensions of clsRapport: carried-forward totals and "Page 3 of 164".
#include "report/ReportFixture.h"

#include <regex>

namespace qor::test {

namespace {

// "1.770" (nl_BE grouping) as a number; -1 when `text` is not one.
long Number(std::string text) {
    std::erase(text, '.');
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stol(text);
}

}  // namespace

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

TEST_F(ExtensionsTest, CarriedForwardBandsShowTheSumOfTheRowsAboveOnEveryPage) {
    clsRapport& r = Invoices(130);
    r.CarryForward = true;
    r.EndDoc();
    ASSERT_EQ(Pages(), 3);
    const std::vector<std::vector<Word>> pages = PdfWords(Pdf());
    const std::regex row("R([0-9]+)");
    long sum = 0;
    int seen = 0;
    std::vector<int> lines;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const long above = sum;  // the rows of the pages before
        std::vector<std::pair<double, long>> figures;  // amount-column figures: top, value
        int count = 0;
        for (const Word& w : pages[p]) {
            std::smatch m;
            if (std::regex_match(w.text, m, row)) {
                const int i = std::stoi(m[1]);
                EXPECT_EQ(i, ++seen) << "rows in order, none lost";
                sum += i;
                ++count;
            } else if (std::abs(Right(w) - 189) < 0.3 && Number(w.text) >= 0) {
                figures.emplace_back(Y(w), Number(w.text));
            }
        }
        lines.push_back(count);
        const auto at = [&](double y) {  // the figures standing at `y`
            std::vector<long> found;
            for (const auto& [top, value] : figures)
                if (std::abs(top - y) < 0.6) found.push_back(value);
            return found;
        };
        const bool last = p + 1 == pages.size();
        // Brought forward atop every page but the first, carried forward at the foot of
        // every page but the last: both the sum of the rows above them.
        if (p > 0) {
            EXPECT_EQ(Find("TRANSPORT", static_cast<int>(p + 1)).size(), last ? 1u : 2u);
            EXPECT_EQ(at(32), std::vector<long>{above}) << "page " << p + 1;
        }
        if (!last) {
            EXPECT_EQ(at(268), std::vector<long>{sum}) << "page " << p + 1;
        }
    }
    EXPECT_EQ(seen, 130);
    EXPECT_EQ(lines, (std::vector<int>{59, 57, 14}));  // the bands take 8 mm each
    // The last page ends with the totals band as without the option.
    EXPECT_NEAR(X(One("TOTAAL", 3)), 15, 0.3);
    EXPECT_NEAR(Y(One("8.515", 3)), 268, 0.6);
    EXPECT_NEAR(Right(One("8.515", 3)), 189, 0.3);
    EXPECT_EQ(r.Cols(1).Total, 8515);
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
