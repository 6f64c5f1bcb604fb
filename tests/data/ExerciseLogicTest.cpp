#include "data/ExerciseDraw.h"
#include "data/ExerciseMarking.h"
#include "data/LessonDataSet.h"
#include "data/RandomSource.h"
#include "data/WordAlignment.h"
#include "support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Words "w<id>" with meanings "义<id>" stored enciphered: the decoder below
// stands in for the cipher, so a draw that shows the stored text is caught.
void FillWords(TLessonDataSet& words, const QList<int>& ids)
{
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FBook"), QStringLiteral("FEnglish"), QStringLiteral("FChinese")};
    for (int id : ids)
        rs.rows.push_back({id, 2, QStringLiteral("w%1").arg(id), QStringLiteral("enc%1").arg(id)});
    words.Assign(rs);
    words.SetFieldDecoder(QStringLiteral("FChinese"), [](const QVariant& stored) {
        return QString::fromUtf8("义") + stored.toString().mid(3);
    });
}

QStringList Texts(const QString& text, const QList<TextSpan>& spans)
{
    QStringList out;
    for (const TextSpan& s : spans)
        out << text.mid(s.start, s.length);
    return out;
}

TEST(WordAlignment, ReportsTheExpectedWordsLeftOutOrMisspelt)
{
    struct Case {
        const char* what;
        const char* expected;
        const char* given;
        QStringList missed;
    };
    const Case cases[] = {
        {"right", "It's nine o'clock.", "its nine oclock", {}},
        {"missing word", "Where is my pen?", "where my pen", {"is"}},
        {"extra word", "Where is my pen?", "where is my red pen", {}},
        {"misspelt word", "Where is my pen?", "where is my pan", {"pen?"}},
        {"swapped words", "This is my pen.", "is this my pen", {"This", "is"}},
        {"words joined", "I went to the post office.", "i went to the postoffice", {}},
        {"word split", "It is well-known.", "it is well known", {}},
        {"joined, another misspelt", "I went to the post office.", "i wnt to the postoffice", {"went"}},
        {"extra letter inside a word", "the post office", "the postt office", {"post"}},
        {"extra letter after a word", "I am here", "Ix am here", {"I"}},
        {"extra letter ending joined words", "the post office", "the postoffices", {"office"}},
        {"a word's letters apart", "at home", "a big t home", {"at"}},
        {"punctuation and case only", "Good morning, Sir!", "GOOD MORNING SIR", {}},
        {"line break between words", "Good morning.", "good\nmorning", {}},
        {"empty answer", "Thank you.", "", {"Thank", "you."}},
        {"words without letters never count", "It is 1990 - now.", "it is now", {}},
        {"repeated word paired once", "a cat and a dog", "a cat dog", {"and", "a"}},
        {"nothing expected", "", "anything", {}},
    };
    for (const Case& c : cases) {
        const QString expected = QString::fromUtf8(c.expected);
        EXPECT_EQ(Texts(expected, MissedWords(expected, QString::fromUtf8(c.given))), c.missed) << c.what;
    }
}

TEST(WordAlignment, HugeAnswersAreNotAligned)
{
    const QString expected = QStringLiteral("one two three ").repeated(700);
    const QString pasted = QStringLiteral("x ").repeated(2000);
    EXPECT_TRUE(MissedWords(expected, pasted).isEmpty());
}

TEST(ExerciseMarking, WrongWordShowsTheExpectedWordInBrackets)
{
    EXPECT_EQ(WithExpectedWord(QStringLiteral("aple"), QStringLiteral("Apple")), QStringLiteral("aple (Apple)"));
    EXPECT_EQ(WithExpectedWord(QString(), QStringLiteral("Apple")), QStringLiteral(" (Apple)"));
}

TEST(ExerciseMarking, WrongSentenceGetsOneLastLineAndItsMissedWords)
{
    const QString expected = QStringLiteral("Where is my pen?");
    struct Case {
        QString given;
        QString text;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("(Where is my pen?)")},
        {QStringLiteral("where my pan"), QStringLiteral("where my pan\n(Where is my pen?)")},
        {QStringLiteral("where my pan\n"), QStringLiteral("where my pan\n(Where is my pen?)")},
    };
    for (const Case& c : cases) {
        const MarkedSentence marked = WithExpectedSentence(c.given, expected);
        EXPECT_EQ(marked.text, c.text);
        const QStringList want = c.given.isEmpty() ? QStringList{"Where", "is", "my", "pen?"}
                                                   : QStringList{"is", "pen?"};
        EXPECT_EQ(Texts(marked.text, marked.missed), want) << c.given.toStdString();
    }
}

TEST(ExerciseDraw, RandomRowIsCountedFromTheFirst)
{
    TLessonDataSet words;
    FillWords(words, {1, 2, 3, 4});
    words.Last();
    ScriptedRandom random({2, 0});
    MoveToRandomRow(words, random);
    EXPECT_EQ(words.RecNo(), 2);
    MoveToRandomRow(words, random);
    EXPECT_EQ(words.RecNo(), 0);
    EXPECT_EQ(random.bounds, (QList<int>{4, 4}));
}

TEST(ExerciseDraw, DictationSubjectFromTheDrawnRow)
{
    TLessonDataSet words;
    FillWords(words, {7, 12, 31});
    ScriptedRandom random({1});
    const DictationSubject s = DrawDictationSubject(words, random);
    EXPECT_EQ(s.meaning, QString::fromUtf8("义12"));
    EXPECT_EQ(s.answer, QStringLiteral("w12"));
    EXPECT_EQ(s.soundFile, QStringLiteral("qor2/12.qow"));
    EXPECT_EQ(words.RecNo(), 1);  // the study page follows the draw
}

TEST(ExerciseDraw, SeededDrawsOfAThreeWordLessonStayInsideIt)
{
    TLessonDataSet words;
    FillWords(words, {1, 2, 3});
    SeededRandom random(7);
    std::set<QString> seen;
    for (int i = 0; i < 30; ++i)
        seen.insert(DrawDictationSubject(words, random).answer);
    EXPECT_EQ(seen, (std::set<QString>{"w1", "w2", "w3"}));
}

TEST(ExerciseDraw, SelectionOptionsFollowTheAskedWordWrapping)
{
    TLessonDataSet words;
    FillWords(words, {1, 2, 3, 4, 5, 6});
    struct Case {
        const char* what;
        int row;
        int place;
        bool englishToChinese;
        std::array<const char*, 4> options;
        const char* asked;
    };
    const Case cases[] = {
        {"middle row", 1, 2, true, {"义3", "义4", "义2", "义6"}, "w2"},
        {"last row wraps", 5, 0, true, {"义6", "义2", "义3", "义4"}, "w6"},
        {"chinese to english", 4, 3, false, {"w6", "w1", "w2", "w5"}, "义5"},
    };
    for (const Case& c : cases) {
        ScriptedRandom random({c.row, c.place});
        const SelectionQuestion q = DrawSelectionQuestion(words, random, c.englishToChinese);
        EXPECT_EQ(q.asked, QString::fromUtf8(c.asked)) << c.what;
        EXPECT_EQ(q.answerIndex, c.place) << c.what;
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(q.options[j], QString::fromUtf8(c.options[j])) << c.what << " option " << j;
        EXPECT_EQ(q.soundFile, QStringLiteral("qor2/%1.qow").arg(c.row + 1)) << c.what;
        EXPECT_EQ(random.bounds, (QList<int>{6, 4})) << c.what;
    }
}

TEST(ExerciseDraw, SmallLessonsRepeatTheRightTextAmongTheOptions)
{
    TLessonDataSet words;
    FillWords(words, {1, 2, 3});
    ScriptedRandom random({0, 3});
    SelectionQuestion q = DrawSelectionQuestion(words, random, true);
    // After w1: w2, w3, w1, w2 with the last replaced by the right text.
    EXPECT_EQ(q.options, (std::array<QString, 4>{"义2", "义3", "义1", "义1"}));
    EXPECT_EQ(q.answerIndex, 3);

    FillWords(words, {9});
    random.Add({0, 1});
    q = DrawSelectionQuestion(words, random, false);
    EXPECT_EQ(q.options, (std::array<QString, 4>{"w9", "w9", "w9", "w9"}));
    EXPECT_EQ(q.answerIndex, 1);
}

TEST(ExerciseDraw, EmptyListsGiveEmptySubjects)
{
    TLessonDataSet words;  // never loaded
    SeededRandom random;
    const DictationSubject d = DrawDictationSubject(words, random);
    EXPECT_TRUE(d.meaning.isEmpty() && d.answer.isEmpty() && d.soundFile.isEmpty());

    FillWords(words, {});
    const SelectionQuestion q = DrawSelectionQuestion(words, random, true);
    EXPECT_TRUE(q.asked.isEmpty() && q.right.isEmpty() && q.soundFile.isEmpty());
    for (const QString& option : q.options)
        EXPECT_TRUE(option.isEmpty());

    TLessonDataSet sentences;
    const SentenceSubject s = DrawSentenceSubject(sentences, random);
    EXPECT_TRUE(s.prompt.isEmpty() && s.answer.isEmpty());
    EXPECT_EQ(s.beginMs, 0);
    EXPECT_EQ(s.endMs, 0);
}

TEST(ExerciseDraw, SentenceSubjectCarriesItsSpan)
{
    TLessonDataSet sentences;
    RowSet rs;
    rs.fields = {QStringLiteral("FID"), QStringLiteral("FEnglish"), QStringLiteral("FChinese"),
                 QStringLiteral("FBeginPos"), QStringLiteral("FEndPos")};
    rs.rows = {{1, QStringLiteral("Good morning."), QStringLiteral("x"), 500, 1400},
               {2, QStringLiteral("How are you?"), QStringLiteral("y"), 1800, 2900}};
    sentences.Assign(rs);
    sentences.SetFieldDecoder(QStringLiteral("FChinese"), [](const QVariant& v) { return v.toString().toUpper(); });
    ScriptedRandom random({1});
    const SentenceSubject s = DrawSentenceSubject(sentences, random);
    EXPECT_EQ(s.prompt, QStringLiteral("Y"));
    EXPECT_EQ(s.answer, QStringLiteral("How are you?"));
    EXPECT_EQ(s.beginMs, 1800);
    EXPECT_EQ(s.endMs, 2900);
}

TEST(RandomSource, SameSeedSameSequenceAndBoundsHold)
{
    SeededRandom a(42);
    SeededRandom b(42);
    for (int i = 0; i < 100; ++i) {
        const int n = a.Below(4);
        EXPECT_EQ(n, b.Below(4));
        EXPECT_TRUE(n >= 0 && n < 4);
    }
    EXPECT_EQ(a.Below(0), 0);
    EXPECT_EQ(a.Below(1), 0);
}

} // namespace
