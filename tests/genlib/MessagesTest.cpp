#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <qor/GenServices.h>

using qor::GenServices;
using qor::Message;

namespace {

// Runs `f` with Unattended set and returns what it wrote to standard error.
std::string StderrOf(const std::function<void()>& f) {
    const bool before = GenServices().Unattended;
    GenServices().Unattended = true;
    testing::internal::CaptureStderr();
    f();
    std::string out = testing::internal::GetCapturedStderr();
    GenServices().Unattended = before;
    return out;
}

}  // namespace

TEST(ShowMessage, UnattendedWritesToStandardErrorAndAnswersTheDefaultButton) {
    const struct {
        int32_t style;
        const char* title;
        int32_t answer;
        const char* written;
    } cases[] = {
        {0, "Title", qor::kAnswerOk, "Title: the text\n"},
        {16, "PrBoxText", qor::kAnswerOk, "PrBoxText: the text\n"},
        {64, "", qor::kAnswerOk, "the text\n"},
        {36, "PrRapport", qor::kAnswerYes, "PrRapport: the text\n"},
        {4 + 256, "Q", qor::kAnswerNo, "Q: the text\n"},
        {3 + 512, "Q", qor::kAnswerCancel, "Q: the text\n"},
        {1, "Q", qor::kAnswerOk, "Q: the text\n"},
        {2 + 256, "Q", qor::kAnswerRetry, "Q: the text\n"},
        {0 + 512, "Q", qor::kAnswerOk, "Q: the text\n"},  // no third button: the first
    };
    for (const auto& c : cases) {
        int32_t answer = -1;
        int32_t returned = -1;
        const std::string written =
            StderrOf([&] { returned = GenServices().ShowMessage("the text", c.style, c.title, answer); });
        EXPECT_EQ(answer, c.answer) << c.style;
        EXPECT_EQ(returned, c.answer) << c.style;
        EXPECT_EQ(written, c.written) << c.style;
    }
}

TEST(ShowMessage, CarriageReturnsBecomeLineFeedsOnStandardError) {
    const std::string written = StderrOf([] {
        GenServices().ShowMessage("first\r\rsecond\r\nthird", 0, "T");
    });
    EXPECT_EQ(written, "T: first\n\nsecond\nthird\n");
}

TEST(ShowMessage, TheObserverSeesEveryMessageAndMayAnswerIt) {
    std::vector<Message> seen;
    std::optional<int32_t> reply = qor::kAnswerNo;
    qor::ScopedMessageObserver watch([&](const Message& m) {
        seen.push_back(m);
        return reply;
    });

    int32_t answer = 0;
    std::string written = StderrOf([&] {
        EXPECT_EQ(GenServices().ShowMessage("Doorgaan ?", 36, "PrRapport", answer), qor::kAnswerNo);
    });
    EXPECT_EQ(answer, qor::kAnswerNo);
    EXPECT_EQ(written, "");  // answered: nothing shown or written

    reply = std::nullopt;  // let the next one through
    written = StderrOf([&] { GenServices().ShowMessage("line\r", 64, ""); });
    EXPECT_EQ(written, "line\n\n");

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, "Doorgaan ?");
    EXPECT_EQ(seen[0].style, 36);
    EXPECT_EQ(seen[0].title, "PrRapport");
    EXPECT_EQ(seen[1].text, "line\r");  // the observer gets the text unchanged
    EXPECT_EQ(seen[1].style, 64);
    EXPECT_EQ(seen[1].title, "");
}

TEST(ShowMessage, ScopedObserversNestAndRestore) {
    std::vector<std::string> outer, inner;
    qor::ScopedMessageObserver a([&](const Message& m) {
        outer.push_back(m.text);
        return std::optional<int32_t>(1);
    });
    {
        qor::ScopedMessageObserver b([&](const Message& m) {
            inner.push_back(m.text);
            return std::optional<int32_t>(2);
        });
        EXPECT_EQ(GenServices().ShowMessage("one"), 2);
    }
    EXPECT_EQ(GenServices().ShowMessage("two"), 1);
    EXPECT_EQ(inner, std::vector<std::string>{"one"});
    EXPECT_EQ(outer, std::vector<std::string>{"two"});
}

TEST(ShowMessage, AMessageShownByTheObserverBypassesIt) {
    int calls = 0;
    qor::ScopedMessageObserver watch([&](const Message& m) -> std::optional<int32_t> {
        ++calls;
        if (m.text == "outer") GenServices().ShowMessage("inner", 0, "nested");
        return 7;
    });
    const std::string written = StderrOf([] { EXPECT_EQ(GenServices().ShowMessage("outer", 4), 7); });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(written, "nested: inner\n");
}

TEST(ShowMessage, AnObserverThatThrowsPassesTheErrorOnAndStaysInstalled) {
    int calls = 0;
    qor::ScopedMessageObserver watch([&](const Message&) -> std::optional<int32_t> {
        if (++calls == 1) throw std::runtime_error("stop");
        return 1;
    });
    EXPECT_THROW(GenServices().ShowMessage("a"), std::runtime_error);
    EXPECT_EQ(GenServices().ShowMessage("b"), 1);
    EXPECT_EQ(calls, 2);
}

TEST(ShowMessage, ObserversBelongToTheirThread) {
    std::vector<std::string> mainSeen;
    qor::ScopedMessageObserver watch([&](const Message& m) {
        mainSeen.push_back(m.text);
        return std::optional<int32_t>(1);
    });
    std::vector<std::string> workerSeen;
    std::thread([&] {
        qor::ScopedMessageObserver workerWatch([&](const Message& m) {
            workerSeen.push_back(m.text);
            return std::optional<int32_t>(1);
        });
        GenServices().ShowMessage("from worker");
    }).join();
    GenServices().ShowMessage("from main");
    EXPECT_EQ(mainSeen, std::vector<std::string>{"from main"});
    EXPECT_EQ(workerSeen, std::vector<std::string>{"from worker"});
}
