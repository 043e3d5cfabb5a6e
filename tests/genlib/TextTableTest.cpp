#include <gtest/gtest.h>

#include "genlib/TextTable.h"

using qor::detail::TextTable;
using qor::detail::TextTableError;

TEST(TextTable, ReadsThreeLanguagesWithBlanksEscapesAndMissingTexts) {
    const TextTable table(
        "# comment\n"
        "\n"
        "1000\tPagina \t Page\t\\N\n"
        "1001\ta\\tb\\\\c\\r\\n\t\tplain ''quoted''\n",
        "test.tsv");
    EXPECT_EQ(table.Find(1000), "Pagina ");
    EXPECT_EQ(table.Find(11000), " Page");
    EXPECT_FALSE(table.Find(21000).has_value());
    EXPECT_EQ(table.Find(1001), "a\tb\\c\r\n");
    EXPECT_EQ(table.Find(11001), "");  // an empty text is a text
    EXPECT_EQ(table.Find(21001), "plain ''quoted''");
    EXPECT_FALSE(table.Find(1002).has_value());
    EXPECT_EQ(table.Size(), 5u);
    EXPECT_EQ(TextTable("9500\tAnnuleren\tAnnuler\tCancel", "t").Find(29500), "Cancel");  // no final line feed
}

TEST(TextTable, RejectsMalformedRowsNamingTheLine) {
    const struct { const char* data; const char* fragment; } cases[] = {
        {"1000\ta\tb\n", "line 1: expected 4"}, {"# c\n1000\ta\tb\tc\td\n", "line 2: expected 4"},
        {"x1\ta\tb\tc\n", "bad id"}, {"10000\ta\tb\tc\n", "bad id"}, {"1000\ta\\q\tb\tc\n", "unknown escape"},
        {"1000\ta\\\tb\tc\n", "backslash at the end"}, {"1000\ta\tb\tc\n1000\td\te\tf\n", "appears twice"},
    };
    for (const auto& c : cases) {
        try {
            TextTable table(c.data, "bad.tsv");
            ADD_FAILURE() << "accepted: " << c.data;
        } catch (const TextTableError& e) {
            EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("bad.tsv", 0), 0u) << e.what();
        }
    }
}
