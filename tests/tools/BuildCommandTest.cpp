#include "CourseFixture.h"
#include "support/CourseToolRun.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

ToolRun RunBuild(const QStringList& args)
{
    return RunCourseTool(QStringList{QStringLiteral("build")} + args);
}

// What an author sees on the command line: messages with file and line on
// stderr, exit code 2 for bad input, and no data folder unless the build worked.
TEST(BuildCommand, ReportsProblemsWithFileLineAndExitCode)
{
    CourseFixture course;
    const QString dataDir = QDir(course.root()).filePath(QStringLiteral("Data"));
    const QString lesson = course.write(QStringLiteral("book1/lesson01.yaml"),
                                        QByteArray(kLessonOne).replace("    zh: \"七点了。\"\n", ""));

    const ToolRun bad = RunBuild({course.path(), dataDir});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(lesson + QStringLiteral(":8: error: sentence 1: missing field 'zh'"))) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains(QStringLiteral("nothing was written")));
    EXPECT_FALSE(QFileInfo::exists(dataDir));

    const struct {
        QStringList args;
        const char* message;
    } usage[] = {
        {{}, "build needs COURSE_DIR and DATA_DIR"},
        {{course.path()}, "build needs COURSE_DIR and DATA_DIR"},
        {{QStringLiteral("--jobs"), QStringLiteral("0"), course.path(), dataDir}, "--jobs takes a number from 1 to 8"},
    };
    for (const auto& c : usage) {
        const ToolRun run = RunBuild(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(dataDir));

    // Warnings alone do not stop the build, but a folder of other files is never replaced.
    course.write(QStringLiteral("book1/lesson01.yaml"), QByteArray(kLessonOne).replace("  - en: \"class\"\n", "  - en: \"umbrella\"\n"));
    const ToolRun refused = RunBuild({course.path(), course.path()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("refusing to replace"))) << refused.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(lesson));
    const ToolRun warned = RunBuild({course.path(), dataDir});
    EXPECT_EQ(warned.exitCode, 0) << warned.err.toStdString();
    EXPECT_TRUE(warned.err.contains(lesson + QStringLiteral(":19: warning: new word 'umbrella' occurs in no sentence of lesson 1")))
        << warned.err.toStdString();
    EXPECT_TRUE(warned.out.startsWith(QStringLiteral("Built ")));
    EXPECT_TRUE(QFileInfo::exists(QDir(dataDir).filePath(QStringLiteral("qor.db"))));
}

// A signal stops the build between lessons: the staging folder goes, and
// the data folder is never made.
TEST(BuildCommand, ASignalStopsTheBuildAndLeavesNothing)
{
    CourseFixture course;
    for (int lesson = 1; lesson <= 3; ++lesson)
        course.write(QStringLiteral("book1/lesson0%1.yaml").arg(lesson),
                     QByteArray(kLessonOne).replace("lesson: 1", "lesson: " + QByteArray::number(lesson)));
    const QString dataDir = QDir(course.root()).filePath(QStringLiteral("Data"));
    const auto staging = [&] {
        return QDir(course.root()).entryList({QStringLiteral(".Data.building-*")}, QDir::Dirs | QDir::Hidden);
    };
    QProcess tool;
    tool.start(QStringLiteral(VELTRA_COURSE_EXE), {QStringLiteral("build"), QStringLiteral("--jobs"), QStringLiteral("1"),
                                                   course.path(), dataDir});
    QElapsedTimer waited;
    waited.start();
    while (staging().isEmpty() && tool.state() != QProcess::NotRunning && waited.elapsed() < 60000)
        QThread::msleep(2);
    ASSERT_EQ(staging().size(), 1);  // caught at work
    ASSERT_EQ(::kill(pid_t(tool.processId()), SIGTERM), 0);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 128 + SIGTERM);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), QStringLiteral("veltra-course: stopped; nothing was written\n"));
    EXPECT_EQ(staging(), QStringList());
    EXPECT_FALSE(QFileInfo::exists(dataDir));
}

} // namespace
