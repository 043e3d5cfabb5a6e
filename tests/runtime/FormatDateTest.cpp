// Date and time patterns, week numbers, date conversions and the dates' text form.

#include <qor/Format.h>
#include <qor/Locale.h>
#include <qor/RuntimeError.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Errors.h"

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
        {"dddd d mmmm yyyy", "dinsdag 5 maart 2024", "Tuesday 5 March 2024"},
        {"ddd d mmm", "di 5 mrt", "Tue 5 Mar"},
        {"mm:ss m/yy", "07:09 3/24", "07:09 3/24"},  // m before seconds is minutes
        {"h:nn AM/PM", "2:07 PM", "2:07 PM"},
        {"hh:nn am/pm", "02:07 pm", "02:07 pm"},
        {"ddddd", "5/03/2024", "3/5/2024"},
        {"dddddd", "dinsdag 5 maart 2024", "Tuesday, March 5, 2024"},
        {"ttttt", "14:07:09", "2:07:09 PM"},
        {"c", "5/03/2024 14:07:09", "3/5/2024 2:07:09 PM"},
        {"w", "3", "3"},
        {"ww", "10", "10"},
        {"\\Q q \"of\" yyyy y", "Q 1 of 2024 65", "Q 1 of 2024 65"},
        {"Long Date", "dinsdag 5 maart 2024", "Tuesday, March 5, 2024"},
        {"Medium Date", "05-mrt-24", "05-Mar-24"},
        {"Medium Time", "02:07 PM", "02:07 PM"},
    };
    for (const char* name : {"nl_BE", "en_US"}) {
        ScopedThreadLocale locale(name);
        for (const Case& c : cases)
            EXPECT_EQ(Format(Sample(), c.pattern), name[0] == 'n' ? c.nl : c.en) << name << " " << c.pattern;
    }
}

TEST(FormatDate, SeparatorsComeFromTheLocaleAndTwelveOClockIsTwelve) {
    ScopedThreadLocale locale("nl_NL");
    EXPECT_EQ(Format(Sample(), "dd/mm/yyyy dd\\/mm"), "05-03-2024 05/03");
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2024, 1, 1, 0, 5, 0)), "h:nn AM/PM"), "12:05 AM");
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2024, 1, 1, 12, 5, 0)), "h:nn AM/PM"), "12:05 PM");
}

TEST(FormatDate, WeeksStartOnSundayAndTheWeekOfFirstJanuaryIsWeekOne) {
    struct Week {
        int y, m, d, week;
    };
    const std::vector<Week> weeks{
        {2021, 12, 31, 53},  // Friday; 1 January 2021 was a Friday
        {2022, 1, 1, 1},     // Saturday: the week of 1 January, however short
        {2022, 1, 2, 2},     // Sunday starts week 2
        {2024, 12, 28, 52},  // Saturday
        {2024, 12, 29, 53},  // Sunday
        {2000, 12, 31, 54},  // a leap year that began on a Saturday ends in week 54
    };
    for (const Week& w : weeks) {
        EXPECT_EQ(Format(Variant::FromDate(MakeDate(w.y, w.m, w.d)), "ww"), std::to_string(w.week))
            << w.y << "-" << w.m << "-" << w.d;
    }
    EXPECT_EQ(Format(Variant::FromDate(MakeDate(2022, 1, 1)), "w"), "7");  // Saturday; Sunday is 1
}

TEST(FormatDate, NumbersAndTextsAsDates) {
    ScopedThreadLocale locale("nl_BE");
    EXPECT_EQ(Format(45356, "dd/mm/yyyy"), "05/03/2024");
    EXPECT_EQ(Format("31/12/2024", "yyyy-mm-dd"), "2024-12-31");
    EXPECT_EQ(Format("2024-12-31T18:30:05.250", "dd/mm/yyyy hh:nn:ss"), "31/12/2024 18:30:05");
    // a date as a number: its OLE date
    EXPECT_EQ(Format(Sample(), "0.00"), "45356,59");
}

TEST(DateConversion, DateSerialRollsOverAndTextsReadInLocaleOrder) {
    struct Serial {
        int y, m, d, year, month, day;
    };
    for (const Serial& c : {Serial{2024, 13, 1, 2025, 1, 1}, Serial{2024, 3, 0, 2024, 2, 29},
                            Serial{24, 1, 1, 2024, 1, 1}, Serial{45, 1, 1, 1945, 1, 1}}) {
        const DateParts p = SplitDate(Variant::DateSerial(c.y, c.m, c.d).ToDate());
        EXPECT_EQ(std::vector<int>({p.year, p.month, p.day}), std::vector<int>({c.year, c.month, c.day})) << c.y;
    }
    test::ExpectRuntimeError(5, [] { (void)Variant::DateSerial(10000, 1, 1); });
    EXPECT_DOUBLE_EQ(Variant::TimeSerial(18, 0, 0).ToDate(), 0.75);
    const DateParts p = SplitDate(-1.25);  // 29 December 1899, 06:00: the fraction counts forwards
    EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.hour}), std::vector<int>({1899, 12, 29, 6}));

    {
        ScopedThreadLocale locale("nl_BE");
        EXPECT_DOUBLE_EQ(Variant("3/02/2024").ToDate(), MakeDate(2024, 2, 3));
        EXPECT_DOUBLE_EQ(Variant("3 februari 2024").ToDate(), MakeDate(2024, 2, 3));
        test::ExpectRuntimeError(13, [] { (void)Variant("31/02/2024").ToDate(); });
    }
    {
        ScopedThreadLocale locale("en_US");
        EXPECT_DOUBLE_EQ(Variant("3/02/2024").ToDate(), MakeDate(2024, 3, 2));
        EXPECT_DOUBLE_EQ(Variant("March 2, 2024 9:30 PM").ToDate(), MakeDate(2024, 3, 2, 21, 30));
    }
    test::ExpectRuntimeError(13, [] { (void)Variant("no date").ToDate(); });
    test::ExpectRuntimeError(5, [] { (void)Format(Variant::FromDate(3e6), "yyyy"); });
}

TEST(DateConversion, DatesAsTextFollowTheShortDateAndLongTime) {
    ScopedThreadLocale locale("en_US");
    EXPECT_EQ(CStr(Sample()), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(CStr(Variant::FromDate(MakeDate(2024, 3, 5))), "3/5/2024");  // no time of day: the date only
    EXPECT_EQ(CStr(Variant::TimeSerial(9, 5, 0)), "9:05:00 AM");         // no date: the time only
}

}  // namespace
}  // namespace qor
