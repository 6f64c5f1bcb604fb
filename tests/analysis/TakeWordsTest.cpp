// The take's words and the model's as the speech recogniser finds them.
#include "analysis/TakeWords.h"
#include "analysis/WordPlacement.h"
#include "speech/SpeechDecoder.h"
#include "support/VoiceSamples.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// "Good morning", a long pause, "my friend": spread by length, "my" would
// fall in the pause; found, it lies in the speech after it.
TEST(TakeWords, ModelWordsLieWhereTheyAreSpokenAndTheTakesAreJudged)
{
    if (!SpeechDecoder::ModelInstalled())
        GTEST_SKIP() << "the speech model is not installed";
    QString error;
    const std::optional<PcmAudio> first = SynthesisedSpeech(QStringLiteral("Good morning"), error);
    const std::optional<PcmAudio> second = SynthesisedSpeech(QStringLiteral("my friend"), error);
    const std::optional<PcmAudio> other = SynthesisedSpeech(QStringLiteral("Good night, my friend."), error,
                                                            QStringLiteral("en-us+f3"));
    if (!first || !second || !other)
        GTEST_SKIP() << error.toStdString();
    const PcmAudio pause = Joined(SilenceLike(*first), SilenceLike(*first));
    const PcmAudio model = Joined(Joined(*first, pause), *second);
    const double secondStarts = double(first->Frames() + pause.Frames()) / model.sampleRate;
    const QString text = QStringLiteral("Good morning, my friend.");

    TakeWordChecker checker;
    const TakeWordCheck right = checker.Check(model, model, text, 30.0);
    ASSERT_EQ(right.modelWords.size(), 4u) << right.note.toStdString();
    const QStringList expected = {QStringLiteral("Good"), QStringLiteral("morning"), QStringLiteral("my"),
                                  QStringLiteral("friend")};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(right.modelWords[i].text, expected[qsizetype(i)]);
        EXPECT_LT(right.modelWords[i].begin, right.modelWords[i].end);
    }
    EXPECT_LT(right.modelWords[1].end, double(first->Frames()) / model.sampleRate + 0.1);
    EXPECT_GT(right.modelWords[2].begin, secondStarts - 0.1);
    const std::vector<PlacedWord> spread = SpreadWordsByLength(expected, 0.0, double(model.Frames()) / model.sampleRate);
    EXPECT_LT(spread[2].begin, secondStarts - 0.3);  // what the recogniser spares the learner
    ASSERT_EQ(right.words.size(), 4u);
    for (const TakeWord& w : right.words) {
        EXPECT_EQ(w.clarity, Clarity::Clear) << w.text.toStdString();
        EXPECT_TRUE(w.inModel);
    }
    EXPECT_TRUE(right.note.isEmpty());

    // Another speaker says another word in place of "morning".
    const TakeWordCheck replaced = checker.Check(model, *other, text, 30.0);
    ASSERT_EQ(replaced.words.size(), 4u) << replaced.note.toStdString();
    EXPECT_NE(replaced.words[1].clarity, Clarity::Clear);
    EXPECT_EQ(replaced.words[3].clarity, Clarity::Clear);
    EXPECT_GT(replaced.words[3].takeBegin, 0.3);

    // Silence holds no words to judge.
    const TakeWordCheck silent = checker.Check(model, SilenceLike(model), text, 30.0);
    EXPECT_TRUE(silent.words.empty());
    EXPECT_FALSE(silent.note.isEmpty());
}

TEST(TakeWords, AMissingSpeechModelIsSaidOnceAndNothingElseIsLost)
{
    QString error;
    const std::optional<PcmAudio> spoken = SynthesisedSpeech(QStringLiteral("Good morning"), error);
    if (!spoken)
        GTEST_SKIP() << error.toStdString();
    const QByteArray kept = qgetenv("VELTRA_SPEECH_MODEL");
    qputenv("VELTRA_SPEECH_MODEL", "/nonexistent/speech-model");
    TakeWordChecker checker;
    const TakeWordCheck first = checker.Check(*spoken, *spoken, QStringLiteral("Good morning"), 30.0);
    const TakeWordCheck next = checker.Check(*spoken, *spoken, QStringLiteral("Good morning"), 30.0);
    if (kept.isNull())
        qunsetenv("VELTRA_SPEECH_MODEL");
    else
        qputenv("VELTRA_SPEECH_MODEL", kept);
    EXPECT_TRUE(first.note.contains(QStringLiteral("pocketsphinx-en-us"))) << first.note.toStdString();
    EXPECT_TRUE(first.words.empty() && first.modelWords.empty());
    EXPECT_TRUE(next.note.isEmpty());
}

// The learner's next take reads the same sentence: a model whose placing
// was stopped must be placed then, not taken as one without words.
TEST(TakeWords, AStoppedCheckLeavesTheModelToBePlacedAgain)
{
    if (!SpeechDecoder::ModelInstalled())
        GTEST_SKIP() << "the speech model is not installed";
    QString error;
    const std::optional<PcmAudio> spoken = SynthesisedSpeech(QStringLiteral("Good morning"), error);
    if (!spoken)
        GTEST_SKIP() << error.toStdString();
    TakeWordChecker checker;
    std::stop_source stop;
    stop.request_stop();
    const QString text = QStringLiteral("Good morning");
    const TakeWordCheck stopped = checker.Check(*spoken, *spoken, text, 30.0, stop.get_token());
    EXPECT_TRUE(stopped.words.empty());
    const TakeWordCheck next = checker.Check(*spoken, *spoken, text, 30.0);
    EXPECT_EQ(next.modelWords.size(), 2u) << next.note.toStdString();
    EXPECT_EQ(next.words.size(), 2u);
}

} // namespace
