#include "ExportCourse.h"

#include "data/DMUnit.h"
#include "export/LessonExport.h"
#include "support/RecordingMessages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LessonExportTest : public ::testing::Test {
protected:
    QString Out(const QString& name) const { return out.filePath(name); }

    // Exports `expression` of `book` into the output folder, recording which
    // files each lesson reported.
    ExportResult Export(int book, const QString& expression, LrcTimeStyle style = LrcTimeStyle::Lesson)
    {
        const ExportChoice choice = ChooseExportLessons(dm.Database(), book, expression);
        EXPECT_EQ(choice.outcome, ExportOutcome::Done) << expression.toStdString();
        return ExportLessons(dm.Database(), dm.DataDir(), choice.lessons, out.path(), style,
                             [this](const ExportLesson& lesson, const ExportedFiles& files) {
                                 reported.append({lesson.lesson, files});
                             });
    }

    ExportCourse course;
    RecordingMessages messages;
    ScopedMessages installed{&messages};
    TDM dm{course.db.DataDir()};
    QTemporaryDir out;
    QList<std::pair<int, ExportedFiles>> reported;
};

TEST_F(LessonExportTest, ChoosesLessonsOfTheBookInCatalogueOrderOnce)
{
    struct Case {
        int book;
        const char* expression;
        ExportOutcome outcome;
        QList<int> lessons;
    };
    const Case cases[] = {
        {1, "3,1", ExportOutcome::Done, {1, 3}},
        {1, "2,2,1-2", ExportOutcome::Done, {1, 2}},
        {1, " 04 ", ExportOutcome::Done, {4}},
        {1, "4-1", ExportOutcome::Done, {1, 2, 3, 4}},
        {2, "1-4", ExportOutcome::Done, {1}},
        {1, "5-99", ExportOutcome::NoLessons, {}},
        {1, ",", ExportOutcome::NoLessons, {}},
        {1, "", ExportOutcome::NoLessons, {}},
        {4, "1", ExportOutcome::NoLessons, {}},
        {1, "3-", ExportOutcome::InvalidList, {}},
        {1, "1.5", ExportOutcome::InvalidList, {}},
    };
    for (const Case& c : cases) {
        const ExportChoice choice = ChooseExportLessons(dm.Database(), c.book, QString::fromUtf8(c.expression));
        EXPECT_EQ(choice.outcome, c.outcome) << c.expression;
        QList<int> lessons;
        for (const ExportLesson& lesson : choice.lessons) {
            EXPECT_EQ(lesson.book, c.book);
            lessons.append(lesson.lesson);
        }
        EXPECT_EQ(lessons, c.lessons) << c.expression;
    }

    course.db.Exec(QStringLiteral("Drop Table tblContent"));
    EXPECT_EQ(ChooseExportLessons(dm.Database(), 1, QStringLiteral("1")).outcome, ExportOutcome::NoLessons);
}

TEST_F(LessonExportTest, WritesTheRecordingByteForByteAndTheLyrics)
{
    ASSERT_EQ(Export(1, QStringLiteral("1")).outcome, ExportOutcome::Done);
    EXPECT_EQ(FileContent(Out("qor1-1.mp3")), ExportCourse::Recording(1, 1));
    EXPECT_EQ(FileContent(Out("qor1-1.lrc")), ExportCourse::BookOneLessonOneLrc());
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported[0].second.mp3, Out("qor1-1.mp3"));
    EXPECT_EQ(reported[0].second.lrc, Out("qor1-1.lrc"));

    ASSERT_EQ(Export(2, QStringLiteral("1"), LrcTimeStyle::Standard).outcome, ExportOutcome::Done);
    const QList<QByteArray> lines = FileContent(Out("qor2-1.lrc")).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[3].startsWith("[62:05.00]Last week")) << lines[3].constData();
    EXPECT_TRUE(lines[4].startsWith("[100:00.00]I had")) << lines[4].constData();
    EXPECT_EQ(FileContent(Out("qor2-1.mp3")), ExportCourse::Recording(2, 1));
}

TEST_F(LessonExportTest, ExportingAgainReplacesBothFilesAndLeavesNothingElse)
{
    for (const char* name : {"qor1-1.mp3", "qor1-1.lrc"}) {
        QFile old(Out(QString::fromLatin1(name)));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray("an older and much longer export ").repeated(1000));
    }
    ASSERT_EQ(Export(1, QStringLiteral("1")).outcome, ExportOutcome::Done);
    ASSERT_EQ(Export(1, QStringLiteral("1")).outcome, ExportOutcome::Done);
    EXPECT_EQ(FileContent(Out("qor1-1.mp3")), ExportCourse::Recording(1, 1));
    EXPECT_EQ(FileContent(Out("qor1-1.lrc")), ExportCourse::BookOneLessonOneLrc());
    EXPECT_EQ(FilesIn(out.path()), QStringList({"qor1-1.lrc", "qor1-1.mp3"}));
}

TEST_F(LessonExportTest, MissingRecordingStillGetsItsLyricsAndTheExportGoesOn)
{
    ASSERT_EQ(Export(1, QStringLiteral("1,2,4")).outcome, ExportOutcome::Done);
    EXPECT_EQ(FilesIn(out.path()), QStringList({"qor1-1.lrc", "qor1-1.mp3", "qor1-2.lrc", "qor1-4.lrc", "qor1-4.mp3"}));
    ASSERT_EQ(reported.size(), 3);
    EXPECT_TRUE(reported[1].second.mp3.isEmpty());
    EXPECT_EQ(reported[2].first, 4);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(LessonExportTest, StopsAtALessonWithoutSentencesKeepingEarlierFiles)
{
    ASSERT_EQ(Export(1, QStringLiteral("1-4")).outcome, ExportOutcome::LessonDataError);
    EXPECT_EQ(FilesIn(out.path()), QStringList({"qor1-1.lrc", "qor1-1.mp3", "qor1-2.lrc"}));
    EXPECT_EQ(reported.size(), 2);
}

// A file that cannot be written ends the export with its path and the
// system's reason, keeping the complete files written before it: a folder in
// the way stands for any write the system refuses.
TEST_F(LessonExportTest, StopsAtAFileThatCannotBeWrittenSayingWhichAndWhy)
{
    struct Case {
        const char* expression;
        const char* inTheWay;
        QStringList left;  // besides the folder in the way
        int reported;
    };
    const Case cases[] = {
        {"1,4", "qor1-1.mp3", {}, 0},
        {"1,4", "qor1-4.mp3", {"qor1-1.lrc", "qor1-1.mp3"}, 1},
        {"1,4", "qor1-4.lrc", {"qor1-1.lrc", "qor1-1.mp3", "qor1-4.mp3"}, 1},
        {"2,4", "qor1-2.lrc", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inTheWay);
        ASSERT_TRUE(QDir(out.path()).removeRecursively() && QDir().mkpath(out.path()));
        reported.clear();
        ASSERT_TRUE(QDir(out.path()).mkdir(QString::fromLatin1(c.inTheWay)));
        const ExportResult result = Export(1, QString::fromLatin1(c.expression));
        EXPECT_EQ(result.outcome, ExportOutcome::WriteFailed);
        EXPECT_EQ(result.file, Out(QString::fromLatin1(c.inTheWay)));
        EXPECT_FALSE(result.reason.isEmpty());
        EXPECT_EQ(ExportMessage(result), QString::fromUtf8("无法写入文件：%1（%2）").arg(result.file, result.reason));
        EXPECT_TRUE(ExportOutcomeIsError(result.outcome));
        QStringList left = c.left;
        left << QString::fromLatin1(c.inTheWay);
        left.sort();
        EXPECT_EQ(FilesIn(out.path()), left);
        EXPECT_EQ(reported.size(), c.reported);
    }
}

TEST_F(LessonExportTest, DecodesTranslationsStoredWithSurroundingBlanks)
{
    course.db.Exec(QStringLiteral("Update tblQor1 Set FChinese = ' ' || FChinese || ' ' Where FID = 2"));
    ASSERT_EQ(Export(1, QStringLiteral("1")).outcome, ExportOutcome::Done);
    EXPECT_EQ(FileContent(Out("qor1-1.lrc")), ExportCourse::BookOneLessonOneLrc());
}

TEST(ExportOutcomeText, EachEndHasItsMessageAndBox)
{
    EXPECT_EQ(ExportMessage({ExportOutcome::Done, {}, {}}), QString::fromUtf8("已完成MP3和歌词文件输出！"));
    EXPECT_EQ(ExportMessage({ExportOutcome::InvalidList, {}, {}}), QString::fromUtf8("您选择的课程无效，请重新选择！"));
    EXPECT_EQ(ExportMessage({ExportOutcome::NoLessons, {}, {}}), QString::fromUtf8("根据您指定的条件，没有找到任何课程！"));
    EXPECT_EQ(ExportMessage({ExportOutcome::LessonDataError, {}, {}}), QString::fromUtf8("课文数据错误！"));
    EXPECT_TRUE(ExportMessage({ExportOutcome::Cancelled, {}, {}}).isEmpty());
    EXPECT_FALSE(ExportOutcomeIsError(ExportOutcome::Done));
    EXPECT_FALSE(ExportOutcomeIsError(ExportOutcome::InvalidList));
    EXPECT_TRUE(ExportOutcomeIsError(ExportOutcome::NoLessons));
    EXPECT_TRUE(ExportOutcomeIsError(ExportOutcome::LessonDataError));
}

} // namespace
