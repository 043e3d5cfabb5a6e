#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>

#include "core/LibraryTexts.h"
#include "support/Errors.h"

namespace {

std::string Placeholder(int64_t resourceId) { return " [LL " + std::to_string(resourceId) + " ?] "; }

// Sets the thread's language offset for one scope.
struct Offset {
    explicit Offset(int32_t offset) : before(qor::GenServices().LanguageOffset) {
        qor::GenServices().LanguageOffset = offset;
    }
    ~Offset() { qor::GenServices().LanguageOffset = before; }
    int32_t before;
};

bool IsCapitals(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); }) &&
           std::none_of(text.begin(), text.end(), [](unsigned char c) { return std::islower(c); });
}

}  // namespace

// tests/fixtures/texts_expected.tsv holds every id of the three languages, transcribed by hand:
// "[text]" or "(none)" for the placeholder. The library's table must hold exactly those texts.
TEST(GetText, EveryTextOfTheTableByteForByteInEachLanguageAndNothingElse) {
    std::ifstream in(QOR_FIXTURES_DIR "/texts_expected.tsv", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::map<int32_t, std::optional<std::string>> expected;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::string text = line.substr(line.find('\t') + 1);
        ASSERT_TRUE(text == "(none)" || (text.size() >= 2 && text.front() == '[' && text.back() == ']')) << line;
        expected[std::stoi(line)] = text == "(none)" ? std::nullopt : std::optional(text.substr(1, text.size() - 2));
    }
    ASSERT_EQ(expected.size(), 3u * 89u + 4u);  // 89 ids in 3 languages, plus 21055-21058
    for (const auto& [resourceId, text] : expected) {
        Offset language(resourceId / 10000 * 10000);
        EXPECT_EQ(qor::GetText(resourceId % 10000), text ? *text : Placeholder(resourceId)) << resourceId;
    }
    for (const auto& [resourceId, text] : qor::detail::LibraryTexts().Texts()) {
        if (resourceId % 10000 >= 1055 && resourceId % 10000 <= 1058) continue;  // organisation texts
        const auto it = expected.find(resourceId);
        EXPECT_TRUE(it != expected.end() && it->second.has_value()) << "unexpected id " << resourceId;
    }
    // The organisation: a one-word name and three lines in capitals, in Dutch and French only.
    for (int32_t offset : {0, 10000}) {
        Offset language(offset);
        const std::string name = qor::GetText(1055);
        EXPECT_TRUE(!name.empty() && name.find_first_of(" [") == std::string::npos) << name;
        for (int32_t id : {1056, 1057, 1058}) EXPECT_TRUE(IsCapitals(qor::GetText(id))) << qor::GetText(id);
    }
}

TEST(GetText, PlaceholdersSharedTextsOverflowAndVariantIds) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    const struct { int32_t offset; int32_t id; std::string expected; } cases[] = {
        // Ids without a text, and a language without texts, give the placeholder.
        {0, 999, Placeholder(999)}, {0, 1116, Placeholder(1116)}, {0, -1, Placeholder(-1)},
        {0, 9499, Placeholder(9499)}, {30000, 1000, " [LL 31000 ?] "},
        // From 9500 on: the shared texts, with the offset; the library's table is not consulted.
        {0, 9500, "Annuleren"}, {10000, 9500, "Annuler"}, {20000, 9596, "Total"},
        {20000, 9999, "[29999]"}, {20000, 11000, "[31000]"}, {30000, 9500, "[39500]"},
        {kMax, -5, Placeholder(int64_t{kMax} - 5)},
    };
    for (const auto& c : cases) {
        Offset language(c.offset);
        EXPECT_EQ(qor::GetText(c.id), c.expected) << c.offset << " + " << c.id;
    }
    {
        Offset huge(kMax);
        qor::test::ExpectRuntimeError(qor::kErrOverflow, [] { qor::GetText(1000); });
        qor::test::ExpectRuntimeError(qor::kErrOverflow, [] { qor::GetText(9500); });
        Offset negative(-10000);
        qor::test::ExpectRuntimeError(qor::kErrOverflow, [] { qor::GetText(std::numeric_limits<int32_t>::min()); });
    }
    Offset dutch(0);
    EXPECT_EQ(qor::GetText(qor::Variant("1000")), "Pagina ");
    EXPECT_EQ(qor::GetText(qor::Variant(1102.5)), "Onderste lade");  // half to even: 1102
    EXPECT_EQ(qor::GetText(qor::Variant(1103.5)), "Manuele invoer");  // 1104
    qor::test::ExpectRuntimeError(qor::kErrTypeMismatch, [] { qor::GetText(qor::Variant("Pagina")); });
    qor::test::ExpectRuntimeError(qor::kErrInvalidUseOfNull, [] { qor::GetText(qor::Variant::Null()); });
    qor::test::ExpectRuntimeError(qor::kErrOverflow, [] { qor::GetText(qor::Variant(3e10)); });
}
