// The lessons whose next review on the ladder has come.
#include "data/DMUnit.h"

#include "data/ReviewSchedule.h"

#include <algorithm>

std::optional<QVector<TDM::DueLesson>> TDM::DueLessons(const QDateTime& now) const
{
    if (!m_connected)
        return std::nullopt;
    const auto found = LoadRows(
        Database(),
        QStringLiteral("Select FID, FBook, FLesson, ifnull(FEnglish,'')||ifnull(FChinese,''), FStudyCount, FLastTime"
                       " From tblContent Where FStudyCount Between 1 and 5 And FLastTime Is Not Null Order By FID"),
        {}, false);
    if (!found)
        return std::nullopt;
    QVector<DueLesson> due;
    for (const QVector<QVariant>& row : found->rows) {
        bool timeOk = false;
        DueLesson lesson{row.at(0).toInt(), row.at(1).toInt(), row.at(2).toInt(), row.at(3).toString(),
                         row.at(4).toInt(), row.at(5).toDouble(&timeOk), 0};
        if (!timeOk)
            continue;
        lesson.nextTime = NextReviewDate(lesson.count, lesson.lastTime);
        // Compared as date-times, to the millisecond, so a review due at this
        // very moment is due whatever the rounding of the day fractions.
        const QDateTime next = DayCountToDateTime(lesson.nextTime);
        if (next.isValid() && next <= now)
            due.append(lesson);
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const DueLesson& a, const DueLesson& b) { return a.nextTime < b.nextTime; });
    return due;
}
