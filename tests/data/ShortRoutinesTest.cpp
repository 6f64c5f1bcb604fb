#include "data/BookName.h"
#include "data/ReviewSchedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(BookName, NamesTheFourBooksOnly)
{
    EXPECT_EQ(BookName(1), QString::fromUtf8("第一册"));
    EXPECT_EQ(BookName(2), QString::fromUtf8("第二册"));
    EXPECT_EQ(BookName(3), QString::fromUtf8("第三册"));
    EXPECT_EQ(BookName(4), QString::fromUtf8("第四册"));
    for (int other : {0, 5, -1, 1000})
        EXPECT_TRUE(BookName(other).isEmpty()) << other;
}

QDateTime At(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

TEST(ReviewSchedule, LadderOfFiveSteps)
{
    const double last = DateTimeToDayCount(At(2007, 2, 15, 10, 0));
    EXPECT_EQ(DayCountToDateTime(NextReviewDate(1, last)), At(2007, 2, 15, 10, 30));
    EXPECT_EQ(DayCountToDateTime(NextReviewDate(2, last)), At(2007, 2, 16, 10, 0));
    EXPECT_EQ(DayCountToDateTime(NextReviewDate(3, last)), At(2007, 2, 18, 10, 0));
    EXPECT_EQ(DayCountToDateTime(NextReviewDate(4, last)), At(2007, 2, 22, 10, 0));
    EXPECT_EQ(DayCountToDateTime(NextReviewDate(5, last)), At(2007, 3, 2, 10, 0));
    for (int outside : {0, 6, -1, 100})
        EXPECT_EQ(NextReviewDate(outside, last), 0.0) << outside;
}

TEST(ReviewSchedule, DayCountsMatchTheDatabaseConvention)
{
    struct Case {
        double days;
        QDateTime at;
    };
    const Case cases[] = {
        {0.0, At(1899, 12, 30)},
        {39128.0, At(2007, 2, 15)},
        {39128.5, At(2007, 2, 15, 12, 0)},
        // Before the epoch the fraction still counts forward from midnight.
        {-1.25, At(1899, 12, 29, 6, 0)},
        {2.75, At(1900, 1, 1, 18, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DayCountToDateTime(c.days), c.at) << c.days;
        EXPECT_DOUBLE_EQ(DateTimeToDayCount(c.at), c.days) << c.days;
    }
    // A hair before midnight rounds to the next day, not to 24:00.
    EXPECT_EQ(DayCountToDateTime(1.9999999999), At(1900, 1, 1));
}

TEST(ReviewSchedule, OutOfRangeDayCountsGiveNoDate)
{
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -1e9, 3e6})
        EXPECT_FALSE(DayCountToDateTime(bad).isValid()) << bad;
    EXPECT_EQ(DateTimeToDayCount(QDateTime()), 0.0);
}

} // namespace
