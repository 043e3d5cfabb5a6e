#include "surface/SpoolerCups.h"
#include "surface/SpoolerTrays.h"

#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

namespace qor::spooler {
namespace {

TEST(SpoolerTrays, KeywordsOfBothKindsMapToTheStandardCodes) {
    const struct {
        const char* keyword;
        int32_t code;
    } cases[] = {
        {"Upper", 1},         {"Top", 1},           {"top", 1},          {"Lower", 2},
        {"Bottom", 2},        {"bottom", 2},        {"Middle", 3},       {"center", 3},
        {"Manual", 4},        {"ManualFeed", 4},    {"by-pass-tray", 4}, {"Envelope", 5},
        {"envelope", 5},      {"EnvManual", 6},     {"Auto", 7},         {"AutoSelect", 7},
        {"Default", 7},       {"auto", 7},          {"Tractor", 8},      {"SmallFormat", 9},
        {"LargeFormat", 10},  {"LargeCapacity", 11}, {"large-capacity", 11},
        {"Cassette", 14},     {"FormSource", 15},   {"MANUAL_FEED", 4},
        // Trays without a standard meaning
        {"tray-1", 0},        {"PhotoTray", 0},     {"main", 0},         {"", 0},
        {"Uppermost", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StandardBinCode(c.keyword), c.code) << c.keyword;
    }
}

TEST(SpoolerTrays, OtherTraysAndRepeatedMeaningsGetCodesFrom16InOrder) {
    const std::vector<Tray> trays = AssignTrayCodes({
        {"Cassette", "Cassette"},
        {"PhotoTray", "Photo Paper Tray"},
        {"Top", "Top Tray"},
        {"Upper", "Upper Tray"},  // same meaning as Top: must stay selectable on its own
        {"tray-5", ""},
    });
    ASSERT_EQ(trays.size(), 5u);
    const int32_t codes[] = {14, 16, 1, 17, 18};
    for (size_t i = 0; i < trays.size(); ++i) EXPECT_EQ(trays[i].Code, codes[i]) << i;
    EXPECT_EQ(trays[1].Name, "Photo Paper Tray");
    EXPECT_EQ(trays[1].Keyword, "PhotoTray");
    EXPECT_EQ(trays[4].Name, "tray-5");  // no label: the keyword
}

TEST(SpoolerTrays, AtMost127TraysAllWithinOneByte) {
    std::vector<TraySource> many;
    for (int i = 0; i < 200; ++i) many.push_back({"Slot" + std::to_string(i), ""});
    const std::vector<Tray> trays = AssignTrayCodes(many);
    ASSERT_EQ(trays.size(), 127u);
    EXPECT_EQ(trays.front().Code, 16);
    EXPECT_EQ(trays.back().Code, 142);
    EXPECT_EQ(trays.back().Keyword, "Slot126");
}

TEST(SpoolerTrays, NamesAreCutTo24CharactersWithoutSplittingOne) {
    const std::vector<Tray> trays = AssignTrayCodes({
        {"A", "Tray 5 with a very long descriptive name"},
        {"B", "Bac d'alimentation spécial à gauche"},
        {"C", "exactly twenty-four char"},
    });
    EXPECT_EQ(trays[0].Name, "Tray 5 with a very long ");
    EXPECT_EQ(trays[1].Name, "Bac d'alimentation spéci");  // é is one character
    EXPECT_EQ(trays[2].Name, "exactly twenty-four char");
    EXPECT_EQ(CutUtf8("\xC3\xA9\xC3\xA9", 1), "\xC3\xA9");
}

TEST(SpoolerPageRanges, AcceptsPagesRangesListsAndOpenEnds) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},       {"   ", ""},      {"3", "3"},           {"2-5", "2-5"},
        {"2,4", "2,4"}, {" 2 , 4 ", "2,4"}, {"2-", "2-"},       {"1-5,7,9-", "1-5,7,9-"},
        {"3-3", "3-3"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizePageRanges(c.in), c.out) << c.in;
}

TEST(SpoolerPageRanges, RejectsEverythingElseAsInvalidCall) {
    for (const char* bad : {"0", "-3", "5-2", "a", "2,,4", "2,", ",2", "2-4-6", "1.5", "2;4",
                            "99999999999", "2--3"}) {
        try {
            NormalizePageRanges(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), kErrInvalidCall) << bad;
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace qor::spooler
