#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <qor/GenServices.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include "support/Errors.h"

namespace {

// Sets (or, with nullptr, removes) an environment variable for one scope.
struct ScopedEnv {
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* was = std::getenv(name)) old = was;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
    const char* name;
    std::optional<std::string> old;
};

// Runs `f` with Unattended set and returns what it wrote to standard error.
std::string StderrOf(const std::function<void()>& f) {
    const bool before = qor::GenServices().Unattended;
    qor::GenServices().Unattended = true;
    testing::internal::CaptureStderr();
    f();
    qor::GenServices().Unattended = before;
    return testing::internal::GetCapturedStderr();
}

// An observer that records the texts it sees and answers `answer`.
qor::ScopedMessageObserver Recorder(std::vector<std::string>& seen, int32_t answer) {
    return qor::ScopedMessageObserver([&seen, answer](const qor::Message& m) {
        seen.push_back(m.text);
        return std::optional<int32_t>(answer);
    });
}

}  // namespace

TEST(GenServices, ConvertsUnitsAndMeasuresA1920By1080ScreenWithoutAGui) {
    const auto& gs = qor::GenServices();
    EXPECT_FLOAT_EQ(gs.MmToTwips(10.0f), 566.92914f);
    EXPECT_FLOAT_EQ(gs.TwipsToMm(1440.0f), 25.4f);
    EXPECT_FLOAT_EQ(gs.MmToTwips(-5.0f), -283.46457f);
    qor::test::ExpectRuntimeError(qor::kErrOverflow, [&] { gs.MmToTwips(3.0e38f); });
    qor::test::ExpectRuntimeError(qor::kErrOverflow, [&] { gs.MmToTwips(INFINITY); });

    EXPECT_EQ(gs.ScreenPoint("y"), 0);
    qor::test::ExpectRuntimeError(qor::kErrInvalidCall, [&] { gs.ScreenPoint("Z"); });
    int32_t left = -1, top = -1, right = -1, bottom = -1, width = -1, height = -1;
    gs.WindowArea(left, top, right, bottom, width, height);
    EXPECT_EQ((std::array{left, top, right, bottom, width, height}), (std::array{0, 0, 28800, 16200, 28800, 16200}));
}

TEST(GenServices, UnattendedAndTheDataFolderFollowTheEnvironment) {
    const struct { const char *unattended, *display, *wayland, *platform; bool expected; } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, true},        // no display at all
        {nullptr, ":0", nullptr, nullptr, false},          // X11
        {nullptr, nullptr, "wayland-0", nullptr, false},   // Wayland
        {nullptr, ":0", nullptr, "offscreen", true},       // display, but drawn offscreen
        {"1", ":0", nullptr, nullptr, true},               // asked for
        {"0", nullptr, nullptr, "offscreen", false},       // explicitly attended
    };
    for (const auto& c : cases) {
        ScopedEnv u("QORPRINT_UNATTENDED", c.unattended);
        ScopedEnv d("DISPLAY", c.display);
        ScopedEnv w("WAYLAND_DISPLAY", c.wayland);
        ScopedEnv p("QT_QPA_PLATFORM", c.platform);
        const qor::GenServicesObject gs;
        EXPECT_EQ(gs.Unattended, c.expected) << "case " << &c - cases;
    }
    // The data folder: QORPRINT_DATA_DIR, else the folder given, else one under XDG_DATA_HOME.
    const qor::GenServicesObject gs;
    {
        ScopedEnv env("QORPRINT_DATA_DIR", "/srv/letterheads/");
        EXPECT_EQ(gs.DataFolder("/opt/myapp"), "/srv/letterheads");
    }
    ScopedEnv env("QORPRINT_DATA_DIR", nullptr);
    EXPECT_EQ(gs.DataFolder("/opt/myapp/"), "/opt/myapp");
    ScopedEnv xdg("XDG_DATA_HOME", "/tmp/qor-xdg");
    EXPECT_EQ(gs.DataFolder(""), "/tmp/qor-xdg/qorprint");
}

TEST(GenServices, LanguageOffsetAndLocaleArePerThread) {
    auto& gs = qor::GenServices();
    const std::string before = gs.Locale;
    gs.LanguageOffset = 20000;
    gs.Locale = "nl_BE";
    EXPECT_EQ(qor::ThreadLocale().decimal, ",");
    int32_t otherOffset = -1;
    std::thread([&] {
        otherOffset = qor::GenServices().LanguageOffset;
        qor::GenServices().LanguageOffset = 10000;
        qor::GenServices().Locale = "en_US";
    }).join();
    EXPECT_EQ(otherOffset, 0);
    EXPECT_EQ(gs.LanguageOffset, 20000);
    EXPECT_EQ(gs.Locale.Name(), "nl_BE");
    qor::test::ExpectRuntimeError(qor::kErrInvalidCall, [&] { gs.Locale = "xx_NOWHERE"; });
    gs.Locale = before;
    gs.LanguageOffset = 0;
}

TEST(ShowMessage, UnattendedWritesToStandardErrorAndAnswersTheDefaultButton) {
    const struct { const char* text; int32_t style; const char* title; int32_t answer; const char* out; } cases[] = {
        {"a", 0, "Title", qor::kAnswerOk, "Title: a\n"},  {"a", 64, "", qor::kAnswerOk, "a\n"},
        {"a", 36, "P", qor::kAnswerYes, "P: a\n"},        {"a", 4 + 256, "Q", qor::kAnswerNo, "Q: a\n"},
        {"a", 3 + 512, "Q", qor::kAnswerCancel, "Q: a\n"}, {"a", 2 + 256, "Q", qor::kAnswerRetry, "Q: a\n"},
        {"a", 0 + 512, "Q", qor::kAnswerOk, "Q: a\n"},  // no third button: the first
        {"first\r\rsecond\r\nthird", 16, "T", qor::kAnswerOk, "T: first\n\nsecond\nthird\n"},
    };
    for (const auto& c : cases) {
        int32_t answer = -1, returned = -1;
        EXPECT_EQ(StderrOf([&] { returned = qor::GenServices().ShowMessage(c.text, c.style, c.title, answer); }),
                  c.out) << c.style;
        EXPECT_EQ(answer, c.answer) << c.style;
        EXPECT_EQ(returned, c.answer) << c.style;
    }
}

TEST(ShowMessage, ObserversSeeEveryMessageUnchangedMayAnswerItAndNestPerThread) {
    std::vector<qor::Message> seen;
    std::optional<int32_t> reply = qor::kAnswerNo;
    {
        qor::ScopedMessageObserver watch([&](const qor::Message& m) {
            seen.push_back(m);
            return reply;
        });
        int32_t answer = 0;
        EXPECT_EQ(StderrOf([&] { qor::GenServices().ShowMessage("Doorgaan ?", 36, "PrRapport", answer); }), "");
        EXPECT_EQ(answer, qor::kAnswerNo);  // answered: nothing shown or written
        reply = std::nullopt;                // let the next one through
        EXPECT_EQ(StderrOf([&] { qor::GenServices().ShowMessage("line\r", 64, ""); }), "line\n\n");
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, "PrRapport");
    EXPECT_EQ(seen[0].style, 36);
    EXPECT_EQ(seen[1].text, "line\r");

    std::vector<std::string> outer, inner, worker;
    auto a = Recorder(outer, 1);
    {
        auto b = Recorder(inner, 2);
        EXPECT_EQ(qor::GenServices().ShowMessage("one"), 2);
    }
    EXPECT_EQ(qor::GenServices().ShowMessage("two"), 1);
    std::thread([&] {
        auto w = Recorder(worker, 1);
        qor::GenServices().ShowMessage("from worker");
    }).join();
    EXPECT_EQ(inner, std::vector<std::string>{"one"});
    EXPECT_EQ(outer, std::vector<std::string>{"two"});
    EXPECT_EQ(worker, std::vector<std::string>{"from worker"});

    // A message the observer itself shows bypasses it.
    int calls = 0;
    qor::ScopedMessageObserver nesting([&](const qor::Message& m) -> std::optional<int32_t> {
        ++calls;
        if (m.text == "outer") qor::GenServices().ShowMessage("inner", 0, "nested");
        return 7;
    });
    EXPECT_EQ(StderrOf([] { EXPECT_EQ(qor::GenServices().ShowMessage("outer", 4), 7); }), "nested: inner\n");
    EXPECT_EQ(calls, 1);
}
