#include "data/TextCodec.h"
#include "export/LessonList.h"
#include "export/LrcText.h"

#include <gtest/gtest.h>

namespace {

TEST(LrcText, TimeTagsInBothStyles)
{
    struct Case {
        qint64 position;
        const char* lesson;
        const char* standard;
    };
    const Case cases[] = {
        {0, "[00:00:000]", "[00:00.00]"},
        {65432, "[01:05:432]", "[01:05.43]"},
        {59999, "[00:59:999]", "[00:59.99]"},
        {3725004, "[62:05:004]", "[62:05.00]"},
        {6000000, "[100:00:000]", "[100:00.00]"},
        {2147483647, "[35791:23:647]", "[35791:23.64]"},
        {-1500, "[00:00:000]", "[00:00.00]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LrcTimeTag(c.position, LrcTimeStyle::Lesson), QLatin1String(c.lesson)) << c.position;
        EXPECT_EQ(LrcTimeTag(c.position, LrcTimeStyle::Standard), QLatin1String(c.standard)) << c.position;
    }
}

TEST(LrcText, BookOneStartsAtZeroAndOtherBooksKeepTheirTimes)
{
    const QVector<LrcSentence> sentences = {
        {1500, QStringLiteral("Excuse me!"), TextToGb18030(QStringLiteral("对不起！"))},
        {3250, QStringLiteral("Yes?"), TextToGb18030(QStringLiteral("什么事？"))},
    };
    const QByteArray header = TextToGb18030(QStringLiteral("[ti:Veltra精读]\r\n[al:Quillmere]\r\n[by:Veltra精读]\r\n"));
    EXPECT_EQ(BuildLrc(1, sentences, LrcTimeStyle::Lesson),
              header + TextToGb18030(QStringLiteral("[00:00:000]Excuse me!对不起！\r\n[00:03:250]Yes?什么事？\r\n")));
    EXPECT_EQ(BuildLrc(2, sentences, LrcTimeStyle::Lesson),
              header + TextToGb18030(QStringLiteral("[00:01:500]Excuse me!对不起！\r\n[00:03:250]Yes?什么事？\r\n")));
    EXPECT_EQ(BuildLrc(1, sentences, LrcTimeStyle::Standard),
              header + TextToGb18030(QStringLiteral("[00:00.00]Excuse me!对不起！\r\n[00:03.25]Yes?什么事？\r\n")));
    EXPECT_EQ(BuildLrc(3, {}, LrcTimeStyle::Lesson), header);
}

TEST(LrcText, WritesGbkBytesAndGb18030WhereGbkHasNoCode)
{
    // "é" and "你" are GBK A8 A6 and C4 E3; U+20000 has no GBK code and takes
    // its four-byte GB18030 form instead of a '?'.
    const QVector<LrcSentence> sentences = {
        {0, QString::fromUtf8("caf\u00e9 \U00020000"), QByteArray::fromHex("c4e3")},
    };
    const QByteArray lrc = BuildLrc(2, sentences, LrcTimeStyle::Lesson);
    EXPECT_FALSE(lrc.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(lrc.contains('?'));
    const QByteArray line = lrc.mid(lrc.lastIndexOf("[00:"));
    EXPECT_EQ(line, QByteArray("[00:00:000]caf\xa8\xa6 \x95\x32\x82\x36\xc4\xe3\r\n"));
    EXPECT_EQ(Gb18030ToText(line), QString::fromUtf8("[00:00:000]caf\u00e9 \U00020000你\r\n"));
}

TEST(LessonListKey, PassesOnlyTheListedCharacters)
{
    const QString accepted = QStringLiteral("\b%',-.0123456789");
    for (QChar c : accepted)
        EXPECT_TRUE(IsLessonListKey(c)) << int(c.unicode());
    const QString refused = QString::fromUtf8(" \t\r\x1b!\"#$&()*+/:;<=>?@AZaz[\\]^_`{|}~\x7f０，一");
    for (QChar c : refused)
        EXPECT_FALSE(IsLessonListKey(c)) << int(c.unicode());
}

} // namespace
