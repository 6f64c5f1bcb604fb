#pragma once

#include <QDateTime>

#include <array>

// Review dates on a fixed ladder, and the date-time representation the
// database uses: days since 1899-12-30 plus the fraction of the day, as a
// double. Pure functions: callable from any thread.

// Review intervals in days for study counts 1..5 (element 0 is count 1):
// 30 minutes, 1, 3, 7 and 15 days.
std::array<double, 5> InitReviewIntervals();

// LastTime + the interval of `count` for counts 1..5; 0 (no date) otherwise.
double NextReviewDate(int count, double lastTime);

// Day count <-> local date-time, to the millisecond. A day count that is not
// finite or lies outside the years 1..9999 gives an invalid QDateTime; an
// invalid QDateTime gives 0.
QDateTime DayCountToDateTime(double days);
double DateTimeToDayCount(const QDateTime& dateTime);

// `days` as text in `format` (QDateTime's), empty when it is no valid date.
QString DayCountText(double days, const QString& format);
