// Takes analysed off the GUI thread: only the newest one's result comes back.
#include "analysis/TakeAnalysisRunner.h"
#include "analysis/TakeComparison.h"
#include "audio/AudioTestApp.h"
#include "audio/FinishedTake.h"
#include "support/VoiceSamples.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

const auto* const runnerApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

FinishedTake WordTake(int serial, const QString& word, const PcmAudio& spoken, const PcmAudio& take)
{
    FinishedTake finished;
    finished.serial = serial;
    finished.model.kind = TakeModel::Kind::Word;
    finished.model.text = word;
    finished.model.wordAudio = spoken;
    finished.take = take;
    return finished;
}

} // namespace

TEST(TakeAnalysisRunner, OnlyTheNewestTakesResultComesBack)
{
    QString error;
    const std::optional<PcmAudio> sentence = SynthesisedSpeech(QStringLiteral("Good morning, my friend."), error);
    const std::optional<PcmAudio> word = SynthesisedSpeech(QStringLiteral("morning"), error);
    if (!sentence || !word)
        GTEST_SKIP() << error.toStdString();
    // Long takes, so the older ones are still under way when the newest comes.
    const PcmAudio longTake = Joined(Joined(*sentence, *sentence), Joined(*sentence, *sentence));

    TakeAnalysisRunner runner;
    std::vector<TakeAnalysis> results;
    QObject::connect(&runner, &TakeAnalysisRunner::analysed, [&](const TakeAnalysis& analysis) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        results.push_back(analysis);
    });
    runner.Analyse(WordTake(1, QStringLiteral("friend"), *sentence, longTake));
    runner.Analyse(WordTake(2, QStringLiteral("friend"), *sentence, longTake));
    runner.Analyse(WordTake(3, QStringLiteral("morning"), *word, *word));
    ASSERT_TRUE(PumpUntil([&] { return !results.empty(); }, std::chrono::seconds(60)));
    // One worker: an older result would have come first.
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].serial, 3);
    ASSERT_TRUE(results[0].comparison);
    ASSERT_EQ(results[0].comparison->words.size(), 1u);
    EXPECT_EQ(results[0].comparison->words[0].text, QStringLiteral("morning"));
}
