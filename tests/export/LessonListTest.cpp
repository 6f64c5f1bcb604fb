#include "export/LessonList.h"

#include <gtest/gtest.h>

namespace {

TEST(LessonList, ExpandsItemsAndRangesInInputOrder)
{
    struct Case {
        const char* input;
        const char* list;
    };
    const Case cases[] = {
        {"1,2-5,7", "1,2,3,4,5,7"},
        {" 9 - 7 , 3 ", "7,8,9,3"},
        {"\t5-2\n", "2,3,4,5"},
        {"2-2", "2"},
        {"05,,5", "05,5"},
        {"3,1", "3,1"},
        {"1,1,1-2", "1,1,1,2"},
        {"007-9", "7,8,9"},                    // range ends are written plainly
        {",", ""},
        {"", ""},
        {" , ,, ", ""},
        {"1,", "1"},
        {"2147483647", "2147483647"},
        {"2147483646-2147483647", "2147483646,2147483647"},
    };
    for (const Case& c : cases) {
        const std::optional<QString> list = ExpandLessonList(QString::fromUtf8(c.input));
        ASSERT_TRUE(list.has_value()) << '"' << c.input << '"';
        EXPECT_EQ(*list, QString::fromUtf8(c.list)) << '"' << c.input << '"';
    }
}

TEST(LessonList, RejectsAnythingButNumbersAndRanges)
{
    const char* const invalid[] = {
        "3-", "-3", "1-2-3", "1.5", "5%", "5'", "1,x", "+5", "1 2", "１",
        "2147483648", "99999999999999999999", "0-2147483648",
        "1,2,3,abc",                           // a bad item spoils the whole list
    };
    for (const char* input : invalid)
        EXPECT_FALSE(ExpandLessonList(QString::fromUtf8(input)).has_value()) << '"' << input << '"';
}

TEST(LessonList, CapsHugeListsInsteadOfBuildingThem)
{
    const std::optional<QString> atCap = ExpandLessonList(QStringLiteral("1-%1").arg(kMaxLessonListNumbers));
    ASSERT_TRUE(atCap.has_value());
    EXPECT_EQ(atCap->count(QLatin1Char(',')) + 1, kMaxLessonListNumbers);

    for (const QString& input : {QStringLiteral("1-%1").arg(kMaxLessonListNumbers + 1),
                                 QStringLiteral("0-2147483647"),
                                 QStringLiteral("5,1-%1").arg(kMaxLessonListNumbers)})
        EXPECT_FALSE(ExpandLessonList(input).has_value()) << input.toStdString();

    EXPECT_EQ(InvalidLessonListMessage(), QString::fromUtf8("您选择的课程无效，请重新选择！"));
}

} // namespace
