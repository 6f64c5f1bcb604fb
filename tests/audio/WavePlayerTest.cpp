// The WAV player and recorder on its own: no widget, a core application and
// a mixer the test renders itself.
#include "AudioTestApp.h"

#include "audio/Mixer.h"
#include "audio/WavePlayer.h"
#include "controls/WavFixtures.h"

#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const auto* const wavePlayerApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

using Completion = WavePlayer::Completion;

class WavePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // 100 ms at the mixer's rate.
        ASSERT_TRUE(WriteWav(word, SF_FORMAT_PCM_16, 1, Mixer::kDefaultRate, Tone(4410, 1, Mixer::kDefaultRate)));
    }

    std::vector<float> RenderFrames(int frames)
    {
        std::vector<float> out(size_t(frames) * Mixer::kChannels);
        mixer.render(out.data(), frames);
        return out;
    }

    QTemporaryDir dir;
    const QString word = dir.filePath(QStringLiteral("word.wav"));
    Mixer mixer;
};

} // namespace

TEST_F(WavePlayerTest, PlayToTheEndCompletesFromTheEventLoop)
{
    WavePlayer player(&mixer);
    std::vector<Completion> completions;
    QObject::connect(&player, &WavePlayer::completed, [&](Completion result) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        completions.push_back(result);
    });
    ASSERT_EQ(player.Open(word), WavePlayer::Error::None);
    EXPECT_EQ(player.LengthMs(), 100);
    ASSERT_EQ(player.Play(), WavePlayer::Error::None);
    EXPECT_EQ(player.CurrentState(), WavePlayer::State::Playing);

    RenderFrames(2 * 4410);  // past the end
    EXPECT_TRUE(completions.empty()) << "posted, not delivered inside the mix";
    ASSERT_TRUE(PumpUntil([&] { return !completions.empty(); }));
    EXPECT_EQ(completions, std::vector{Completion::Successful});
    EXPECT_EQ(player.CurrentState(), WavePlayer::State::Stopped);
    EXPECT_EQ(player.PositionMs(), 100);
}

TEST_F(WavePlayerTest, DestroyedPlayerLeavesNoCompletionAndNoVoiceBehind)
{
    int completions = 0;
    {
        WavePlayer player(&mixer);
        QObject::connect(&player, &WavePlayer::completed, [&] { ++completions; });
        ASSERT_EQ(player.Open(word), WavePlayer::Error::None);
        player.Play();
        RenderFrames(441);
        player.Stop();  // an abort is on its way
        player.Play();  // and a play under way
    }
    const std::vector<float> out = RenderFrames(4410);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float s) { return s == 0.0f; }));
    DeliverQueuedCalls();
    EXPECT_EQ(completions, 0);
}
