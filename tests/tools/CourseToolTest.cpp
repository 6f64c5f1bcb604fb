#include "audio/Container.h"
#include "support/CourseToolRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CourseTool, EncodeAndDecodeRoundTripGb18030Text)
{
    const ToolRun fixed = RunCourseTool({"encode", "--seed", "16", "ABCD"});
    EXPECT_EQ(fixed.exitCode, 0);
    EXPECT_EQ(fixed.out, "1025163DF5\n");

    const QString text = QString::fromUtf8("第一册 ˈæpl");
    for (const QStringList& key : {QStringList(), QStringList{"--key", "secret"}, QStringList{"--key", ""}}) {
        const ToolRun enc = RunCourseTool(QStringList{"encode"} + key + QStringList{text});
        ASSERT_EQ(enc.exitCode, 0) << enc.err.toStdString();
        const QString hex = enc.out.trimmed();
        const ToolRun dec = RunCourseTool(QStringList{"decode"} + key + QStringList{hex});
        EXPECT_EQ(dec.exitCode, 0);
        EXPECT_EQ(dec.out, text + "\n");
        const ToolRun raw = RunCourseTool(QStringList{"decode", "--raw"} + key + QStringList{hex});
        EXPECT_TRUE(raw.rawOut.startsWith(QByteArray::fromHex("b5dad2bbb2e1")));
    }
}

TEST(CourseTool, BadInputExitsWithUsageErrorOnStderr)
{
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"encode"},
        {"encode", "--seed", "256", "x"},
        {"encode", "--seed", "x", "x"},
        {"encode", "a", "b"},
        {"encode", "x", "--key"},
        {"decode", "1025163df5"},
        {"decode", "1025163DF"},
        {"decode", "10 25"},
        {"decode"},
        {"pack", "only-one"},
        {"unpack"},
        {"lessons", "3-"},
        {"lessons", "1.5"},
        {"lessons"},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = RunCourseTool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("veltra-course: ")) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(RunCourseTool({"lessons", "3-"}).err.contains(QString::fromUtf8("您选择的课程无效，请重新选择！")));
}

TEST(CourseTool, LessonsPrintsTheExpandedList)
{
    EXPECT_EQ(RunCourseTool({"lessons", "1,2-5,7"}).out, "1,2,3,4,5,7\n");
    EXPECT_EQ(RunCourseTool({"lessons", " 9 - 7 , 3 "}).out, "7,8,9,3\n");
    const ToolRun empty = RunCourseTool({"lessons", ","});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "\n");
}

TEST(CourseTool, PackAndUnpackFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString audio = dir.filePath("lesson.mp3");
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.append(char((i * 7919) >> 3));
    {
        QFile f(audio);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    ASSERT_EQ(RunCourseTool({"pack", audio, dir.filePath("1.qor")}).exitCode, 0);
    QFile packed(dir.filePath("1.qor"));
    ASSERT_TRUE(packed.open(QIODevice::ReadOnly));
    EXPECT_EQ(UnpackContainer(packed.readAll()), std::optional<QByteArray>(bytes));

    ASSERT_EQ(RunCourseTool({"unpack", dir.filePath("1.qor"), dir.filePath("back.mp3")}).exitCode, 0);
    QFile back(dir.filePath("back.mp3"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(back.readAll(), bytes);

    // Operations that fail exit with 1, leave OUT alone and say why.
    const ToolRun notContainer = RunCourseTool({"unpack", audio, dir.filePath("back.mp3")});
    EXPECT_EQ(notContainer.exitCode, 1);
    EXPECT_FALSE(notContainer.err.isEmpty());
    back.seek(0);
    EXPECT_EQ(back.readAll(), bytes);
    EXPECT_EQ(RunCourseTool({"unpack", dir.filePath("missing.qor"), dir.filePath("x.mp3")}).exitCode, 1);
    EXPECT_EQ(RunCourseTool({"pack", dir.filePath("missing.mp3"), dir.filePath("x.qor")}).exitCode, 1);
    EXPECT_EQ(RunCourseTool({"pack", audio, dir.filePath("no/such/folder/x.qor")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.mp3")));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.qor")));
}

} // namespace
