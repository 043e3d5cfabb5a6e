// Date and time patterns, week numbers, date conversions and the dates' text form.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor {
namespace {

// Tuesday 5 March 2024, 14:07:09
Variant Sample() { return Variant::FromDate(MakeDate(2024, 3, 5, 14, 7, 9)); }

struct Case {
    const char* pattern;
    const char* nl;
    const char* en;
};

TEST(FormatDate, PatternsInDutchAndEnglish) {
    const std::vector<Case> cases{
        {"dd/mm/yyyy", "05/03/2024", "05/03/2024"},
        {"d/m/yy", "5/3/24", "5/3/24"},
        {"DD/MM/YYYY", "05/03/2024", "05/03/2024"},
        {"dddd d mmmm yyyy", "dinsdag 5 maart 2024", "Tuesday 5 March 2024"},
        {"ddd d mmm", "di 5 mrt", "Tue 5 Mar"},
        {"hh:mm:ss", "14:07:09", "14:07:09"},
        {"h:nn", "14:07", "14:07"},
        {"h:nn AM/PM", "2:07 PM", "2:07 PM"},
        {"hh:nn am/pm", "02:07 pm", "02:07 pm"},
        {"h A/P", "2 P", "2 P"},
        {"yyyy-mm-dd hh:nn", "2024-03-05 14:07", "2024-03-05 14:07"},
        {"ddddd", "5/03/2024", "3/5/2024"},
        {"dddddd", "dinsdag 5 maart 2024", "Tuesday, March 5, 2024"},
        {"ttttt", "14:07:09", "2:07:09 PM"},
        {"c", "5/03/2024 14:07:09", "3/5/2024 2:07:09 PM"},
        {"q", "1", "1"},
        {"y", "65", "65"},
        {"w", "3", "3"},
        {"ww", "10", "10"},
        {"\\Q q \"of\" yyyy", "Q 1 of 2024", "Q 1 of 2024"},
        {"Short Date", "5/03/2024", "3/5/2024"},
        {"Long Date", "dinsdag 5 maart 2024", "Tuesday, March 5, 2024"},
        {"Medium Date", "05-mrt-24", "05-Mar-24"},
        {"General Date", "5/03/2024 14:07:09", "3/5/2024 2:07:09 PM"},
        {"Long Time", "14:07:09", "2:07:09 PM"},
        {"Medium Time", "02:07 PM", "02:07 PM"},
        {"short time", "14:07", "14:07"},
    };
    for (const Case& c : cases) {
        {
            ScopedThreadLocale locale("nl_BE");
            EXPECT_EQ(Format(Sample(), c.pattern), c.nl) << "nl_BE " << c.pattern;
        }
        {
            ScopedThreadLocale locale("en_US");
            EXPECT_EQ(Format(Sample(), c.pattern), c.en) << "en_US " << c.pattern;
        }
    }
}

TEST(FormatDate, SeparatorsComeFromTheLocale) {
    ScopedThreadLocale locale("nl_NL");
    EXPECT_EQ(Format(Sample(), "dd/mm/yyyy"), "05-03-2024");
    EXPECT_EQ(Format(Sample(), "dd\\/mm"), "05/03");
    EXPECT_EQ(Format(Sample(), "Short Date"), "5-3-2024");
}

TEST(FormatDate, MidnightAndNoonOnTheTwelveHourClock) {
    ScopedThreadLocale locale("en_US");
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2024, 1, 1, 0, 5, 0)), "h:nn AM/PM"), "12:05 AM");
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2024, 1, 1, 12, 5, 0)), "h:nn AM/PM"), "12:05 PM");
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2024, 1, 1, 23, 59, 59)), "hh:nn:ss"), "23:59:59");
}

TEST(FormatDate, WeeksStartOnSundayAndTheWeekOfFirstJanuaryIsWeekOne) {
    struct Week {
        int y, m, d, week;
    };
    const std::vector<Week> weeks{
        {2021, 12, 31, 53},  // Friday; 1 January 2021 was a Friday
        {2022, 1, 1, 1},     // Saturday: the week of 1 January, however short
        {2022, 1, 2, 2},     // Sunday starts week 2
        {2023, 1, 1, 1},     // Sunday
        {2023, 1, 7, 1},     // Saturday
        {2023, 1, 8, 2},     // Sunday
        {2024, 12, 28, 52},  // Saturday
        {2024, 12, 29, 53},  // Sunday
        {2024, 12, 31, 53},  // Tuesday
        {2000, 12, 31, 54},  // a leap year that began on a Saturday ends in week 54
    };
    for (const Week& w : weeks) {
        EXPECT_EQ(Format(Variant::FromDate(MakeDate(w.y, w.m, w.d)), "ww"), std::to_string(w.week))
            << w.y << "-" << w.m << "-" << w.d;
    }
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2023, 1, 1)), "w"), "1");  // Sunday
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2022, 1, 1)), "w"), "7");  // Saturday
}

TEST(FormatDate, NumbersAndTextsAsDates) {
    ScopedThreadLocale locale("nl_BE");
    EXPECT_EQ(Format(45356, "dd/mm/yyyy"), "05/03/2024");
    EXPECT_EQ(Format(0.5, "hh:nn"), "12:00");
    EXPECT_EQ(Format("31/12/2024", "yyyy-mm-dd"), "2024-12-31");
    EXPECT_EQ(Format("2024-12-31 18:30", "d mmmm, h:nn"), "31 december, 18:30");
    EXPECT_EQ(Format("2024-12-31T18:30:05.250", "dd/mm/yyyy hh:nn:ss"), "31/12/2024 18:30:05");
    EXPECT_EQ(Format("geen datum", "dd/mm/yyyy"), "geen datum");
    // a date as a number: its OLE date
    EXPECT_EQ(Format(Sample(), "0.00"), "45356,59");
}

TEST(DateConversion, DateSerialRollsOverAndTextsReadInLocaleOrder) {
    const auto parts = [](const Variant& v) { return SplitDate(v.ToDate()); };
    DateParts p = parts(Variant::DateSerial(2024, 13, 1));
    EXPECT_EQ(std::vector<int>({p.year, p.month, p.day}), std::vector<int>({2025, 1, 1}));
    p = parts(Variant::DateSerial(2024, 3, 0));
    EXPECT_EQ(std::vector<int>({p.year, p.month, p.day}), std::vector<int>({2024, 2, 29}));
    p = parts(Variant::DateSerial(24, 1, 1));
    EXPECT_EQ(p.year, 2024);
    p = parts(Variant::DateSerial(45, 1, 1));
    EXPECT_EQ(p.year, 1945);
    EXPECT_THROW(Variant::DateSerial(10000, 1, 1), RuntimeError);

    EXPECT_DOUBLE_EQ(Variant::TimeSerial(18, 0, 0).ToDate(), 0.75);
    EXPECT_DOUBLE_EQ(Variant::FromDate(-1.25).ToDouble(), -1.25);
    p = SplitDate(-1.25);  // 29 December 1899, 06:00: the fraction counts forwards
    EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.hour}),
              std::vector<int>({1899, 12, 29, 6}));

    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_DOUBLE_EQ(Variant("3/02/2024").ToDate(), MakeDate(2024, 2, 3));
        EXPECT_DOUBLE_EQ(Variant("3 februari 2024").ToDate(), MakeDate(2024, 2, 3));
        EXPECT_DOUBLE_EQ(Variant("2024-02-03").ToDate(), MakeDate(2024, 2, 3));
        EXPECT_THROW(Variant("31/02/2024").ToDate(), RuntimeError);
    }
    {
        ScopedThreadLocale locale("en_US");
        EXPECT_DOUBLE_EQ(Variant("3/02/2024").ToDate(), MakeDate(2024, 3, 2));
        EXPECT_DOUBLE_EQ(Variant("March 2, 2024 9:30 PM").ToDate(), MakeDate(2024, 3, 2, 21, 30));
    }
    try {
        (void)Variant("no date").ToDate();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 13);
    }
    EXPECT_THROW((void)Format(Variant::FromDate(3e6), "yyyy"), RuntimeError);
}

TEST(DateConversion, DatesAsTextFollowTheShortDateAndLongTime) {
    const Variant dateOnly = Variant::FromDate(MakeDate(2024, 3, 5));
    const Variant timeOnly = Variant::TimeSerial(9, 5, 0);
    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_EQ(CStr(dateOnly), "5/03/2024");
        EXPECT_EQ(CStr(Sample()), "5/03/2024 14:07:09");
        EXPECT_EQ(CStr(timeOnly), "9:05:00");
        EXPECT_EQ(CStr(Variant::FromDate(0)), "0:00:00");
    }
    {
        ScopedThreadLocale locale("en_US");
        EXPECT_EQ(CStr(dateOnly), "3/5/2024");
        EXPECT_EQ(CStr(timeOnly), "9:05:00 AM");
    }
    {
        ScopedThreadLocale locale("en_GB");
        EXPECT_EQ(CStr(dateOnly), "05/03/2024");
    }
}

}  // namespace
}  // namespace qor
