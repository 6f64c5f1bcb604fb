#include "speech/SentenceSplitter.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

struct SplitCase {
    const char* name;
    const char* text;
    QStringList sentences;
};

class SentenceSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(SentenceSplitting, GivesTheSentencesInOrder)
{
    EXPECT_EQ(SplitSentences(QString::fromUtf8(GetParam().text)), GetParam().sentences);
}

const SplitCase kCases[] = {
    {"OneALine", "Excuse me, is this seat free?\nYes, it is\nPlease sit down.\n",
     {"Excuse me, is this seat free?", "Yes, it is", "Please sit down."}},
    {"RunningText", "Thank you. Are you a new student? Yes! I am.",
     {"Thank you.", "Are you a new student?", "Yes!", "I am."}},
    {"WrappedLinesAndParagraphs", "It was cold and\nwet all week. We stayed\nat home.\n\nOn Sunday the sun came out",
     {"It was cold and wet all week.", "We stayed at home.", "On Sunday the sun came out"}},
    {"Titles", "Mr. Smith met Mrs. Brown and Dr. Lee at St. Paul's. They talked.",
     {"Mr. Smith met Mrs. Brown and Dr. Lee at St. Paul's.", "They talked."}},
    {"LatinAbbreviations", "Bring fruit, e.g. Apples or pears, i.e. Something fresh. Thanks.",
     {"Bring fruit, e.g. Apples or pears, i.e. Something fresh.", "Thanks."}},
    {"Initials", "J. K. Rowling lives in the U.K. She writes books.",
     {"J. K. Rowling lives in the U.K. She writes books."}},
    {"Numbers", "It costs 3.50 pounds. Room No. 5 is free. No. It isn't.",
     {"It costs 3.50 pounds.", "Room No. 5 is free.", "No.", "It isn't."}},
    {"ClosingQuotesAndBrackets", "He said, \"Stop!\" Then he left. (She stayed.) \u201CWhy?\u201D she asked.",
     {"He said, \"Stop!\"", "Then he left.", "(She stayed.)", "\u201CWhy?\u201D she asked."}},
    {"QuoteGoesOnInLowerCase", "\"Stop!\" he shouted. 'Wait,' she said.",
     {"\"Stop!\" he shouted.", "'Wait,' she said."}},
    {"EllipsisAndRepeatedMarks", "Well... I don't know\u2026 Maybe. Really?! Yes.",
     {"Well... I don't know\u2026 Maybe.", "Really?!", "Yes."}},
    {"BomCrLfAndBlanks", "\xEF\xBB\xBF  Good   morning.\r\n\r\nHow are you?\r", {"Good morning.", "How are you?"}},
    {"Empty", " \n\n\t\n", {}},
};

INSTANTIATE_TEST_SUITE_P(Texts, SentenceSplitting, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(Translations, AreTheNonEmptyLines)
{
    EXPECT_EQ(TranslationLines(QString::fromUtf8("\xEF\xBB\xBF 打扰一下。\r\n\r\n  没有人，请坐。 \n")),
              (QStringList{QString::fromUtf8("打扰一下。"), QString::fromUtf8("没有人，请坐。")}));
    EXPECT_TRUE(TranslationLines(QStringLiteral("\n \n")).isEmpty());
}

} // namespace
