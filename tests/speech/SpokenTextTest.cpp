#include "speech/NumberWords.h"
#include "speech/SpokenText.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* token;
    QStringList readings;
};

TEST(NumberWords, ReadDigitsAloud)
{
    const NumberCase cases[] = {
        {"0", {"zero"}},
        {"7", {"seven"}},
        {"42", {"forty two"}},
        {"115", {"one hundred fifteen"}},
        {"12,000", {"twelve thousand"}},
        {"2000000", {"two million"}},
        {"1984", {"nineteen eighty four", "one thousand nine hundred eighty four"}},
        {"1906", {"nineteen oh six", "one thousand nine hundred six"}},
        {"1900", {"nineteen hundred", "one thousand nine hundred"}},
        {"2024", {"twenty twenty four", "two thousand twenty four"}},
        {"2005", {"two thousand five"}},
        {"3.50", {"three point five zero"}},
        {"1st", {"first"}},
        {"22nd", {"twenty second"}},
        {"40th", {"fortieth"}},
        {"12th", {"twelfth"}},
        {"abc", {}},
        {"1.5th", {}},
    };
    for (const NumberCase& c : cases)
        EXPECT_EQ(NumberReadings(QString::fromLatin1(c.token)), c.readings) << c.token;
}

QStringList FirstReadings(const QString& sentence)
{
    QStringList out;
    for (const TextToken& t : SpokenTokens(sentence))
        out << t.text + QLatin1Char('=') + t.readings.front().join(QLatin1Char(' '));
    return out;
}

TEST(SpokenTokens, SplitAndReadTheWordsOfASentence)
{
    EXPECT_EQ(FirstReadings(QStringLiteral("Excuse me, isn\u2019t this Dr. Lee's seat?")),
              (QStringList{"Excuse=excuse", "me=me", "isn\u2019t=isn't", "this=this", "Dr=doctor", "Lee's=lee's",
                           "seat=seat"}));
    EXPECT_EQ(FirstReadings(QStringLiteral("A well-known 4-year plan in the U.K., e.g. 3.5 MP3s.")),
              (QStringList{"A=a", "well-known=well known", "4-year=four year", "plan=plan", "in=in", "the=the",
                           "U.K=u k", "e.g=for example", "3.5=three point five", "MP3s=mp three s"}));
    EXPECT_EQ(FirstReadings(QStringLiteral("\u201CStop!\u201D \u2014 \u4F60\u597D")), (QStringList{"Stop=stop"}));

    const std::vector<TextToken> tokens = SpokenTokens(QStringLiteral("In 1984, Mr Smith"));
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].position, 3);
    EXPECT_EQ(tokens[1].readings.size(), 2);
}

TEST(SpokenTokens, RememberWhereEachSentenceStarts)
{
    const SpokenSentences spoken = SpokenTokensOf({QStringLiteral("Yes, it is."), QStringLiteral("..."),
                                                   QStringLiteral("Please sit down.")});
    EXPECT_EQ(spoken.tokens.size(), 6u);
    EXPECT_EQ(spoken.firstToken, (std::vector<int>{0, 3, 3, 6}));
}

} // namespace
