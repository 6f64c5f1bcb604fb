#include "data/ReviewSchedule.h"
#include "data/TestLessonDb.h"
#include "support/CourseToolRun.h"

#include <gtest/gtest.h>

namespace {

class StoreCommands : public ::testing::Test {
protected:
    StoreCommands()
    {
        const double last = DateTimeToDayCount(QDateTime(QDate(2007, 2, 15), QTime(10, 0)));
        db.Lesson(7, 2, 3, 1, 2, "Please send me a card", QString::fromUtf8("给我寄一张明信片"), 3, last)
            .Lesson(8, 2, 4, 50, 50, "Empty", "");
        db.Sentence(2, 1, "Postcards always spoil my holidays.", QString::fromUtf8("明信片总是破坏我的假日。"), 0, 2500)
            .Sentence(2, 2, "Last summer, I went to Italy.", QString::fromUtf8("去年夏天，我去了意大利。"), 2500, 4800);
        db.Word(31, 2, 3, "spoil", QString::fromUtf8("破坏"), QString::fromUtf8("spɔɪl"), "v.");
        db.Note(7, "line one\n\tindented \\ end");
        db.Explain(7, QString::fromUtf8("要点"));
    }

    TestLessonDb db;
};

TEST_F(StoreCommands, ShowPrintsTheLessonAsTheProgramSeesIt)
{
    const QString expected = QString::fromUtf8(
        "title\t第二册 - Please send me a card给我寄一张明信片\n"
        "sentence\t1\t0\t2500\tPostcards always spoil my holidays.\t明信片总是破坏我的假日。\n"
        "sentence\t2\t2500\t4800\tLast summer, I went to Italy.\t去年夏天，我去了意大利。\n"
        "word\t31\tspoil\t破坏\tspɔɪl\tv.\n"
        "explain\t要点\n"
        "note\tline one\\n\\tindented \\\\ end\n"
        "study\t3\t2007/02/15\t2007/02/18\n");
    const ToolRun byId = RunCourseTool({"show", db.DataDir(), "7"});
    EXPECT_EQ(byId.exitCode, 0) << byId.err.toStdString();
    EXPECT_EQ(byId.out, expected);
    const ToolRun byNumber = RunCourseTool({"show", db.DataDir(), "--book", "2", "--lesson", "3"});
    EXPECT_EQ(byNumber.exitCode, 0);
    EXPECT_EQ(byNumber.out, expected);
}

TEST_F(StoreCommands, FailuresGoToStderr)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;  // part of stderr
    } cases[] = {
        {{"show", db.DataDir(), "8"}, 1, "content ID 8 cannot be opened"},
        {{"show", db.DataDir(), "--book", "2", "--lesson", "9"}, 1, "打开课文出错！"},
        {{"show", db.DataDir() + "/missing", "7"}, 1, "连接数据库错误，或者数据库已损坏"},
        {{"option", db.DataDir() + "/missing", "Speed"}, 1, "连接数据库错误"},
        {{"show", db.DataDir()}, 2, "show needs"},
        {{"show", db.DataDir(), "seven"}, 2, "show needs"},
        {{"show", db.DataDir(), "--book", "2"}, 2, "--book and --lesson"},
        {{"show", db.DataDir(), "--book", "x", "--lesson", "1"}, 2, "whole numbers"},
        {{"option", db.DataDir()}, 2, "option needs"},
        {{"due", db.DataDir() + "/missing"}, 1, "连接数据库错误"},
        {{"due"}, 2, "due needs"},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunCourseTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
}

TEST_F(StoreCommands, OptionReadsAndWrites)
{
    EXPECT_EQ(RunCourseTool({"option", db.DataDir(), "Speed"}).out, "Error\n");
    const ToolRun write = RunCourseTool({"option", db.DataDir(), "speed", " 11 "});
    EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_EQ(RunCourseTool({"option", db.DataDir(), "SPEED"}).out, "11\n");
    EXPECT_EQ(db.Column("Select FValue From tblOptions"), QStringList{" 11 "});

    db.Exec("Create Trigger noUpdate Before Update On tblOptions Begin Select Raise(Abort, 'no'); End");
    const ToolRun refused = RunCourseTool({"option", db.DataDir(), "Speed", "9"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QString::fromUtf8("保存设置失败！"))) << refused.err.toStdString();
    EXPECT_EQ(RunCourseTool({"option", db.DataDir(), "Speed"}).out, "11\n");
}

TEST_F(StoreCommands, DuePrintsTheLessonsToReviewOnePerLine)
{
    const QString format = QStringLiteral("yyyy/MM/dd HH:mm");
    const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
    db.Lesson(9, 1, 12, 1, 1, "Tab\there", "", 1, DateTimeToDayCount(hourAgo))
        .Lesson(10, 1, 13, 1, 1, "Done", "", 6, 100.0)
        .Lesson(11, 1, 14, 1, 1, "Tomorrow", "", 2, DateTimeToDayCount(QDateTime::currentDateTime()));
    const ToolRun run = RunCourseTool({"due", db.DataDir()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString::fromUtf8("7\t2\t3\tPlease send me a card给我寄一张明信片\t3\t2007/02/15 10:00\t2007/02/18 10:00\n")
                           + QStringLiteral("9\t1\t12\tTab\\there\t1\t%1\t%2\n")
                                 .arg(hourAgo.toString(format), hourAgo.addSecs(1800).toString(format)));

    db.Exec("Update tblContent Set FStudyCount=0");
    const ToolRun none = RunCourseTool({"due", db.DataDir()});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.isEmpty());
}

} // namespace
