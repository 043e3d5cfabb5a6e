#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include <qor/qorPrintLib.h>

#include "core/LibraryAccess.h"
#include "core/ModuleState.h"

using qor::clsqorPrintLib;
using qor::Variant;

TEST(LibraryObject, ResetDefaultsRestoresOnlyThePerDocumentSettings) {
    clsqorPrintLib lib;
    lib.VPrinter = reinterpret_cast<qor::VSPrinter*>(&lib);  // any non-null address will do
    lib.DefaultFontSize = 12;
    lib.DefaultFontName = "Courier New";
    lib.PrBackColor = 0x00FF00;
    lib.PrCaption = "Facturen";
    lib.PrCurr = " \\E\\U\\R";
    lib.PrNbrDec = 2;
    lib.T = 123.5f;
    lib.DefaultPrinter = "15;PrinterA";
    lib.PrPdfFile = "/tmp/out.pdf";
    qor::LibraryAccess::ResetDefaults(lib);

    const clsqorPrintLib fresh;
    EXPECT_EQ(lib.VPrinter, nullptr);
    EXPECT_EQ(lib.DefaultFontSize, fresh.DefaultFontSize);
    EXPECT_EQ(lib.DefaultFontName, fresh.DefaultFontName);
    EXPECT_EQ(lib.PrBackColor, qor::bcWhite);
    EXPECT_EQ(lib.PrCaption, "");
    // These survive from one document to the next.
    EXPECT_EQ(lib.PrCurr, " \\E\\U\\R");
    EXPECT_EQ(lib.PrNbrDec, 2);
    EXPECT_EQ(lib.T, 123.5f);
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
        EXPECT_EQ(qor::GetText(1000), "Page ");
        ASSERT_TRUE(qor::modqorPrintLib().ClientApplication.has_value());
        EXPECT_EQ(*qor::modqorPrintLib().ClientApplication, app);
        ASSERT_TRUE(qor::GenServices().RegisteredApplication.has_value());
        EXPECT_EQ(*qor::GenServices().RegisteredApplication, app);
        EXPECT_TRUE(qor::GenServices().ApplicationDiffers);

        // Another object of the same thread sees and changes the same set-up.
        clsqorPrintLib second;
        second.PrSetUpDLL(qor::Application{"qorprint", "/usr/bin"}, 10000);
        EXPECT_EQ(qor::GetText(1001), " de ");
        EXPECT_FALSE(qor::GenServices().ApplicationDiffers);
        EXPECT_EQ(qor::modqorPrintLib().ClientApplication->EXEName, "qorprint");
        second.PrSetUpDLL(app, 30000);
        EXPECT_EQ(qor::GetText(1000), " [LL 31000 ?] ");
    }).join();
}

// The overloads for changed arguments and for literals resolve without ambiguity for mixes of
// variables and values.
namespace {
template <class... A>
concept CanPrItem = requires(clsqorPrintLib& l, A&&... a) { l.PrItem(std::forward<A>(a)...); };
template <class... A>
concept CanPrLeft = requires(clsqorPrintLib& l, A&&... a) { l.PrLeft(std::forward<A>(a)...); };
template <class... A>
concept CanPrBoxText = requires(clsqorPrintLib& l, A&&... a) { l.PrBoxText(std::forward<A>(a)...); };
}  // namespace

static_assert(CanPrItem<float, float, Variant&, int, int>);
static_assert(CanPrItem<float, float, const char (&)[4], int, int, int, const char (&)[3], float,
                        const char (&)[6], int>);
static_assert(CanPrLeft<std::string&, float&>);
static_assert(CanPrLeft<const char (&)[4], double, float, const char (&)[6], bool>);
static_assert(CanPrBoxText<int, int, int, int, std::string&, bool, int>);
static_assert(CanPrBoxText<int, int, int, int, std::string, bool, int, int, std::string, int, int,
                           std::nullopt_t, float, std::string, bool>);
