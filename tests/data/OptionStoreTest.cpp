#include "data/DMUnit.h"
#include "data/TestLessonDb.h"
#include "support/RecordingMessages.h"

#include <gtest/gtest.h>

namespace {

const QString kSaveFailed = QString::fromUtf8("保存设置失败！");

class OptionStore : public ::testing::Test {
protected:
    TestLessonDb db;
    RecordingMessages messages;
    ScopedMessages installed{&messages};
};

TEST_F(OptionStore, EmptyTableReadsDefaults)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.IsConnected());
    EXPECT_EQ(dm.OptSpeed, 10);
    EXPECT_EQ(dm.OptSpeakCount, 1);
    EXPECT_FALSE(dm.OptTestHint);
    EXPECT_FALSE(dm.OptFirstSen);
    EXPECT_FALSE(dm.OptKeepPitch);
    EXPECT_EQ(dm.ReadOptionInt("NextTime", 1, 0, 20), 1);
    EXPECT_EQ(dm.ReadOption("Book"), "Error");
    int book = 1;
    EXPECT_FALSE(dm.TryReadOptionInt("Book", book));
    EXPECT_EQ(book, 1);
    EXPECT_EQ(dm.ReviewIntervals.size(), 5u);
    EXPECT_DOUBLE_EQ(dm.ReviewIntervals[0], 1.0 / 48);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(OptionStore, StoredValuesAreCheckedAgainstTheirRange)
{
    struct Case {
        const char* stored;
        int speed;
    } cases[] = {{"7", 10}, {"8", 8}, {"12", 12}, {"13", 10}, {" 11 ", 11}, {"abc", 10}, {"", 10},
                 {"99999999999", 10}};
    for (const Case& c : cases) {
        TestLessonDb fresh;
        fresh.Option("Speed", QString::fromLatin1(c.stored));
        TDM dm(fresh.DataDir());
        EXPECT_EQ(dm.OptSpeed, c.speed) << c.stored;
    }
}

TEST_F(OptionStore, BooleansAreExactlyOneAfterTrimming)
{
    db.Option("TestHint", "true").Option("FirstSen", " 1 ").Option("keeppitch", "1").Option("Lesson", "0");
    TDM dm(db.DataDir());
    EXPECT_FALSE(dm.OptTestHint);
    EXPECT_TRUE(dm.OptFirstSen);
    EXPECT_TRUE(dm.OptKeepPitch);
    int lesson = -5;
    EXPECT_TRUE(dm.TryReadOptionInt("Lesson", lesson));  // no range for the start lesson
    EXPECT_EQ(lesson, 0);
}

TEST_F(OptionStore, KeysIgnoreCaseAndKeepOneRow)
{
    TDM dm(db.DataDir());
    dm.WriteOptionInt("speed", 9);
    dm.WriteOptionInt("SPEED", 11);
    dm.WriteOptionBool("TestHint", true);
    EXPECT_EQ(dm.ReadOption("Speed"), "11");
    EXPECT_TRUE(dm.ReadOptionBool("testhint"));
    EXPECT_EQ(db.Column("Select FValue From tblOptions Where upper(FOption)='SPEED'"), QStringList{"11"});
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(OptionStore, ValuesAreStoredLiterally)
{
    TDM dm(db.DataDir());
    const QString awkward = QStringLiteral("o'clock \"quoted\" 100% _x_ \\ ; Drop Table tblOptions");
    dm.WriteOption("It's", awkward);
    EXPECT_EQ(dm.ReadOption("IT'S"), awkward);
    EXPECT_EQ(dm.ReadOption("%"), "Error");  // names are not patterns
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(OptionStore, FailedWriteRollsBackAndSaysSoOnce)
{
    db.Option("Speed", "9");
    // The insert of a new key and the update of an existing one both refused.
    db.Exec("Create Trigger noInsert Before Insert On tblOptions Begin Select Raise(Abort, 'refused'); End");
    db.Exec("Create Trigger noUpdate Before Update On tblOptions When New.FValue = '12' "
            "Begin Select Raise(Abort, 'refused'); End");
    TDM dm(db.DataDir());
    dm.WriteOptionInt("NextTime", 5);
    dm.WriteOptionInt("Speed", 12);
    ASSERT_EQ(messages.entries.size(), 2u);
    for (const auto& entry : messages.entries) {
        EXPECT_EQ(entry.kind, RecordingMessages::Kind::Info);
        EXPECT_EQ(entry.text, kSaveFailed);
    }
    EXPECT_EQ(dm.ReadOption("NextTime"), "Error");
    EXPECT_EQ(dm.ReadOption("Speed"), "9");
    dm.WriteOptionInt("Speed", 8);  // the connection is usable afterwards
    EXPECT_EQ(dm.ReadOption("Speed"), "8");
    EXPECT_EQ(messages.entries.size(), 2u);
}

TEST_F(OptionStore, LostTableReadsDefaultsAndWritesFail)
{
    TDM dm(db.DataDir());
    db.Exec("Drop Table tblOptions");
    EXPECT_EQ(dm.ReadOption("Speed"), "Error");
    EXPECT_EQ(dm.ReadOptionInt("Speed", 10, 8, 12), 10);
    dm.WriteOption("Speed", "9");
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, kSaveFailed);
}

} // namespace
