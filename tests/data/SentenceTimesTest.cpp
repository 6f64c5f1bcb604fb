// Writing a sentence's corrected times: one transaction, then the lesson's
// sentence list holds them; a failure changes nothing.
#include "data/DMUnit.h"
#include "data/LessonTableModel.h"
#include "data/StudyVisit.h"
#include "data/TestLessonDb.h"
#include "support/RecordingMessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString kWriteFailed = QString::fromUtf8("保存句子时间失败！");

// Lesson 3 of book 2 open, three sentences of 900 ms a second apart.
struct OpenLesson {
    OpenLesson()
    {
        EnsureApplication();
        db.Lesson(7, 2, 3, 40, 42, "Lesson 3", "第三课")
            .Sentence(2, 40, "One.", "一。", 0, 900)
            .Sentence(2, 41, "Two.", "二。", 1000, 1900)
            .Sentence(2, 42, "Three.", "三。", 2000, 2900);
        dm = std::make_unique<TDM>(db.DataDir());
        EXPECT_TRUE(dm->OpenLesson(7));
    }

    QStringList Stored(int id) { return db.Column("Select FBeginPos || '-' || FEndPos From tblQor2 Where FID=?", {id}); }
    int Shown(int row, const char* field)
    {
        return dm->adsQorSen.Value(row, dm->adsQorSen.FieldIndex(QString::fromLatin1(field))).toInt();
    }

    TestLessonDb db;
    RecordingMessages messages;
    ScopedMessages installed{&messages};
    std::unique_ptr<TDM> dm;
};

TEST(SentenceTimes, WriteReachesTheTableTheListAndThoseWhoHoldTheSpan)
{
    OpenLesson l;
    auto& dm = l.dm;
    auto& messages = l.messages;
    StudyVisit visit(*dm);
    visit.Begin();
    QSignalSpy moved(dm.get(), &TDM::SentenceTimesChanged);
    QSignalSpy repaint(dm->adsQorSen.Model(), &QAbstractItemModel::dataChanged);

    ASSERT_TRUE(dm->WriteSentenceTimes(1, 950, 1870));
    EXPECT_EQ(l.Stored(41), QStringList{"950-1870"});
    EXPECT_EQ(l.Stored(40), QStringList{"0-900"});
    EXPECT_EQ(l.Shown(1, "FBeginPos"), 950);
    EXPECT_EQ(l.Shown(1, "FEndPos"), 1870);
    EXPECT_EQ(dm->adsQorSen.RecNo(), 0);  // the cursor stays where it was
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0], (QVariantList{1000, 1900, 950, 1870}));
    EXPECT_FALSE(repaint.isEmpty());
    EXPECT_TRUE(messages.entries.empty());

    // The study visit knows the sentence by its new span only.
    visit.SpanMoved(1000, 1900, 950, 1870);
    EXPECT_FALSE(visit.Hear(0, 900));
    EXPECT_FALSE(visit.Hear(1000, 1900));
    EXPECT_FALSE(visit.Hear(2000, 2900));
    EXPECT_TRUE(visit.Hear(950, 1870));
}

TEST(SentenceTimes, RefusedOrFailedWriteChangesNothing)
{
    struct Case {
        const char* name;
        int row;
        int begin;
        int end;
        const char* damage;  // SQL run first, or nullptr
    } cases[] = {
        {"end before begin", 1, 1500, 1400, nullptr},
        {"empty span", 1, 1500, 1500, nullptr},
        {"negative begin", 0, -10, 800, nullptr},
        {"no such row", 3, 100, 200, nullptr},
        {"update refused", 1, 950, 1870,
         "Create Trigger refuse Before Update On tblQor2 Begin Select raise(ABORT, 'read-only'); End"},
        {"row gone", 1, 950, 1870, "Delete From tblQor2 Where FID=41"},
    };
    for (const Case& c : cases) {
        OpenLesson l;
        if (c.damage)
            l.db.Exec(QString::fromLatin1(c.damage));
        QSignalSpy moved(l.dm.get(), &TDM::SentenceTimesChanged);
        EXPECT_FALSE(l.dm->WriteSentenceTimes(c.row, c.begin, c.end)) << c.name;
        ASSERT_EQ(l.messages.entries.size(), 1u) << c.name;
        EXPECT_EQ(l.messages.entries[0].text, kWriteFailed) << c.name;
        EXPECT_TRUE(moved.isEmpty()) << c.name;
        EXPECT_EQ(l.Shown(1, "FBeginPos"), 1000) << c.name;
        EXPECT_EQ(l.Shown(1, "FEndPos"), 1900) << c.name;
        if (QString::fromLatin1(c.name) != "row gone") {
            EXPECT_EQ(l.Stored(41), QStringList{"1000-1900"}) << c.name;
        }
    }
}

}  // namespace
