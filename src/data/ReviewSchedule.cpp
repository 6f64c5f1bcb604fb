#include "data/ReviewSchedule.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
// 0001-01-01 and 9999-12-31 as day counts.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;

} // namespace

std::array<double, 5> InitReviewIntervals()
{
    return {1.0 / 48.0, 1.0, 3.0, 7.0, 15.0};
}

double NextReviewDate(int count, double lastTime)
{
    static const std::array<double, 5> intervals = InitReviewIntervals();
    if (count < 1 || count > int(intervals.size()))
        return 0.0;
    return lastTime + intervals[size_t(count - 1)];
}

QDateTime DayCountToDateTime(double days)
{
    if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay + 1.0)
        return {};
    // Before the epoch the fraction still counts forward from midnight:
    // -1.25 is 1899-12-29 06:00.
    const double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * kMsPerDay);
    QDate date = kEpoch.addDays(qint64(whole));
    if (ms >= qint64(kMsPerDay)) {  // rounded up to the next midnight
        ms = 0;
        date = date.addDays(1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double DateTimeToDayCount(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const double whole = double(kEpoch.daysTo(dateTime.date()));
    const double fraction = dateTime.time().msecsSinceStartOfDay() / kMsPerDay;
    return whole < 0 ? whole - fraction : whole + fraction;
}

QString DayCountText(double days, const QString& format)
{
    const QDateTime when = DayCountToDateTime(days);
    return when.isValid() ? when.toString(format) : QString();
}
