// Printers and trays as the private test spooler reports them.
#include "spooler/TestSpooler.h"

#include <qor/Spooler.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

namespace qor {
namespace {

struct ExpectedTray {
    int32_t code;
    const char* name;
    const char* keyword;
};

void ExpectTrays(const std::string& printer, const std::vector<ExpectedTray>& expected) {
    const std::vector<Tray> trays = Spooler::Instance().Trays(printer);
    ASSERT_EQ(trays.size(), expected.size()) << printer;
    for (size_t i = 0; i < trays.size(); ++i) {
        EXPECT_EQ(trays[i].Code, expected[i].code) << printer << " tray " << i;
        EXPECT_EQ(trays[i].Name, expected[i].name) << printer << " tray " << i;
        EXPECT_EQ(trays[i].Keyword, expected[i].keyword) << printer << " tray " << i;
    }
}

TEST(SpoolerPrinters, ListsTheTestQueuesAndTheDefault) {
    Spooler& spooler = Spooler::Instance();
    const std::vector<std::string> printers = spooler.Printers();
    for (const char* name : {"PrinterA", "PrinterB", "PrinterOneTray", "PrinterNoCopies"}) {
        EXPECT_NE(std::find(printers.begin(), printers.end(), name), printers.end()) << name;
    }
    EXPECT_EQ(spooler.DefaultPrinter(), "PrinterA");
}

TEST(SpoolerPrinters, NamesMatchWithoutRegardToCaseOrBlanks) {
    Spooler& spooler = Spooler::Instance();
    EXPECT_TRUE(spooler.HasPrinter("PrinterA"));
    EXPECT_TRUE(spooler.HasPrinter("printera"));
    EXPECT_TRUE(spooler.HasPrinter("  PRINTERB "));
    EXPECT_FALSE(spooler.HasPrinter("PrinterC"));
    EXPECT_FALSE(spooler.HasPrinter("Printer"));
    EXPECT_FALSE(spooler.HasPrinter(""));
    // Trays are found through any casing too.
    EXPECT_EQ(spooler.Trays("printeronetray").size(), 1u);
}

TEST(SpoolerPrinters, TraysComeInDriverOrderWithTheirBinCodesAndNames) {
    ExpectTrays("PrinterA", {{7, "Automatically Select", "Auto"},
                             {1, "Upper Tray", "Upper"},
                             {2, "Lower Tray", "Lower"},
                             {3, "Middle Tray", "Middle"},
                             {4, "Manual Feed", "Manual"}});
    ExpectTrays("PrinterB", {{14, "Cassette", "Cassette"},
                             {11, "High Capacity Feeder", "LargeCapacity"},
                             {5, "Envelope Feeder", "Envelope"},
                             {16, "Photo Paper Tray", "PhotoTray"},
                             {17, "Tray 5 with a very long ", "Tray5"}});
    ExpectTrays("PrinterOneTray", {{16, "Main Tray", "Main"}});
    EXPECT_TRUE(Spooler::Instance().Trays("NoSuchPrinter").empty());
}

TEST(SpoolerPrinters, BinProbeAcceptsOnlyTraysThePrinterHas) {
    Spooler& spooler = Spooler::Instance();
    const struct {
        const char* printer;
        int32_t bin;
        bool accepted;
    } cases[] = {
        {"PrinterA", 2, true},        {"PrinterA", 4, true},        {"PrinterA", 14, false},
        {"PrinterA", 16, false},      {"PrinterA", 0, false},       {"PrinterA", 258, true},  // low byte 2
        {"PrinterB", 14, true},       {"PrinterB", 16, true},       {"PrinterB", 17, true},
        {"PrinterB", 2, false},       {"PrinterB", 18, false},
        // Automatic and form source leave the choice to the printer.
        {"PrinterB", 7, true},        {"PrinterOneTray", 15, true}, {"PrinterOneTray", 7, true},
        {"PrinterOneTray", 1, false}, {"NoSuchPrinter", 7, false},  {"NoSuchPrinter", 2, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(spooler.AcceptsBin(c.printer, c.bin), c.accepted) << c.printer << " bin " << c.bin;
    }
}

TEST(SpoolerPrinters, CopiesProbeFollowsTheQueuesLimit) {
    Spooler& spooler = Spooler::Instance();
    EXPECT_TRUE(spooler.AcceptsCopies("PrinterA", 1));
    EXPECT_TRUE(spooler.AcceptsCopies("PrinterA", 99));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterA", 0));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterA", -1));
    EXPECT_TRUE(spooler.AcceptsCopies("PrinterNoCopies", 1));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterNoCopies", 2));
    EXPECT_FALSE(spooler.AcceptsCopies("NoSuchPrinter", 1));
}

TEST(SpoolerPrinters, ThreadsAskAtTheSameTime) {
    const std::vector<std::string> expected = Spooler::Instance().Printers();
    std::vector<std::future<std::vector<std::string>>> lists;
    std::vector<std::future<size_t>> trays;
    for (int i = 0; i < 4; ++i) {
        lists.push_back(std::async(std::launch::async, [] { return Spooler::Instance().Printers(); }));
        trays.push_back(std::async(std::launch::async, [] { return Spooler::Instance().Trays("PrinterB").size(); }));
    }
    for (auto& f : lists) EXPECT_EQ(f.get(), expected);
    for (auto& f : trays) EXPECT_EQ(f.get(), 5u);
}

}  // namespace
}  // namespace qor
