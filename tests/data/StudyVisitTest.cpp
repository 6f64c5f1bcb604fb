// Counting a studied lesson, writing the study, and the lessons due for review.
#include "data/DMUnit.h"
#include "data/ReviewSchedule.h"
#include "data/StudyVisit.h"
#include "data/TestLessonDb.h"
#include "support/RecordingMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const QDateTime kNow(QDate(2026, 3, 10), QTime(9, 0));

double Ago(int seconds)
{
    return DateTimeToDayCount(kNow.addSecs(-seconds));
}

// Lesson 1 of book 1 with three sentences; lesson 2 shares none of its spans.
void ThreeSentenceLesson(TestLessonDb& db, int studyCount = 0)
{
    db.Lesson(1, 1, 1, 1, 3, "One", "", studyCount).Lesson(2, 1, 2, 4, 4, "Two", "");
    db.Sentence(1, 1, "A.", "", 0, 1000).Sentence(1, 2, "B.", "", 1000, 2000).Sentence(1, 3, "C.", "", 2000, 3000);
    db.Sentence(1, 4, "D.", "", 5000, 6000);
}

QString Stored(TestLessonDb& db, const char* field, int contentId = 1)
{
    return db.Column(QStringLiteral("Select %1 From tblContent Where FID=?").arg(QLatin1String(field)), {contentId})
        .value(0);
}

} // namespace

TEST(StudyVisit, EverySentenceHeardCountsOncePerVisit)
{
    // Steps: a sentence index 0..2 is heard; 9 is a span of no sentence; -1
    // starts a new visit of the same lesson.
    struct Case {
        const char* name;
        std::vector<int> steps;
        int count;
    } cases[] = {
        {"every sentence once", {0, 1, 2}, 1},
        {"in any order, with repeats and other spans", {2, 9, 2, 0, 9, 1}, 1},
        {"one sentence missing", {0, 2, 0, 2}, 0},
        {"a second full pass in the same visit", {0, 1, 2, 0, 1, 2}, 1},
        {"a new visit counts again", {0, 1, 2, -1, 2, 1, 0}, 2},
        {"a visit ends what was heard", {0, 1, -1, 2}, 0},
        {"nothing heard", {}, 0},
    };
    const std::pair<int, int> spans[] = {{0, 1000}, {1000, 2000}, {2000, 3000}};
    for (const Case& c : cases) {
        TestLessonDb db;
        ThreeSentenceLesson(db);
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        TDM dm(db.DataDir());
        ASSERT_TRUE(dm.OpenLesson(1));
        QDateTime now = kNow;
        StudyVisit visit(dm, [&] { return now; });
        visit.Begin();
        int completions = 0;
        for (int step : c.steps) {
            now = now.addSecs(60);
            if (step < 0) {
                visit.Begin();
                continue;
            }
            const auto [begin, end] = step == 9 ? std::pair{5000, 6000} : spans[step];
            if (visit.Hear(begin, end)) {
                ++completions;
                EXPECT_TRUE(visit.RecordPending()) << c.name;
                EXPECT_EQ(Stored(db, "FLastTime").toDouble(), DateTimeToDayCount(now)) << c.name;
            }
        }
        EXPECT_EQ(completions, c.count) << c.name;
        EXPECT_EQ(Stored(db, "FStudyCount"), QString::number(c.count)) << c.name;
        EXPECT_FALSE(visit.RecordPending()) << c.name;  // nothing left over
        EXPECT_TRUE(messages.entries.empty()) << c.name;
    }
}

TEST(StudyVisit, LessonWithoutSentencesNeverCounts)
{
    TestLessonDb db;
    ThreeSentenceLesson(db);
    TDM dm(db.DataDir());
    StudyVisit visit(dm);
    visit.Begin();  // before the first lesson opens
    EXPECT_FALSE(visit.Hear(0, 1000));
    ASSERT_TRUE(dm.OpenLesson(1));
    dm.adsQorSen.Assign(RowSet{{QStringLiteral("FID"), QStringLiteral("FBeginPos"), QStringLiteral("FEndPos")}, {}, {}});
    visit.Begin();
    for (int begin : {0, 1000, 2000})
        EXPECT_FALSE(visit.Hear(begin, begin + 1000));
    EXPECT_FALSE(visit.RecordPending());
    EXPECT_EQ(Stored(db, "FStudyCount"), QStringLiteral("0"));
}

TEST(StudyVisit, StudyCompletedBeforeALessonChangeIsWrittenForItsLesson)
{
    TestLessonDb db;
    ThreeSentenceLesson(db, 4);
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    StudyVisit visit(dm, [] { return kNow; });
    visit.Begin();
    for (int begin : {0, 1000, 2000})
        visit.Hear(begin, begin + 1000);
    ASSERT_TRUE(dm.OpenLesson(2));
    visit.Begin();
    EXPECT_TRUE(visit.RecordPending());
    EXPECT_EQ(Stored(db, "FStudyCount"), QStringLiteral("5"));
    EXPECT_EQ(Stored(db, "FStudyCount", 2), QStringLiteral("0"));
}

TEST(StudyRecord, CountStartsFromOneAfterNoneOrLess)
{
    for (const QVariant& stored : {QVariant(0), QVariant(-3), QVariant()}) {
        TestLessonDb db;
        db.Lesson(1, 1, 1, 1, 1, "One", "").Sentence(1, 1, "A.", "");
        db.Exec(QStringLiteral("Update tblContent Set FStudyCount=%1")
                    .arg(stored.isNull() ? QStringLiteral("NULL") : stored.toString()));
        TDM dm(db.DataDir());
        ASSERT_TRUE(dm.RecordStudy(1, kNow));
        EXPECT_EQ(Stored(db, "FStudyCount"), QStringLiteral("1")) << stored.toString().toStdString();
    }
}

TEST(StudyRecord, FailedWriteSaysSoAndChangesNothing)
{
    struct Case {
        const char* name;
        const char* damage;
        const char* record;  // FStudyCount and FLastTime of lesson 1 afterwards
    } cases[] = {
        {"the write is refused",
         "Create Trigger refuse Before Update On tblContent Begin Select Raise(Abort, 'read-only'); End",
         "2 45000.5"},
        {"the lesson row is gone", "Delete From tblContent Where FID=1", ""},
    };
    for (const Case& c : cases) {
        TestLessonDb db;
        ThreeSentenceLesson(db, 2);
        db.Exec(QStringLiteral("Update tblContent Set FLastTime=45000.5 Where FID=1"));
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        TDM dm(db.DataDir());
        ASSERT_TRUE(dm.OpenLesson(1));
        db.Exec(QString::fromLatin1(c.damage));
        StudyVisit visit(dm, [] { return kNow; });
        visit.Begin();
        for (int begin : {0, 1000, 2000})
            visit.Hear(begin, begin + 1000);
        EXPECT_FALSE(visit.RecordPending()) << c.name;
        ASSERT_EQ(messages.entries.size(), 1u) << c.name;
        EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
        EXPECT_EQ(messages.entries[0].text, QString::fromUtf8("保存学习记录失败！"));
        EXPECT_EQ(db.Column(QStringLiteral("Select FStudyCount||' '||FLastTime From tblContent Where FID=1")).value(0),
                  QString::fromLatin1(c.record)) << c.name;
        EXPECT_EQ(Stored(db, "FStudyCount", 2), QStringLiteral("0")) << c.name;
        // Once per visit, even when the write failed: no message at every later play.
        EXPECT_FALSE(visit.Hear(0, 1000));
        EXPECT_FALSE(visit.RecordPending());
        EXPECT_EQ(messages.entries.size(), 1u);
    }
}

TEST(ReviewDue, LessonsDueNowOrEarlierLongestDueFirst)
{
    TestLessonDb db;
    db.Lesson(1, 1, 1, 1, 1, "Due this moment", "", 1, Ago(30 * 60))
        .Lesson(2, 1, 2, 1, 1, "Due in a minute", "", 1, Ago(29 * 60))
        .Lesson(3, 2, 5, 1, 1, "Due two days ago", "", 2, Ago(3 * 86400))
        .Lesson(4, 3, 7, 1, 1, "Due an hour ago", "", 5, Ago(15 * 86400 + 3600))
        .Lesson(5, 1, 5, 1, 1, "Done", "", 6, Ago(400 * 86400))
        .Lesson(6, 1, 6, 1, 1, "Never studied", "", 0, Ago(400 * 86400))
        .Lesson(7, 1, 7, 1, 1, "No time", "", 3)
        .Lesson(8, 4, 1, 1, 1, "Also due this moment", QString::fromUtf8("现在"), 4, Ago(7 * 86400));
    TDM dm(db.DataDir());
    const auto due = dm.DueLessons(kNow);
    ASSERT_TRUE(due.has_value());
    QStringList order;
    for (const TDM::DueLesson& lesson : *due)
        order << QStringLiteral("%1:%2/%3 %4 x%5").arg(lesson.contentId).arg(lesson.book).arg(lesson.lesson)
                     .arg(lesson.title).arg(lesson.count);
    EXPECT_EQ(order, (QStringList{"3:2/5 Due two days ago x2", "4:3/7 Due an hour ago x5", "1:1/1 Due this moment x1",
                                  QString::fromUtf8("8:4/1 Also due this moment现在 x4")}));
    EXPECT_EQ(DayCountToDateTime(due->at(0).nextTime), kNow.addDays(-2));
    EXPECT_EQ(due->at(0).lastTime, Ago(3 * 86400));

    // A minute later the next one has come too.
    const auto later = dm.DueLessons(kNow.addSecs(60));
    ASSERT_TRUE(later.has_value());
    EXPECT_EQ(later->size(), 5);
    EXPECT_EQ(later->last().contentId, 2);
}

TEST(ReviewDue, UnreadableCatalogueGivesNoList)
{
    TestLessonDb db;
    TDM dm(db.DataDir());
    db.Exec(QStringLiteral("Drop Table tblContent"));
    EXPECT_FALSE(dm.DueLessons(kNow).has_value());
}
