#include "surface/SpoolerCups.h"
#include "surface/SpoolerTrays.h"

#include <qor/RuntimeError.h>

#include "support/Errors.h"

#include <gtest/gtest.h>

namespace qor::spooler {
namespace {

TEST(SpoolerTrays, KeywordsOfBothKindsMapToTheStandardCodes) {
    const struct { const char* keyword; int32_t code; } cases[] = {
        {"Upper", 1},        {"top", 1},           {"Bottom", 2},       {"center", 3},
        {"by-pass-tray", 4}, {"MANUAL_FEED", 4},   {"envelope", 5},     {"EnvManual", 6},
        {"AutoSelect", 7},   {"Default", 7},       {"Tractor", 8},      {"SmallFormat", 9},
        {"LargeFormat", 10}, {"large-capacity", 11}, {"Cassette", 14},  {"FormSource", 15},
        // Trays without a standard meaning
        {"tray-1", 0},        {"PhotoTray", 0},     {"main", 0},         {"", 0},
        {"Uppermost", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StandardBinCode(c.keyword), c.code) << c.keyword;
    }
}

TEST(SpoolerTrays, OtherTraysAndRepeatedMeaningsGetCodesFrom16InOrderWithNamesCutTo24Characters) {
    const std::vector<Tray> trays = AssignTrayCodes({
        {"Cassette", "Cassette"},
        {"PhotoTray", "Tray 5 with a very long descriptive name"},
        {"Top", "Bac d'alimentation spécial à gauche"},
        {"Upper", "exactly twenty-four char"},  // same meaning as Top: must stay selectable on its own
        {"tray-5", ""},
    });
    const std::vector<Tray> expected = {{14, "Cassette", "Cassette"},
                                        {16, "Tray 5 with a very long ", "PhotoTray"},
                                        {1, "Bac d'alimentation spéci", "Top"},  // é is one character
                                        {17, "exactly twenty-four char", "Upper"},
                                        {18, "tray-5", "tray-5"}};  // no label: the keyword
    ASSERT_EQ(trays.size(), expected.size());
    for (size_t i = 0; i < trays.size(); ++i) {
        EXPECT_EQ(trays[i].Code, expected[i].Code) << i;
        EXPECT_EQ(trays[i].Name, expected[i].Name) << i;
        EXPECT_EQ(trays[i].Keyword, expected[i].Keyword) << i;
    }
    std::vector<TraySource> many;
    for (int i = 0; i < 200; ++i) many.push_back({"Slot" + std::to_string(i), ""});
    const std::vector<Tray> capped = AssignTrayCodes(many);  // codes stay within one byte
    ASSERT_EQ(capped.size(), 127u);
    EXPECT_EQ(capped.back().Code, 142);
    EXPECT_EQ(capped.back().Keyword, "Slot126");
}

TEST(SpoolerPageRanges, AcceptsPagesRangesListsAndOpenEndsAndRejectsTheRest) {
    const struct { const char* in; const char* out; } cases[] = {
        {"", ""},       {"   ", ""},      {"3", "3"},           {"2-5", "2-5"},
        {"2,4", "2,4"}, {" 2 , 4 ", "2,4"}, {"2-", "2-"},       {"1-5,7,9-", "1-5,7,9-"},
        {"3-3", "3-3"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizePageRanges(c.in), c.out) << c.in;
    for (const char* bad : {"0", "-3", "5-2", "a", "2,,4", "2,", ",2", "2-4-6", "1.5", "2;4",
                            "99999999999", "2--3"}) {
        const std::string what = test::ExpectRuntimeError(kErrInvalidCall, [&] { NormalizePageRanges(bad); });
        EXPECT_NE(what.find(bad), std::string::npos) << what;
    }
}

TEST(SpoolerJobOptions, CopiesRangesAndTheTrayKeywordOfTheBin) {
    using List = std::vector<std::pair<std::string, std::string>>;
    PrinterInfo ppd{"PrinterA", true, {{7, "Auto", "Auto"}, {1, "Upper", "Upper"}, {2, "Lower", "Lower"}}, 99, ""};
    PrinterInfo ipp{"Raw", false, {{1, "Top", "top"}}, 1, ""};
    const struct { const PrinterInfo* printer; int32_t copies; const char* ranges; int32_t bin; List list; } cases[] = {
        {&ppd, 2, "2-3", 2, {{"copies", "2"}, {"page-ranges", "2-3"}, {"InputSlot", "Lower"}}},
        {&ppd, 1, "", 258, {{"copies", "1"}, {"InputSlot", "Lower"}}},  // the low byte: 2
        {&ppd, 1, "2,4", 7, {{"copies", "1"}, {"page-ranges", "2,4"}}},  // automatic: no tray
        {&ppd, 1, "", 15, {{"copies", "1"}}},                            // form source: no tray
        {&ipp, 1, "", 1, {{"copies", "1"}, {"media-source", "top"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JobOptionList(*c.printer, c.copies, c.ranges, c.bin), c.list) << c.printer->Name << " " << c.bin;
    EXPECT_EQ(test::ExpectRuntimeError(482, [&] { JobOptionList(ipp, 2, "", 7); }),
              "Printer \"Raw\" cannot print 2 copies");
    EXPECT_EQ(test::ExpectRuntimeError(482, [&] { JobOptionList(ppd, 1, "", 14); }),
              "Printer \"PrinterA\" has no paper bin 14");
}

}  // namespace
}  // namespace qor::spooler
