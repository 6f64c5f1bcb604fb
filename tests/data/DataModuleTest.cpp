#include "data/DMUnit.h"
#include "data/ReviewSchedule.h"
#include "data/TestLessonDb.h"
#include "support/RecordingMessages.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kConnectionFailed =
    QString::fromUtf8("连接数据库错误，或者数据库已损坏\n请重新安装本软件！(001)");

TEST(DataModule, UnusableDatabaseIsAFailedConnection)
{
    EnsureApplication();
    struct Case {
        const char* name;
        QByteArray content;  // null: no file at all
    } cases[] = {
        {"missing", QByteArray()},
        {"garbage", QByteArray("This is not a database, just some text.\n").repeated(50)},
        {"empty file", QByteArray("")},
        {"other tables", QByteArray("sqlite")},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.path() + "/qor.db";
        if (c.content == "sqlite") {
            TestLessonDb other;  // a real SQLite file, then one table taken away
            other.Exec("Drop Table tblExplain");
            QFile::copy(other.FilePath(), path);
        } else if (!c.content.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        RecordingMessages messages;
        ScopedMessages installed(&messages);
        TDM dm(dir.path());
        EXPECT_FALSE(dm.IsConnected()) << c.name;
        EXPECT_TRUE(dm.TerminationRequested()) << c.name;
        ASSERT_EQ(messages.entries.size(), 1u) << c.name;
        EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
        EXPECT_EQ(messages.entries[0].text, kConnectionFailed);
        EXPECT_EQ(dm.OptSpeed, 0) << c.name;  // the cache stays unloaded
        EXPECT_FALSE(dm.OpenLesson(1));
        EXPECT_EQ(QFile::exists(path), !c.content.isNull()) << c.name;  // nothing created
        if (!c.content.isNull() && c.content != "sqlite") {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), c.content) << c.name;  // nothing overwritten
        }
    }
}

class NoteEditing : public ::testing::Test {
protected:
    NoteEditing()
    {
        db.Lesson(1, 1, 1, 1, 1, "One", "").Lesson(2, 1, 2, 2, 2, "Two", "");
        db.Sentence(1, 1, "First.", "").Sentence(1, 2, "Second.", "");
        db.Note(2, "kept");
    }

    QStringList Notes()
    {
        return db.Column("Select FContentID || ':' || FNote From tblNote Order By FContentID");
    }

    TestLessonDb db;
    RecordingMessages messages;
    ScopedMessages installed{&messages};
};

TEST_F(NoteEditing, NewNoteIsStampedWithTheOpenLesson)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    TLessonDataSet& note = dm.adsNote;
    QSignalSpy states(&note, &TLessonDataSet::StateChanged);
    ASSERT_TRUE(note.Insert());
    EXPECT_EQ(note.GetState(), TLessonDataSet::State::Insert);
    EXPECT_EQ(note.RecordCount(), 1);
    ASSERT_TRUE(note.SetFieldValue("FNote", "it's 100% mine"));
    ASSERT_TRUE(note.Post()) << note.LastError().toStdString();
    EXPECT_EQ(note.GetState(), TLessonDataSet::State::Browse);
    EXPECT_EQ(states.count(), 2);
    EXPECT_EQ(Notes(), (QStringList{"1:it's 100% mine", "2:kept"}));

    // Editing the new row rewrites it in place, stamp included.
    ASSERT_TRUE(note.Edit());
    note.SetFieldValue("FContentID", 99);
    note.SetFieldValue("FNote", "changed");
    EXPECT_EQ(note.FieldText("FNote"), "changed");
    ASSERT_TRUE(note.Post());
    EXPECT_EQ(Notes(), (QStringList{"1:changed", "2:kept"}));
    ASSERT_TRUE(dm.OpenLesson(2));
    ASSERT_TRUE(dm.OpenLesson(1));
    EXPECT_EQ(note.FieldText("FNote"), "changed");
}

TEST_F(NoteEditing, CancelAndDelete)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(2));
    TLessonDataSet& note = dm.adsNote;
    ASSERT_TRUE(note.Edit());
    note.SetFieldValue("FNote", "draft");
    note.Cancel();
    EXPECT_EQ(note.FieldText("FNote"), "kept");
    ASSERT_TRUE(note.Insert());
    note.Cancel();
    EXPECT_EQ(note.RecordCount(), 1);
    EXPECT_EQ(note.RecNo(), 0);
    EXPECT_EQ(Notes(), QStringList{"2:kept"});

    ASSERT_TRUE(note.Delete());
    EXPECT_EQ(note.RecordCount(), 0);
    EXPECT_TRUE(note.Eof());
    EXPECT_TRUE(Notes().isEmpty());
    EXPECT_FALSE(note.Delete());  // nothing left to delete
    EXPECT_FALSE(dm.adsQorSen.Edit());  // lesson text is read-only

    // Rows read without their rowids cannot be written back.
    TLessonDataSet unkeyed;
    unkeyed.Assign(RowSet{{"FNote"}, {{QVariant("x")}}, {}});
    unkeyed.SetWriteTarget(dm.Database().connectionName(), "tblNote");
    EXPECT_FALSE(unkeyed.Edit());
    EXPECT_FALSE(unkeyed.Insert());
    EXPECT_FALSE(unkeyed.Delete());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(NoteEditing, FailedPostKeepsWhatWasTyped)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(1));
    TLessonDataSet& note = dm.adsNote;
    db.Exec("Create Trigger noNotes Before Insert On tblNote Begin Select Raise(Abort, 'disk full'); End");
    ASSERT_TRUE(note.Insert());
    note.SetFieldValue("FNote", "precious");
    EXPECT_FALSE(note.Post());
    EXPECT_TRUE(note.LastError().contains("disk full")) << note.LastError().toStdString();
    EXPECT_EQ(note.GetState(), TLessonDataSet::State::Insert);
    EXPECT_EQ(note.FieldText("FNote"), "precious");
    note.First();  // a move that cannot post stays on the row being typed
    EXPECT_EQ(note.GetState(), TLessonDataSet::State::Insert);
    db.Exec("Drop Trigger noNotes");
    ASSERT_TRUE(note.Post());
    EXPECT_EQ(Notes(), (QStringList{"1:precious", "2:kept"}));
}

TEST_F(NoteEditing, NoStampBeforeTheFirstLesson)
{
    TDM dm(db.DataDir());
    ASSERT_TRUE(dm.OpenLesson(2));
    dm.CurContentID = 0;
    ASSERT_TRUE(dm.adsNote.Edit());
    dm.adsNote.SetFieldValue("FNote", "edited");
    ASSERT_TRUE(dm.adsNote.Post());
    EXPECT_EQ(Notes(), QStringList{"2:edited"});
}

QVariant Days(int y, int m, int d, int h = 0, int min = 0)
{
    return DateTimeToDayCount(QDateTime(QDate(y, m, d), QTime(h, min)));
}

TEST(StudyRecord, ThreeTextsFromCountAndLastTime)
{
    EnsureApplication();
    struct Case {
        int count;
        QVariant last;
        const char* countText;
        const char* lastText;
        const char* nextText;
    } cases[] = {
        {1, Days(2007, 2, 15, 10, 0), "1", "2007/02/15", "2007/02/15"},
        {1, Days(2007, 2, 15, 23, 45), "1", "2007/02/15", "2007/02/16"},
        {3, Days(2007, 2, 15, 10, 0), "3", "2007/02/15", "2007/02/18"},
        {5, Days(2007, 2, 15, 10, 0), "5", "2007/02/15", "2007/03/02"},
        {6, Days(2007, 2, 15, 10, 0), "6", "2007/02/15", ""},
        {0, Days(2007, 2, 15), "0", "未学习", ""},
        {-3, Days(2007, 2, 15), "0", "未学习", ""},
        {2, QVariant(), "2", "", ""},
    };
    for (const Case& c : cases) {
        TestLessonDb db;
        db.Lesson(1, 1, 1, 1, 1, "One", "", c.count, c.last).Sentence(1, 1, "First.", "");
        TDM dm(db.DataDir());
        ASSERT_TRUE(dm.OpenLesson(1));
        const auto info = dm.ShowStudyInfo();
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->count, QString::fromUtf8(c.countText)) << c.count;
        EXPECT_EQ(info->last, QString::fromUtf8(c.lastText)) << c.count;
        EXPECT_EQ(info->next, QString::fromUtf8(c.nextText)) << c.count;
    }
}

TEST(StudyRecord, MissingLessonSaysSo)
{
    TestLessonDb db;
    RecordingMessages messages;
    ScopedMessages installed(&messages);
    TDM dm(db.DataDir());
    EXPECT_FALSE(dm.ShowStudyInfo().has_value());
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
    EXPECT_EQ(messages.entries[0].text, QString::fromUtf8("打开Veltra课本数据出错，请重新安装本软件！"));
}

} // namespace
