#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include <qor/qorPrintLib.h>

#include "core/LibraryAccess.h"

using qor::clsqorPrintLib;
using qor::Variant;

TEST(LibraryObject, ANewObjectHasTheCreationDefaults) {
    const clsqorPrintLib lib;
    EXPECT_EQ(lib.T, 0.0f);
    EXPECT_EQ(lib.PrCurr, " \\B\\E\\F");
    EXPECT_EQ(lib.PrCurr.size(), 7u);
    EXPECT_EQ(lib.VPrinter, nullptr);
    EXPECT_EQ(lib.VSPDF, nullptr);
    EXPECT_EQ(lib.PrScaleWidth, 0.0f);
    EXPECT_EQ(lib.PrScaleHeight, 0.0f);
    EXPECT_EQ(lib.PrBackColor, 16777215);
    EXPECT_EQ(lib.PrCaption, "");
    EXPECT_EQ(lib.PrNbrDec, 0);
    EXPECT_EQ(lib.PrEurDec, 0.0f);
    EXPECT_EQ(lib.DefaultFontSize, 9.0f);
    EXPECT_EQ(lib.DefaultFontName, "Arial");
    EXPECT_EQ(lib.DefaultPrinter, "");
    EXPECT_EQ(lib.PrPdfFile, "");
}

TEST(LibraryObject, ResetDefaultsRestoresOnlyThePerDocumentSettings) {
    clsqorPrintLib lib;
    auto* surface = reinterpret_cast<qor::VSPrinter*>(&lib);  // any non-null address will do
    lib.VPrinter = surface;
    lib.DefaultFontSize = 12;
    lib.DefaultFontName = "Courier New";
    lib.PrBackColor = 0x00FF00;
    lib.PrCaption = "Facturen";
    lib.PrCurr = " \\E\\U\\R";
    lib.PrNbrDec = 2;
    lib.PrEurDec = 1.5f;
    lib.T = 123.5f;
    lib.PrScaleWidth = 210;
    lib.PrScaleHeight = 297;
    lib.DefaultPrinter = "15;PrinterA";
    lib.PrPdfFile = "/tmp/out.pdf";

    qor::LibraryAccess::ResetDefaults(lib);

    EXPECT_EQ(lib.VPrinter, nullptr);
    EXPECT_EQ(lib.DefaultFontSize, 9.0f);
    EXPECT_EQ(lib.DefaultFontName, "Arial");
    EXPECT_EQ(lib.PrBackColor, qor::bcWhite);
    EXPECT_EQ(lib.PrCaption, "");
    // Survive from one document to the next:
    EXPECT_EQ(lib.PrCurr, " \\E\\U\\R");
    EXPECT_EQ(lib.PrNbrDec, 2);
    EXPECT_EQ(lib.PrEurDec, 1.5f);
    EXPECT_EQ(lib.T, 123.5f);
    EXPECT_EQ(lib.PrScaleWidth, 210.0f);
    EXPECT_EQ(lib.PrScaleHeight, 297.0f);
    EXPECT_EQ(lib.DefaultPrinter, "15;PrinterA");
    EXPECT_EQ(lib.PrPdfFile, "/tmp/out.pdf");
}

TEST(LibraryObject, PrSetUpDLLSetsTheLanguageAndRegistersTheClient) {
    std::thread([] {  // a fresh thread: fresh module state and services
        ASSERT_FALSE(qor::modqorPrintLib().ClientApplication.has_value());
        EXPECT_EQ(qor::GetText(1000), "Pagina ");  // Dutch until set up

        clsqorPrintLib lib;
        const qor::Application app{"myapp", "/opt/myapp"};
        lib.PrSetUpDLL(app, 20000);

        EXPECT_EQ(qor::GenServices().LanguageOffset, 20000);
        EXPECT_EQ(qor::GetText(1000), "Page ");
        EXPECT_EQ(qor::GetText(1049), "Print Document");
        ASSERT_TRUE(qor::modqorPrintLib().ClientApplication.has_value());
        EXPECT_EQ(*qor::modqorPrintLib().ClientApplication, app);
        ASSERT_TRUE(qor::GenServices().RegisteredApplication.has_value());
        EXPECT_EQ(*qor::GenServices().RegisteredApplication, app);
        EXPECT_TRUE(qor::GenServices().ApplicationDiffers);

        // Another object of the same thread sees the same set-up.
        clsqorPrintLib second;
        second.PrSetUpDLL(qor::Application{"qorprint", "/usr/bin"}, 10000);
        EXPECT_EQ(qor::GetText(1000), "Page ");
        EXPECT_EQ(qor::GetText(1001), " de ");
        EXPECT_FALSE(qor::GenServices().ApplicationDiffers);
        EXPECT_EQ(qor::modqorPrintLib().ClientApplication->EXEName, "qorprint");

        second.PrSetUpDLL(app, 30000);
        EXPECT_EQ(qor::GetText(1000), " [LL 31000 ?] ");
    }).join();
}

// The overloads for changed arguments and for literals must resolve without ambiguity for
// every mix of variables and values; checked at compile time.
namespace {
template <class... A>
concept CanPrItem = requires(clsqorPrintLib& l, A&&... a) { l.PrItem(std::forward<A>(a)...); };
template <class... A>
concept CanPrLeft = requires(clsqorPrintLib& l, A&&... a) { l.PrLeft(std::forward<A>(a)...); };
template <class... A>
concept CanPrBoxText = requires(clsqorPrintLib& l, A&&... a) { l.PrBoxText(std::forward<A>(a)...); };
}  // namespace

static_assert(CanPrItem<float, float, Variant&, int, int>);
static_assert(CanPrItem<float, float, const Variant&, int, int>);
static_assert(CanPrItem<float, float, double, qor::Frmt, qor::Alignment, qor::PrintStyle>);
static_assert(CanPrItem<float, float, const char (&)[4], int, int, int, const char (&)[3], float,
                        const char (&)[6], int>);
static_assert(CanPrLeft<std::string&, float&>);
static_assert(CanPrLeft<std::string&, float>);
static_assert(CanPrLeft<const char (&)[4], float&>);
static_assert(CanPrLeft<const char (&)[4], double, float, const char (&)[6], bool>);
static_assert(CanPrLeft<const std::string&, const float&>);
static_assert(CanPrBoxText<int, int, int, int, std::string&, bool, int>);
static_assert(CanPrBoxText<int, int, int, int, const char (&)[4], bool, int, int, const char (&)[1],
                           int, int, int>);
static_assert(CanPrBoxText<int, int, int, int, std::string, bool, int, int, std::string, int, int,
                           std::nullopt_t, float, std::string, bool>);
