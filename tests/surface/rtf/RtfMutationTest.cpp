// The reader fed with thousands of deterministic mutations of real RTF files, so that a
// crash or a sanitizer finding shows up in every test run, not only when fuzzing.
#include <gtest/gtest.h>

#include <random>

#include "surface/RtfReader.h"
#include "surface/rtf/RtfTestUtil.h"

namespace qor {
namespace {

constexpr std::string_view kTokens[] = {
    "{", "}", "\\", "\\'", "\\'8", "\\'80", "\\u", "\\u-", "\\u8364?", "\\uc0 ", "\\uc5 ",
    "\\bin", "\\bin3 ", "\\bin99999 ", "\\*", "{\\*\\x ", "\\par", "\\line", "\\tab", "\\page",
    "\\plain", "\\pard", "\\f", "\\f999 ", "\\fs", "\\fs0 ", "\\cf", "\\cf99 ", "\\fonttbl",
    "{\\fonttbl{\\f0\\fcharset128 X;}}", "\\colortbl", "\\red", "\\ansicpg932 ", "\\ansicpg1 ",
    "\\tx", "\\tqr", "\\tx-5 ", "\\sl-1 ", "\\li-99999 ", "\\v", "\\pict", "-", "99999999999",
    ";", " ", "\r\n", "\xff", "\x00", "\\\xe9",
};

std::string Mutate(std::string s, std::mt19937& rng) {
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const size_t at = pick(s.size() + 1);
        switch (rng() % 6) {
        case 0:
            if (!s.empty()) s[pick(s.size())] = char(rng());
            break;
        case 1: {
            const std::string_view t = kTokens[pick(std::size(kTokens))];
            s.insert(at, t);
            break;
        }
        case 2: s.erase(at, pick(64)); break;
        case 3: {
            const size_t from = pick(s.size() + 1);
            s.insert(at, s.substr(from, pick(256)));
            break;
        }
        case 4: s.resize(at); break;
        case 5: s.insert(at, std::string(pick(300), rng() % 2 ? '{' : '}')); break;
        }
    }
    return s;
}

void ExpectCleanText(const RtfReadResult& r, const std::string& input) {
    ASSERT_NE(r.document, nullptr);
    const QString text = r.document->toPlainText();
    for (QChar c : text) {
        const char16_t u = c.unicode();
        ASSERT_FALSE((u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u < 0xA0))
            << "control character U+" << std::hex << int(u) << " from input of " << input.size() << " bytes";
    }
    EXPECT_LE(r.document->blockCount(), int(input.size()) + 1);
    EXPECT_LE(r.warnings.size(), size_t(kRtfMaxWarnings));
}

TEST(RtfReader, SurvivesMutatedRealFiles) {
    const std::string memo = rtftest::SharedFixture("memo-richedit.rtf");
    const std::string terms = rtftest::SharedFixture("voorwaarden-office-suite.rtf");
    ASSERT_FALSE(memo.empty());
    ASSERT_GT(terms.size(), 6000u);
    const std::vector<std::string> seeds = {
        memo, terms.substr(0, 4000), terms.substr(terms.size() - 2000),
        R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1\green2\blue3;}\f0\fs20\cf1 a\u8364?\'80\tab b\par})",
    };
    std::mt19937 rng(20260301);
    int parsed = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string input = Mutate(seeds[size_t(i) % seeds.size()], rng);
        const RtfReadResult r = ReadRtf(input);
        ExpectCleanText(r, input);
        if (i % 100 == 0) {
            // Reading is deterministic: the same bytes give the same text.
            EXPECT_EQ(ReadRtf(input).document->toPlainText(), r.document->toPlainText());
        }
        if (HasFailure()) {
            ADD_FAILURE() << "mutation " << i << " of seed " << i % seeds.size();
            return;
        }
        ++parsed;
    }
    EXPECT_EQ(parsed, 3000);
}

}  // namespace
}  // namespace qor
