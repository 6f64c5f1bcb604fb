// The pronunciation check on takes spoken by espeak-ng in a voice other than
// the course's: read right, with a word said as another word, with a word
// left out, and another sentence read instead.
#include "speech/PronunciationCheck.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"
#include "support/VoiceSamples.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kVoice = QStringLiteral("en-us+f3");

struct CheckCase {
    const char* name;
    const char* spoken;    // what the take says
    const char* sentence;  // what it should have said
    int word;              // the word the case is about (-1: every word)
    std::vector<Clarity> allowed;  // what that word may be judged
};

std::ostream& operator<<(std::ostream& out, const CheckCase& c)
{
    return out << c.name;
}

class PronunciationCheckCases : public testing::TestWithParam<CheckCase> {
protected:
    static void SetUpTestSuite()
    {
        QString error;
        s_checker = PronunciationChecker::Open(error).release();
    }
    static void TearDownTestSuite()
    {
        delete s_checker;
        s_checker = nullptr;
    }
    static PronunciationChecker* s_checker;
};
PronunciationChecker* PronunciationCheckCases::s_checker = nullptr;

TEST_P(PronunciationCheckCases, JudgesTheWordAsALearnerShouldBeTold)
{
    if (!s_checker)
        GTEST_SKIP() << "the speech model is not installed";
    const CheckCase& c = GetParam();
    QString error;
    const std::optional<PcmAudio> take = SynthesisedSpeech(QString::fromUtf8(c.spoken), error, kVoice, 160);
    if (!take)
        GTEST_SKIP() << error.toStdString();
    const std::optional<std::vector<CheckedWord>> words =
        s_checker->Check(SpeechSamplesOf(*take), QString::fromUtf8(c.sentence), error);
    ASSERT_TRUE(words) << error.toStdString();
    QString said;
    for (const CheckedWord& w : *words)
        said += QStringLiteral("%1 %2 %3 | ").arg(w.text, ClarityName(w.clarity)).arg(w.score, 0, 'f', 0);
    const auto allowed = [&](const CheckedWord& w) {
        return std::find(c.allowed.begin(), c.allowed.end(), w.clarity) != c.allowed.end();
    };
    if (c.word < 0) {
        const auto matching = std::count_if(words->begin(), words->end(), allowed);
        // Another sentence may still share a word or two with the right one.
        const bool right = c.allowed == std::vector{Clarity::Clear};
        EXPECT_GE(matching, right ? qsizetype(words->size()) : qsizetype(words->size()) - 2) << said.toStdString();
        return;
    }
    const CheckedWord& word = (*words)[std::size_t(c.word)];
    EXPECT_TRUE(allowed(word)) << said.toStdString();
    if (word.found) {
        EXPECT_LT(word.beginMs, word.endMs);
    }
    // The words beside it are heard as said.
    for (const int n : {c.word - 1, c.word + 1}) {
        if (n >= 0 && std::size_t(n) < words->size()) {
            EXPECT_EQ((*words)[std::size_t(n)].clarity, Clarity::Clear) << said.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Takes, PronunciationCheckCases,
    testing::Values(
        CheckCase{"Right", "Excuse me, is this seat free?", "Excuse me, is this seat free?", -1, {Clarity::Clear}},
        CheckCase{"RightWithNumbers", "The train leaves at 7:45 from platform 2.",
                  "The train leaves at 7:45 from platform 2.", -1, {Clarity::Clear}},
        CheckCase{"Replaced", "Excuse me, is this table free?", "Excuse me, is this seat free?", 4,
                  {Clarity::Unclear, Clarity::Omitted}},
        CheckCase{"LeftOut", "My sister works in a big hospital.", "My sister works in a big new hospital.", 6,
                  {Clarity::Omitted}},
        CheckCase{"AnotherSentence", "The library opens at nine every morning.", "Is your English teacher strict?",
                  -1, {Clarity::SomewhatUnclear, Clarity::Unclear, Clarity::Omitted}}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(PronunciationCheck, RefusesTakesWithoutSpeechAndTextsWithoutWords)
{
    QString error;
    const std::unique_ptr<PronunciationChecker> checker = PronunciationChecker::Open(error);
    if (!checker)
        GTEST_SKIP() << error.toStdString();
    const std::vector<int16_t> silence(kSpeechRate * 2, 0);
    EXPECT_FALSE(checker->Check(silence, QStringLiteral("Good morning."), error));
    EXPECT_TRUE(error.contains(QStringLiteral("no speech"))) << error.toStdString();

    const std::optional<PcmAudio> take = SynthesisedSpeech(QStringLiteral("Good morning."), error, kVoice);
    if (!take)
        GTEST_SKIP() << error.toStdString();
    error.clear();
    EXPECT_FALSE(checker->Check(SpeechSamplesOf(*take), QStringLiteral(" ... !"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("no words"))) << error.toStdString();
}

} // namespace
