#include "ExportCourse.h"
#include "support/CourseToolRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

namespace {

class ExportCommand : public ::testing::Test {
protected:
    ToolRun Export(const QStringList& args)
    {
        return RunCourseTool(QStringList{"export"} + args);
    }

    ToolRun Export(const QString& book, const QString& lessons, const QStringList& extra = {})
    {
        return Export(QStringList{course.db.DataDir(), "--book", book, "--lessons", lessons, out.path()} + extra);
    }

    ExportCourse course;
    QTemporaryDir out;
};

TEST_F(ExportCommand, WritesTheLessonsAndPrintsOneLineEach)
{
    const ToolRun run = Export("1", "4,2,1");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QString::fromUtf8("qor1-1.mp3 qor1-1.lrc\n"
                                         "qor1-2.lrc (no recording: the lesson's container is missing or damaged)\n"
                                         "qor1-4.mp3 qor1-4.lrc\n"));
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_EQ(FileContent(out.filePath("qor1-1.lrc")), ExportCourse::BookOneLessonOneLrc());
    EXPECT_EQ(FileContent(out.filePath("qor1-4.mp3")), ExportCourse::Recording(1, 4));
}

TEST_F(ExportCommand, StandardTimesWriteHundredthsAfterAPoint)
{
    ASSERT_EQ(Export("2", "1", {"--standard-times"}).exitCode, 0);
    const QList<QByteArray> lines = FileContent(out.filePath("qor2-1.lrc")).split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[3].left(10), "[62:05.00]");
    EXPECT_EQ(lines[4].left(11), "[100:00.00]");
    ASSERT_EQ(Export("2", "1").exitCode, 0);
    EXPECT_EQ(FileContent(out.filePath("qor2-1.lrc")).split('\n').value(3).left(11), "[62:05:004]");
}

TEST_F(ExportCommand, FailedExportsExitWithOneAndTheProgramsMessage)
{
    struct Case {
        const char* lessons;
        const char* message;
        QStringList files;
    };
    const Case cases[] = {
        {"3-", "您选择的课程无效，请重新选择！", {}},
        {",", "根据您指定的条件，没有找到任何课程！", {}},
        {"7-9", "根据您指定的条件，没有找到任何课程！", {}},
        {"1-4", "课文数据错误！", {"qor1-1.lrc", "qor1-1.mp3", "qor1-2.lrc"}},
    };
    for (const Case& c : cases) {
        const ToolRun run = Export("1", QString::fromUtf8(c.lessons));
        EXPECT_EQ(run.exitCode, 1) << c.lessons;
        EXPECT_EQ(run.err, QStringLiteral("veltra-course: %1\n").arg(QString::fromUtf8(c.message))) << c.lessons;
        EXPECT_EQ(FilesIn(out.path()), c.files) << c.lessons;
    }
}

// The tool under a file size limit, which refuses writes past it as a full
// disk refuses them: every recording fails, the small lyric files would not.
TEST_F(ExportCommand, ARecordingThatCannotBeWrittenStopsTheExportAndSaysWhere)
{
    QProcess tool;
    tool.setChildProcessModifier([] {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
    });
    tool.start(QStringLiteral(VELTRA_COURSE_EXE),
               {"export", course.db.DataDir(), "--book", "1", "--lessons", "1,4", out.path()});
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_GT(ExportCourse::Recording(1, 1).size(), 4096);
    EXPECT_EQ(tool.exitCode(), 1);
    // The limit lets the first 4 KB through; the write after says why.
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()),
              QStringLiteral("veltra-course: 无法写入文件：%1（%2）\n")
                  .arg(out.filePath("qor1-1.mp3"), qt_error_string(EFBIG)));
    EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(FilesIn(out.path()).isEmpty());
}

TEST_F(ExportCommand, BadArgumentsExitWithTwoAndWriteNothing)
{
    const QString data = course.db.DataDir();
    const QStringList cases[] = {
        {},
        {data, "--book", "1", "--lessons", "1"},
        {data, "--book", "1", out.path()},
        {data, "--lessons", "1", out.path()},
        {data, "--book", "5", "--lessons", "1", out.path()},
        {data, "--book", "one", "--lessons", "1", out.path()},
        {data, "--book", "1", "--lessons", "1", out.filePath("missing")},
        {data, "--book", "1", "--lessons", "1", out.path(), "extra"},
        {data, "--book", "1", out.path(), "--lessons"},
    };
    for (const QStringList& args : cases) {
        const ToolRun run = Export(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.startsWith("veltra-course: ")) << run.err.toStdString();
    }
    EXPECT_TRUE(FilesIn(out.path()).isEmpty());

    const ToolRun noData = Export(QStringList{out.filePath("nowhere"), "--book", "1", "--lessons", "1", out.path()});
    EXPECT_EQ(noData.exitCode, 1);
}

} // namespace
