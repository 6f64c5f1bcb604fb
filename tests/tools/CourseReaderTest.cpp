#include "CourseFixture.h"
#include "CourseReader.h"
#include "LessonFile.h"

#include <gtest/gtest.h>

namespace {

const Diagnostics::Entry* FindEntry(const Diagnostics& diagnostics, const QString& fragment)
{
    for (const Diagnostics::Entry& entry : diagnostics.entries()) {
        if (entry.message.contains(fragment))
            return &entry;
    }
    return nullptr;
}

TEST(CourseReader, ReadsLessonsInBookAndNaturalFileOrder)
{
    CourseFixture course;
    course.write(QStringLiteral("book2/lesson01.yaml"), kLessonTwo);
    course.write(QStringLiteral("book1/lesson10.yaml"), QByteArray(kLessonOne).replace("lesson: 1\n", "lesson: 10\n"));
    course.write(QStringLiteral("book1/lesson9.yaml"), QByteArray(kLessonOne).replace("lesson: 1\n", "lesson: 9\n"));
    course.write(QStringLiteral("book1/notes.txt"), "not a lesson");
    course.write(QStringLiteral("FORMAT.md"), "not a lesson either");

    Diagnostics diagnostics;
    const Course result = ReadCourse(course.path(), diagnostics);
    ASSERT_FALSE(diagnostics.hasErrors()) << diagnostics.entries().front().text().toStdString();
    ASSERT_EQ(result.lessons.size(), 3u);
    EXPECT_EQ(result.lessons[0].lesson, 9);
    EXPECT_EQ(result.lessons[1].lesson, 10);
    EXPECT_EQ(result.lessons[2].book, 2);

    const CourseLesson& first = result.lessons[0];
    EXPECT_EQ(first.english, QStringLiteral("Lesson 1 What Time Is It?"));
    EXPECT_EQ(first.studyCount, 1);
    ASSERT_TRUE(first.lastStudied);
    EXPECT_NEAR(*first.lastStudied, 39128.0 + 10.0 / 24.0, 1e-9);  // 2007-02-15 10:00
    ASSERT_EQ(first.words.size(), 2u);
    EXPECT_EQ(first.words[0].english, QStringLiteral("o'clock"));
    EXPECT_EQ(first.words[0].info, QStringLiteral("整点时间用 o'clock。\n例：at six o'clock"));
    EXPECT_EQ(first.explanation, QStringLiteral("1. 问时间：What time is it?\n2. 整点用 o'clock。"));
    EXPECT_EQ(result.lessons[2].studyCount, 0);
    EXPECT_FALSE(result.lessons[2].lastStudied);
    // "class" occurs inside "classroom" and o'clock with its apostrophe: no warnings.
    EXPECT_TRUE(diagnostics.entries().empty());
}

TEST(CourseReader, NaturalOrderComparesDigitRunsByValue)
{
    struct Case {
        const char* a;
        const char* b;
        bool less;
    };
    const Case cases[] = {
        {"lesson2.yaml", "lesson10.yaml", true},   {"lesson10.yaml", "lesson2.yaml", false},
        {"lesson02.yaml", "lesson10.yaml", true},  {"a.yaml", "b.yaml", true},
        {"lesson1.yaml", "lesson1.yaml", false},   {"lesson99999999999999999999.yaml", "lesson100000000000000000000.yaml", true},
        {"lesson1.yaml", "lesson01.yaml", false},  {"lesson01.yaml", "lesson1.yaml", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NaturalLess(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.less) << c.a << " < " << c.b;
}

TEST(CourseReader, MalformedLessonsAreReportedWithTheirLine)
{
    struct Case {
        const char* name;
        QByteArray from;  // replaced in kLessonOne ...
        QByteArray to;    // ... by this
        Diagnostics::Kind kind;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"missing translation", "    zh: \"七点了。\"\n", "", Diagnostics::Kind::Error, 8, "sentence 1: missing field 'zh'"},
        {"no sentences", "sentences:\n  - en: \"It's seven o'clock.\"\n    zh: \"七点了。\"\n  - en: \"Is the classroom open?\"\n"
                         "    zh: \"教室开着吗？\"\n",
         "sentences: []\n", Diagnostics::Kind::Error, 7, "'sentences' must be a list of at least one sentence"},
        // The stored cipher cannot carry a zero byte.
        {"NUL character", "    zh: \"七点了。\"\n", "    zh: \"七点\\0了。\"\n", Diagnostics::Kind::Error, 9,
         "sentence 1: field 'zh' contains a NUL character"},
        {"lesson not a number", "lesson: 1\n", "lesson: one\n", Diagnostics::Kind::Error, 1,
         "field 'lesson' must be a whole number"},
        {"lesson zero", "lesson: 1\n", "lesson: 0\n", Diagnostics::Kind::Error, 1, "field 'lesson' must be a whole number"},
        {"missing title", "chinese: \"几点了？\"\n", "", Diagnostics::Kind::Error, 1, "missing field 'chinese'"},
        {"empty word meaning", "    zh: \"n. 班级\"\n", "    zh: \"  \"\n", Diagnostics::Kind::Error, 20, "word 2: field 'zh' is empty"},
        {"missing explanation", "explanation: |\n  1. 问时间：What time is it?\n  2. 整点用 o'clock。\n", "",
         Diagnostics::Kind::Error, 1, "missing field 'explanation'"},
        {"studied without a date", "  last: \"2007-02-15 10:00\"\n", "", Diagnostics::Kind::Error, 5, "needs 'last'"},
        {"bad study date", "2007-02-15 10:00", "yesterday", Diagnostics::Kind::Error, 6, "'last' must be a date"},
        {"syntax error", "english: \"Lesson 1 What Time Is It?\"\n", "english: \"Lesson 1 What Time\n",
         Diagnostics::Kind::Error, 0, ""},
        {"words not a list", "words:\n", "words: none\nold_words:\n", Diagnostics::Kind::Error, 12, "'words' must be a list"},
        {"word missing from text", "  - en: \"class\"\n", "  - en: \"umbrella\"\n", Diagnostics::Kind::Warning, 19,
         "new word 'umbrella' occurs in no sentence of lesson 1"},
        {"misspelt field", "words:\n", "wrods: []\nwords:\n", Diagnostics::Kind::Warning, 12, "unknown field 'wrods'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray text(kLessonOne);
        ASSERT_TRUE(text.contains(c.from));
        text.replace(c.from, c.to);
        CourseFixture course;
        const QString file = course.write(QStringLiteral("book1/lesson01.yaml"), text);

        Diagnostics diagnostics;
        ReadCourse(course.path(), diagnostics);
        const Diagnostics::Entry* entry = FindEntry(diagnostics, QString::fromUtf8(c.message));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, c.kind);
        EXPECT_EQ(entry->where.file, file);
        if (c.line > 0)
            EXPECT_EQ(entry->where.line, c.line) << entry->text().toStdString();
        else
            EXPECT_GT(entry->where.line, 0) << entry->text().toStdString();
        EXPECT_EQ(diagnostics.hasErrors(), c.kind == Diagnostics::Kind::Error);
    }
}

TEST(CourseReader, DuplicateLessonNumberNamesBothFiles)
{
    CourseFixture course;
    const QString first = course.write(QStringLiteral("book1/lesson01.yaml"), kLessonOne);
    const QString second = course.write(QStringLiteral("book1/lesson02.yaml"), kLessonOne);
    course.write(QStringLiteral("book2/lesson01.yaml"), kLessonTwo);  // the same number in another book is fine

    Diagnostics diagnostics;
    const Course result = ReadCourse(course.path(), diagnostics);
    ASSERT_EQ(diagnostics.entries().size(), 1u);
    const Diagnostics::Entry& entry = diagnostics.entries().front();
    EXPECT_EQ(entry.kind, Diagnostics::Kind::Error);
    EXPECT_EQ(entry.text(), QStringLiteral("%1:1: error: lesson 1 of book 1 is already defined at %2:1").arg(second, first));
}

TEST(CourseReader, EmptyOrMissingCourseIsAnError)
{
    CourseFixture course;
    Diagnostics missing;
    ReadCourse(course.path(), missing);
    ASSERT_TRUE(missing.hasErrors());
    EXPECT_TRUE(FindEntry(missing, QStringLiteral("does not exist")));

    course.write(QStringLiteral("book5/lesson01.yaml"), kLessonOne);
    Diagnostics empty;
    ReadCourse(course.path(), empty);
    EXPECT_TRUE(empty.hasErrors());
    EXPECT_TRUE(FindEntry(empty, QStringLiteral("books are the folders book1 to book4")));
    EXPECT_TRUE(FindEntry(empty, QStringLiteral("no lessons found")));
}

TEST(CourseReader, StudyTimesBecomeDayCounts)
{
    EXPECT_DOUBLE_EQ(*ParseStudyTime(QStringLiteral("1899-12-30")), 0.0);
    EXPECT_DOUBLE_EQ(*ParseStudyTime(QStringLiteral("1900-01-01 12:00")), 2.5);
    EXPECT_DOUBLE_EQ(*ParseStudyTime(QStringLiteral("2007-02-15 10:30:00")), 39128.0 + 10.5 / 24.0);
    EXPECT_FALSE(ParseStudyTime(QStringLiteral("2007-02-30 10:00")));
    EXPECT_FALSE(ParseStudyTime(QStringLiteral("15/02/2007")));
}

} // namespace
