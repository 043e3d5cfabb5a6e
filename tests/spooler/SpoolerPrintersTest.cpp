// Printers and trays as the private test spooler reports them.
#include "support/Spooler.h"

#include <qor/Spooler.h>
#include <gtest/gtest.h>
#include <algorithm>

namespace qor {
namespace {

TEST(SpoolerPrinters, ListsTheTestQueuesAndTheDefaultAndMatchesNamesWithoutCaseOrBlanks) {
    Spooler& spooler = Spooler::Instance();
    const std::vector<std::string> printers = spooler.Printers();
    for (const char* name : {"PrinterA", "PrinterB", "PrinterOneTray", "PrinterNoCopies"})
        EXPECT_NE(std::find(printers.begin(), printers.end(), name), printers.end()) << name;
    EXPECT_EQ(spooler.DefaultPrinter(), "PrinterA");
    EXPECT_TRUE(spooler.HasPrinter("  PRINTERB "));
    EXPECT_FALSE(spooler.HasPrinter("Printer"));
    EXPECT_FALSE(spooler.HasPrinter(""));
    EXPECT_EQ(spooler.Trays("printeronetray").size(), 1u);
}

TEST(SpoolerPrinters, TraysComeInDriverOrderWithTheirBinCodesAndNames) {
    const struct { const char* printer; std::vector<Tray> trays; } cases[] = {
        {"PrinterA", {{7, "Automatically Select", "Auto"}, {1, "Upper Tray", "Upper"}, {2, "Lower Tray", "Lower"},
                      {3, "Middle Tray", "Middle"}, {4, "Manual Feed", "Manual"}}},
        {"PrinterB", {{14, "Cassette", "Cassette"}, {11, "High Capacity Feeder", "LargeCapacity"},
                      {5, "Envelope Feeder", "Envelope"}, {16, "Photo Paper Tray", "PhotoTray"},
                      {17, "Tray 5 with a very long ", "Tray5"}}},
        {"PrinterOneTray", {{16, "Main Tray", "Main"}}},
        {"NoSuchPrinter", {}},
    };
    for (const auto& c : cases) {
        const std::vector<Tray> trays = Spooler::Instance().Trays(c.printer);
        ASSERT_EQ(trays.size(), c.trays.size()) << c.printer;
        for (size_t i = 0; i < trays.size(); ++i) {
            EXPECT_EQ(trays[i].Code, c.trays[i].Code) << c.printer << " tray " << i;
            EXPECT_EQ(trays[i].Name, c.trays[i].Name) << c.printer << " tray " << i;
            EXPECT_EQ(trays[i].Keyword, c.trays[i].Keyword) << c.printer << " tray " << i;
        }
    }
}

TEST(SpoolerPrinters, BinAndCopiesProbesFollowWhatTheQueueCanDo) {
    Spooler& spooler = Spooler::Instance();
    const struct { const char* printer; int32_t bin; bool accepted; } bins[] = {
        {"PrinterA", 2, true},   {"PrinterA", 14, false},      {"PrinterA", 258, true},  // low byte 2
        {"PrinterB", 17, true},  {"PrinterB", 18, false},
        // Automatic and form source leave the choice to the printer.
        {"PrinterB", 7, true},   {"PrinterOneTray", 15, true}, {"NoSuchPrinter", 7, false},
    };
    for (const auto& c : bins)
        EXPECT_EQ(spooler.AcceptsBin(c.printer, c.bin), c.accepted) << c.printer << " bin " << c.bin;
    EXPECT_TRUE(spooler.AcceptsCopies("PrinterA", 99));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterA", 0));
    EXPECT_TRUE(spooler.AcceptsCopies("PrinterNoCopies", 1));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterNoCopies", 2));
    EXPECT_FALSE(spooler.AcceptsCopies("NoSuchPrinter", 1));
}

}  // namespace
}  // namespace qor
