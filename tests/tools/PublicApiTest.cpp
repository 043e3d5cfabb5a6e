// A client of the library as an installed program sees it: only <qor/qorPrintLib.h> (this
// target has include/ but not src/ on its include path) and the shared library.
#include <gtest/gtest.h>

#include <qor/qorPrintLib.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <memory>

TEST(PublicApi, AReportDescribedWithColumnDefsGivesTheDocumentToPaint) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "public_api_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    qor::GenServices().Unattended = true;

    qor::clsqorPrintLib lib;
    qor::clsRapport& r = lib.PrRapport();
    r.Init("", 4);
    r.Title = "Public";
    r.SetCol(0, 100, "Customer", "customer", qor::frmtText, 0);
    const qor::ColumnDef longForm = r.Cols(0);
    qor::ColumnDef customer = longForm;
    customer.Total = 99;  // SetCol starts the sums afresh whatever the ColumnDef holds
    r.SetCol(0, customer);
    qor::ColumnDef amount;
    amount.Caption = "Amount", amount.DataField = "amount", amount.Frmt = qor::frmtAmount2, amount.Width = 80;
    amount.Align = amount.SubTotalType = amount.TotalType = 1;
    r.SetCol(1, amount);
    EXPECT_EQ(r.LastCol(), 1);
    EXPECT_EQ(r.Cols(0).Total, 0);
    EXPECT_EQ(r.Cols(0).FontName, longForm.FontName);
    // 60 rows of two customers; the amount column sums per customer and in total.
    std::vector<std::vector<qor::Variant>> rows;
    for (int i = 0; i < 60; ++i) rows.push_back({i < 30 ? "Acme" : "Bolt", 10.0 + i});
    r.SetRt(std::make_shared<qor::MemoryRecordset>(std::vector<std::string>{"customer", "amount"}, rows));
    r.EndDoc();

    qor::VSPrinter& document = r.Document();
    ASSERT_GE(document.PageCount(), 2);  // 60 lines with a sub-total band do not fit one page
    EXPECT_DOUBLE_EQ(r.Cols(1).Total, 60 * 10.0 + 59 * 60 / 2.0);

    // The first page painted at 96 dpi: white paper with dark text and rules on it.
    const double scale = 96.0 / 1440.0;
    QImage page(static_cast<int>(document.PageWidthOf(1) * scale), static_cast<int>(document.PageHeightOf(1) * scale),
                QImage::Format_RGB32);
    page.fill(Qt::red);
    {
        QPainter painter(&page);
        qor::PaintPage(painter, document, 1, scale);
    }
    const auto* pixels = reinterpret_cast<const QRgb*>(page.constBits());  // 32-bit rows have no padding
    const auto end = pixels + page.width() * page.height();
    const auto white = std::count(pixels, end, qRgb(255, 255, 255));
    const auto dark = std::count_if(pixels, end, [](QRgb c) { return qGray(c) < 96; });
    EXPECT_GT(white, page.width() * page.height() / 2);  // the paper covers the image
    EXPECT_GT(dark, 1000);                                // and has text and rules on it
    document.KillDoc();
    EXPECT_EQ(r.Document().PageCount(), 0);
}
