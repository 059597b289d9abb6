#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace velmo {
namespace {

TEST(DateTime, DefaultIsTheOriginAndValid) {
    DateTime origin;
    EXPECT_TRUE(origin.IsValid());
    EXPECT_EQ(origin.OleDays(), 0.0);
    EXPECT_EQ(origin.Format(kDateTimeFormat), "1899/12/30 00:00:00");
}

TEST(DateTime, CountsDaysLikeTheOleDate) {
    EXPECT_EQ(DateTime::FromParts(1900, 1, 1, 0, 0, 0).OleDays(), 2.0);
    EXPECT_EQ(DateTime::FromParts(2002, 5, 1, 12, 0, 0).OleDays(), 37377.5);
    EXPECT_EQ(DateTime::FromParts(1899, 12, 29, 6, 0, 0).OleDays(), -1.25);
}

TEST(DateTime, FormatsAndParsesWhatTheToolWrites) {
    DateTime t = DateTime::FromParts(2002, 5, 1, 9, 5, 7);
    EXPECT_EQ(t.Format(kDateTimeFormat), "2002/05/01 09:05:07");
    EXPECT_EQ(DateTime::Parse("2002/05/01 09:05:07"), t);
    EXPECT_EQ(DateTime::Parse("  2002/5/1 9:05:07 "), t);
    EXPECT_EQ(DateTime::Parse("2002-05-01 09:05"), DateTime::FromParts(2002, 5, 1, 9, 5, 0));
    EXPECT_EQ(DateTime::Parse("2002/05/01"), DateTime::FromParts(2002, 5, 1, 0, 0, 0));
    EXPECT_EQ(DateTime::Parse("23:30:00"), DateTime::FromParts(1899, 12, 30, 23, 30, 0));
}

TEST(DateTime, RejectsTheEmptyTextAndNonsense) {
    for (const char* text : {"", "   ", "yes", "2002/13/01", "2002/02/30 00:00:00", "2002/05/01 24:00:00",
                             "2002/05/01 10:00:00 x", "2002/05", "12", "2002/05/01 10:"}) {
        EXPECT_FALSE(DateTime::Parse(text).has_value()) << text;
    }
}

TEST(DateTime, ChecksEveryFieldRange) {
    EXPECT_TRUE(DateTime::FromParts(2024, 2, 29, 23, 59, 59).IsValid());
    EXPECT_FALSE(DateTime::FromParts(2023, 2, 29, 0, 0, 0).IsValid());
    EXPECT_FALSE(DateTime::FromParts(10000, 1, 1, 0, 0, 0).IsValid());
    EXPECT_EQ(DateTime::Invalid().Format(kDateTimeFormat), "");
}

TEST(DateTime, PutsATimeOfDayOnAnotherDate) {
    DateTime time = DateTime::FromParts(1999, 1, 1, 23, 59, 0);
    DateTime day = DateTime::FromParts(2026, 12, 31, 0, 3, 30);
    EXPECT_EQ(time.OnDateOf(day), DateTime::FromParts(2026, 12, 31, 23, 59, 0));
    EXPECT_EQ(time.OnDateOf(day.PlusSeconds(86400)), DateTime::FromParts(2027, 1, 1, 23, 59, 0));
}

TEST(DateTime, MeasuresSpansInWholeSeconds) {
    DateTime a = DateTime::FromParts(2026, 12, 31, 23, 58, 30);
    DateTime b = DateTime::FromParts(2027, 1, 1, 0, 3, 30);
    EXPECT_EQ(b.SecondsSince(a), 300);
    EXPECT_EQ(a.SecondsSince(b), -300);
    EXPECT_LT(a, b);
    EXPECT_EQ(a.PlusSeconds(300), b);
}

TEST(DateTime, ConvertsToAndFromFileTimeWithoutTimeZone) {
    DateTime t = DateTime::FromParts(2026, 12, 8, 12, 0, 10);
    auto back = DateTime::FromFileTime(t.ToFileTime() - 5000LL * 10000);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, DateTime::FromParts(2026, 12, 8, 12, 0, 5));
    EXPECT_EQ(DateTime::FromParts(1601, 1, 1, 0, 0, 0).ToFileTime(), 0);
    EXPECT_FALSE(DateTime::FromFileTime(-1).has_value());
    EXPECT_FALSE(DateTime::FromFileTime(INT64_MAX).has_value());
}

TEST(DateTime, KnowsTheDayOfTheWeek) {
    EXPECT_EQ(DateTime::FromParts(2026, 12, 8, 0, 0, 0).Calendar().dayOfWeek, 2);   // a Tuesday
    EXPECT_EQ(DateTime::FromParts(1899, 12, 30, 0, 0, 0).Calendar().dayOfWeek, 6);  // a Saturday
}

}  // namespace
}  // namespace velmo
