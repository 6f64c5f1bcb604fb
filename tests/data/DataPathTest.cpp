#include "data/DataPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(DataPath, FindsFilesInAnyCaseAndNeverLeavesTheFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("QOR2")));
    Touch(root + "/Qor.mdb");
    Touch(root + "/QOR2/15.QOR");
    Touch(root + "/secret.txt");

    struct Case {
        QString relative;
        QString found;
    };
    const Case cases[] = {
        {"qor.mdb", root + "/Qor.mdb"},
        {"Qor.mdb", root + "/Qor.mdb"},
        {"qor2/15.qor", root + "/QOR2/15.QOR"},
        {"qor2\\15.qor", root + "/QOR2/15.QOR"},
        {"qor2//15.Qor", root + "/QOR2/15.QOR"},
        {"qor2/16.qor", ""},
        {"qor3/15.qor", ""},
        {"", ""},
        {"qor2/../secret.txt", ""},
        {"./qor.mdb", ""},
        {"/etc/passwd", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveDataPath(root, c.relative), c.found) << c.relative.toStdString();
    EXPECT_EQ(ResolveDataPath(root + "/", "qor.mdb"), root + "/Qor.mdb");
}

TEST(DataPath, ExactSpellingWinsOverOtherCases)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Touch(dir.path() + "/word.QOW");
    Touch(dir.path() + "/word.qow");
    EXPECT_EQ(ResolveDataPath(dir.path(), "word.qow"), dir.path() + "/word.qow");
    EXPECT_EQ(ResolveDataPath(dir.path(), "word.QOW"), dir.path() + "/word.QOW");
    // Name order puts upper case first.
    EXPECT_EQ(ResolveDataPath(dir.path(), "WORD.qow"), dir.path() + "/word.QOW");
}

TEST(DataPath, ContainerPathsUsePlainDecimal)
{
    EXPECT_EQ(LessonContainerPath(2, 15), "qor2/15.qor");
    EXPECT_EQ(WordContainerPath(1, 1234), "qor1/1234.qow");
}

} // namespace
