// Without an answering print server the spooler reports no printers, and never waits long.
#include "support/Errors.h"
#include "support/Spooler.h"

#include <qor/Spooler.h>
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>

namespace qor {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(SpoolerWithoutServer, ClosedPortMeansNoPrintersPromptlyAndASilentServerIsGivenUp) {
    const std::string pdf = test::MakeTestPdf(1);
    {
        test::NoPrintServer none;  // nothing listens: every call answers at once
        Spooler& spooler = Spooler::Instance();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(spooler.Printers().empty());
        EXPECT_EQ(spooler.DefaultPrinter(), "");
        EXPECT_FALSE(spooler.HasPrinter("PrinterA"));
        EXPECT_TRUE(spooler.Trays("PrinterA").empty());
        EXPECT_FALSE(spooler.AcceptsBin("PrinterA", 7));
        EXPECT_FALSE(spooler.AcceptsCopies("PrinterA", 1));
        EXPECT_EQ(test::ExpectRuntimeError(482, [&] { spooler.Submit("PrinterA", pdf, JobOptions{}); }),
                  "Printer \"PrinterA\" is not available: no print server answers");
        EXPECT_LT(SecondsSince(start), 5.0);  // about a millisecond here; 5 s only guards a hang
    }
    std::remove(pdf.c_str());
    test::NoPrintServer silent(true);  // takes the connection and never replies
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Spooler::Instance().Printers().empty());
    EXPECT_LT(SecondsSince(start), 30.0);
}

}  // namespace
}  // namespace qor
