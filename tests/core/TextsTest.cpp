#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <latch>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include <qor/GenServices.h>
#include <qor/RuntimeError.h>
#include <qor/Texts.h>

#include "core/LibraryTexts.h"

namespace {

// The hand-transcribed texts of tests/fixtures/texts_expected.tsv, by resource id; nullopt
// where the language has no text.
std::map<int32_t, std::optional<std::string>> ExpectedTexts() {
    std::ifstream in(QOR_FIXTURES_DIR "/texts_expected.tsv", std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing texts_expected.tsv";
    std::map<int32_t, std::optional<std::string>> expected;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        const int32_t id = std::stoi(line.substr(0, tab));
        const std::string text = line.substr(tab + 1);
        if (text == "(none)") {
            expected[id] = std::nullopt;
        } else {
            EXPECT_TRUE(text.size() >= 2 && text.front() == '[' && text.back() == ']') << line;
            expected[id] = text.substr(1, text.size() - 2);
        }
    }
    return expected;
}

std::string Placeholder(int64_t resourceId) { return " [LL " + std::to_string(resourceId) + " ?] "; }

// Sets the thread's language offset for one scope.
struct Offset {
    explicit Offset(int32_t offset) : before(qor::GenServices().LanguageOffset) {
        qor::GenServices().LanguageOffset = offset;
    }
    ~Offset() { qor::GenServices().LanguageOffset = before; }
    int32_t before;
};

int ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const qor::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

bool IsCapitals(const std::string& text) {
    return !text.empty() && std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); }) &&
           std::none_of(text.begin(), text.end(), [](unsigned char c) { return std::islower(c); });
}

}  // namespace

TEST(GetText, EveryTextOfTheTableByteForByteInEachLanguage) {
    const auto expected = ExpectedTexts();
    ASSERT_EQ(expected.size(), 3u * 85u + 4u);  // 85 ids in 3 languages, plus 21055-21058
    for (const auto& [resourceId, text] : expected) {
        const int32_t offset = resourceId / 10000 * 10000;
        Offset language(offset);
        const std::string got = qor::GetText(resourceId - offset);
        EXPECT_EQ(got, text ? *text : Placeholder(resourceId)) << "id " << resourceId;
    }
}

TEST(GetText, TheTableHoldsNothingElse) {
    const auto expected = ExpectedTexts();
    for (const auto& [resourceId, text] : qor::detail::LibraryTexts().Texts()) {
        const int32_t base = resourceId % 10000;
        if (base >= 1055 && base <= 1058) continue;  // organisation texts, checked below
        auto it = expected.find(resourceId);
        ASSERT_NE(it, expected.end()) << "unexpected id " << resourceId;
        EXPECT_TRUE(it->second.has_value()) << "id " << resourceId << " should have no text";
    }
}

TEST(GetText, OrganisationTextsHaveTheirShapeInDutchAndFrenchOnly) {
    for (int32_t offset : {0, 10000}) {
        Offset language(offset);
        const std::string place = qor::GetText(1055);
        EXPECT_FALSE(place.empty());
        EXPECT_EQ(place.find(' '), std::string::npos) << place;  // one word
        EXPECT_EQ(place.find("[LL"), std::string::npos) << place;
        for (int32_t id : {1056, 1057, 1058}) {
            const std::string line = qor::GetText(id);
            EXPECT_TRUE(IsCapitals(line)) << id << ": " << line;
            EXPECT_EQ(line.find("[LL"), std::string::npos);
        }
    }
    Offset english(20000);
    for (int32_t id = 1055; id <= 1058; ++id) EXPECT_EQ(qor::GetText(id), Placeholder(20000 + id));
}

TEST(GetText, IdsWithoutTextGiveThePlaceholder) {
    Offset dutch(0);
    for (int32_t id : {999, 1074, 1100, 1116, 0, -1, 9499}) {
        EXPECT_EQ(qor::GetText(id), Placeholder(id)) << id;
    }
    Offset english(20000);
    EXPECT_EQ(qor::GetText(1063), " [LL 21063 ?] ");
    EXPECT_EQ(qor::GetText(1060), " [LL 21060 ?] ");
}

TEST(GetText, AnOffsetWithoutTextsGivesPlaceholdersEverywhere) {
    Offset none(30000);
    EXPECT_EQ(qor::GetText(1000), " [LL 31000 ?] ");
    for (int32_t id = 1000; id <= 1115; ++id) EXPECT_EQ(qor::GetText(id), Placeholder(30000 + id));
}

TEST(GetText, IdsFrom9500AreSharedTextsWithTheOffset) {
    {
        Offset dutch(0);
        EXPECT_EQ(qor::GetText(9500), "Annuleren");
        EXPECT_EQ(qor::GetText(9596), "Totaal");
    }
    {
        Offset french(10000);
        EXPECT_EQ(qor::GetText(9500), "Annuler");
    }
    {
        Offset english(20000);
        EXPECT_EQ(qor::GetText(9500), "Cancel");
        EXPECT_EQ(qor::GetText(9596), "Total");
        EXPECT_EQ(qor::GetText(9700), qor::GenServices().SharedText(29700));
        EXPECT_EQ(qor::GetText(9999), "[29999]");
        // Above 9500 the library's table is not consulted, even for its own ids.
        EXPECT_EQ(qor::GetText(11000), "[31000]");
    }
    Offset none(30000);
    EXPECT_EQ(qor::GetText(9500), "[39500]");
}

TEST(GetText, AnOverflowingIdPlusOffsetRaisesOverflow) {
    {
        Offset huge(std::numeric_limits<int32_t>::max());
        EXPECT_EQ(ErrorNumberOf([] { qor::GetText(1000); }), qor::kErrOverflow);
        EXPECT_EQ(ErrorNumberOf([] { qor::GetText(9500); }), qor::kErrOverflow);
        EXPECT_EQ(qor::GetText(-5), Placeholder(int64_t{std::numeric_limits<int32_t>::max()} - 5));
    }
    Offset negative(-10000);
    EXPECT_EQ(ErrorNumberOf([] { qor::GetText(std::numeric_limits<int32_t>::min()); }), qor::kErrOverflow);
}

TEST(GetText, AVariantIdMustBeANumber) {
    Offset dutch(0);
    EXPECT_EQ(qor::GetText(qor::Variant("1000")), "Pagina ");
    EXPECT_EQ(qor::GetText(qor::Variant(1102.5)), "Onderste lade");  // half to even: 1102
    EXPECT_EQ(qor::GetText(qor::Variant(1103.5)), "Manuele invoer");     // 1104
    EXPECT_EQ(ErrorNumberOf([] { qor::GetText(qor::Variant("Pagina")); }), qor::kErrTypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { qor::GetText(qor::Variant::Null()); }), qor::kErrInvalidUseOfNull);
    EXPECT_EQ(ErrorNumberOf([] { qor::GetText(qor::Variant(3e10)); }), qor::kErrOverflow);
}

TEST(GetText, ThreadsReadTheirOwnLanguageAtTheSameTime) {
    constexpr int kRounds = 2000;
    std::latch ready(2);
    int mismatchesEnglish = 0;
    int mismatchesDutch = 0;
    auto worker = [&](int32_t offset, const char* page, const char* of, int& mismatches) {
        qor::GenServices().LanguageOffset = offset;
        ready.arrive_and_wait();  // both offsets are set before either thread reads
        for (int i = 0; i < kRounds; ++i) {
            if (qor::GetText(1000) != page || qor::GetText(1001) != of) ++mismatches;
        }
    };
    std::thread english(worker, 20000, "Page ", " of ", std::ref(mismatchesEnglish));
    std::thread dutch(worker, 0, "Pagina ", " van ", std::ref(mismatchesDutch));
    english.join();
    dutch.join();
    EXPECT_EQ(mismatchesEnglish, 0);
    EXPECT_EQ(mismatchesDutch, 0);
}
