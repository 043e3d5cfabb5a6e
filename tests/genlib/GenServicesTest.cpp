#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <latch>
#include <optional>
#include <string>
#include <thread>

#include <qor/GenServices.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

namespace {

// Sets (or, with nullptr, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

int ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const qor::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(SharedText, GivesTheTextOfTheIdWithItsLanguageOffset) {
    const auto& gs = qor::GenServices();
    EXPECT_EQ(gs.SharedText(9500), "Annuleren");
    EXPECT_EQ(gs.SharedText(19500), "Annuler");
    EXPECT_EQ(gs.SharedText(29500), "Cancel");
    EXPECT_EQ(gs.SharedText(9596), "Totaal");
    EXPECT_EQ(gs.SharedText(29596), "Total");
    for (int32_t offset : {0, 10000, 20000}) {
        const std::string closing = gs.SharedText(9700 + offset);
        EXPECT_FALSE(closing.empty());
        EXPECT_NE(closing.front(), '[') << offset;
    }
}

TEST(SharedText, AbsentIdsGiveTheIdInBrackets) {
    const auto& gs = qor::GenServices();
    EXPECT_EQ(gs.SharedText(9999), "[9999]");
    EXPECT_EQ(gs.SharedText(39500), "[39500]");
    EXPECT_EQ(gs.SharedText(1000), "[1000]");
    EXPECT_EQ(gs.SharedText(-9500), "[-9500]");
}

TEST(GenServices, ConvertsMillimetresAndTwips) {
    const auto& gs = qor::GenServices();
    EXPECT_FLOAT_EQ(gs.MmToTwips(25.4f), 1440.0f);
    EXPECT_FLOAT_EQ(gs.MmToTwips(10.0f), 566.92914f);
    EXPECT_FLOAT_EQ(gs.TwipsToMm(1440.0f), 25.4f);
    EXPECT_FLOAT_EQ(gs.TwipsToMm(gs.MmToTwips(210.0f)), 210.0f);
    EXPECT_FLOAT_EQ(gs.MmToTwips(-5.0f), -283.46457f);
    EXPECT_EQ(ErrorNumberOf([&] { gs.MmToTwips(3.0e38f); }), qor::kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([&] { gs.MmToTwips(INFINITY); }), qor::kErrOverflow);
}

TEST(GenServices, IsOnePerThread) {
    qor::GenServices().LanguageOffset = 20000;
    qor::GenServices().LastErrorText = "main";
    int32_t otherOffset = -1;
    std::string otherText = "x";
    std::thread([&] {
        otherOffset = qor::GenServices().LanguageOffset;
        otherText = qor::GenServices().LastErrorText;
        qor::GenServices().LanguageOffset = 10000;
    }).join();
    EXPECT_EQ(otherOffset, 0);
    EXPECT_EQ(otherText, "");
    EXPECT_EQ(qor::GenServices().LanguageOffset, 20000);
    qor::GenServices().LanguageOffset = 0;
    qor::GenServices().LastErrorText.clear();
}

TEST(GenServices, DefaultsOfTheSimpleProperties) {
    const qor::GenServicesObject gs;
    EXPECT_EQ(gs.LanguageOffset, 0);
    EXPECT_EQ(gs.FieldSeparator, ";");
    EXPECT_FALSE(gs.MessageSeparator.empty());
    EXPECT_EQ(gs.LastErrorNumber, 0);
    EXPECT_EQ(gs.LastErrorText, "");
    EXPECT_FALSE(gs.FormActivated);
    EXPECT_FALSE(gs.NoLayoutCheck);
    EXPECT_FALSE(gs.UseApplicationFolder);
    EXPECT_FALSE(gs.RegisteredApplication.has_value());
}

TEST(GenServices, UnattendedFollowsTheEnvironment) {
    struct Case {
        const char* unattended;
        const char* display;
        const char* wayland;
        const char* platform;
        bool expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, true},        // no display at all
        {nullptr, ":0", nullptr, nullptr, false},          // X11
        {nullptr, nullptr, "wayland-0", nullptr, false},   // Wayland
        {nullptr, ":0", nullptr, "offscreen", true},       // display, but drawn offscreen
        {nullptr, ":0", nullptr, "xcb", false},
        {"1", ":0", nullptr, nullptr, true},               // asked for
        {"0", nullptr, nullptr, "offscreen", false},       // explicitly attended
    };
    for (const Case& c : cases) {
        ScopedEnv u("QORPRINT_UNATTENDED", c.unattended);
        ScopedEnv d("DISPLAY", c.display);
        ScopedEnv w("WAYLAND_DISPLAY", c.wayland);
        ScopedEnv p("QT_QPA_PLATFORM", c.platform);
        const qor::GenServicesObject gs;
        EXPECT_EQ(gs.Unattended, c.expected)
            << (c.unattended ? c.unattended : "-") << " " << (c.display ? c.display : "-") << " "
            << (c.wayland ? c.wayland : "-") << " " << (c.platform ? c.platform : "-");
    }
}

TEST(GenServices, LocaleForwardsToTheThreadLocale) {
    auto& gs = qor::GenServices();
    const std::string before = gs.Locale;
    gs.Locale = "nl_BE";
    EXPECT_EQ(std::string(gs.Locale), "nl_BE");
    EXPECT_EQ(qor::ThreadLocale().decimal, ",");
    EXPECT_EQ(qor::GenServices().ToNumber(qor::Variant("2,5")).ToDouble(), 2.5);

    std::string other;
    std::thread([&] {
        qor::GenServices().Locale = "en_US";
        other = qor::GenServices().Locale.Name();
    }).join();
    EXPECT_EQ(other, "en_US");
    EXPECT_EQ(gs.Locale.Name(), "nl_BE");

    EXPECT_EQ(ErrorNumberOf([&] { gs.Locale = "xx_NOWHERE"; }), qor::kErrInvalidCall);
    gs.Locale = before;
}

TEST(GenServices, RegistersTheApplication) {
    qor::GenServicesObject gs;
    gs.RegisterApplication(qor::Application{"myapp", "/opt/myapp"}, true);
    ASSERT_TRUE(gs.RegisteredApplication.has_value());
    EXPECT_EQ(gs.RegisteredApplication->EXEName, "myapp");
    EXPECT_EQ(gs.RegisteredApplication->Path, "/opt/myapp");
    EXPECT_TRUE(gs.ApplicationDiffers);
}

TEST(GenServices, DataFolderPrefersTheEnvironmentThenTheGivenFolder) {
    const qor::GenServicesObject gs;
    {
        ScopedEnv env("QORPRINT_DATA_DIR", "/srv/letterheads/");
        EXPECT_EQ(gs.DataFolder("/opt/myapp"), "/srv/letterheads");
        EXPECT_EQ(gs.DataFolder(""), "/srv/letterheads");
    }
    ScopedEnv env("QORPRINT_DATA_DIR", nullptr);
    EXPECT_EQ(gs.DataFolder("/opt/myapp/"), "/opt/myapp");
    ScopedEnv xdg("XDG_DATA_HOME", "/tmp/qor-xdg");
    EXPECT_EQ(gs.DataFolder(""), "/tmp/qor-xdg/qorprint");
}

TEST(GenServices, ScreenMetricsWithoutAGui) {
    const auto& gs = qor::GenServices();
    EXPECT_EQ(gs.ScreenPoint("X"), 0);
    EXPECT_EQ(gs.ScreenPoint("y"), 0);
    EXPECT_EQ(ErrorNumberOf([&] { gs.ScreenPoint("Z"); }), qor::kErrInvalidCall);

    int32_t left = -1, top = -1, right = -1, bottom = -1, width = -1, height = -1;
    gs.WindowArea(left, top, right, bottom, width, height);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(width, 28800);   // 1920 pixels at 96 dpi
    EXPECT_EQ(height, 16200);  // 1080 pixels
    EXPECT_EQ(right, 28800);
    EXPECT_EQ(bottom, 16200);
}
