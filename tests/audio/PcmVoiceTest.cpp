// The PCM buffer voice, driven straight from the mixer.
#include "AudioTestApp.h"
#include "SpanRender.h"

#include "audio/Mixer.h"
#include "audio/PcmVoice.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const auto* const pcmVoiceApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

std::vector<float> Ramp(int64_t frames, int channels)
{
    std::vector<float> v(static_cast<size_t>(frames * channels));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = 0.5f * std::sin(0.01f * float(i)) + (i % 2 ? 0.1f : -0.1f);
    return v;
}

std::vector<PcmVoice::End> Ends(QSignalSpy& spy)
{
    DeliverQueuedCalls();
    std::vector<PcmVoice::End> ends;
    for (const QList<QVariant>& args : spy)
        ends.push_back(args.at(0).value<PcmVoice::End>());
    spy.clear();
    return ends;
}

using End = PcmVoice::End;

class PcmVoiceTest : public ::testing::Test {
protected:
    Mixer mixer;
    PcmVoice voice{mixer};
    QSignalSpy finished{&voice, &PcmVoice::finished};
};

TEST_F(PcmVoiceTest, BufferAtTheMixerRatePlaysUntouchedFromTheGivenFrame)
{
    const std::vector<float> stereo = Ramp(3000, 2);
    ASSERT_TRUE(voice.setBuffer(stereo, 2, mixer.rate()));
    ASSERT_TRUE(voice.play(1000));
    const std::vector<float> out = Render(mixer, 2500);
    for (size_t i = 0; i < 4000; ++i)
        ASSERT_EQ(out[i], stereo[2000 + i]) << i;
    for (size_t i = 4000; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f);
    EXPECT_EQ(voice.position(), 3000);
    EXPECT_EQ(Ends(finished), std::vector<End>{End::ReachedEnd});

    // Mono sounds on both sides.
    const std::vector<float> mono = Ramp(500, 1);
    ASSERT_TRUE(voice.setBuffer(mono, 1, mixer.rate()));
    ASSERT_TRUE(voice.play());
    const std::vector<float> both = Render(mixer, 500);
    for (size_t i = 0; i < 500; ++i) {
        ASSERT_EQ(both[2 * i], mono[i]);
        ASSERT_EQ(both[2 * i + 1], mono[i]);
    }
}

TEST_F(PcmVoiceTest, OtherRatesAreResampledToTheMixerLength)
{
    for (const int rate : {8000, 11025, 22050, 48000, 96000}) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(voice.setBuffer(Ramp(rate / 2, 1), 1, rate));  // half a second
        ASSERT_TRUE(voice.play());
        int64_t frames = 0;
        while (voice.isPlaying() && frames < mixer.rate()) {
            Render(mixer, 100);
            frames += 100;
        }
        EXPECT_NEAR(double(frames), mixer.rate() / 2.0, 150.0);
        EXPECT_EQ(voice.position(), rate / 2);
        EXPECT_EQ(Ends(finished), std::vector<End>{End::ReachedEnd});
    }
}

TEST_F(PcmVoiceTest, EveryPlayIsAnsweredOnceInOrder)
{
    ASSERT_TRUE(voice.setBuffer(Ramp(4000, 2), 2, mixer.rate()));
    voice.play();
    Render(mixer, 1000);
    voice.play(500);  // cuts the first play short
    Render(mixer, 1000);
    voice.stop();
    voice.stop();  // nothing left to stop
    EXPECT_EQ(voice.position(), 1500);
    voice.play(3900);
    Render(mixer, 1000);
    voice.play(0);
    voice.setBuffer(Ramp(10, 2), 2, mixer.rate());  // replacing the buffer stops too
    EXPECT_EQ(Ends(finished), (std::vector<End>{End::Stopped, End::Stopped, End::ReachedEnd, End::Stopped}));

    // Starting at the very end finishes at the next render.
    ASSERT_TRUE(voice.play(10));
    Render(mixer, 64);
    EXPECT_EQ(Ends(finished), std::vector<End>{End::ReachedEnd});
}

TEST_F(PcmVoiceTest, PauseHoldsThePositionInSilence)
{
    const std::vector<float> stereo = Ramp(5000, 2);
    ASSERT_TRUE(voice.setBuffer(stereo, 2, mixer.rate()));
    voice.play();
    Render(mixer, 1000);
    voice.pause();
    EXPECT_TRUE(voice.isPaused());
    EXPECT_TRUE(voice.isPlaying());
    const std::vector<float> quiet = Render(mixer, 3000);
    EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [](float x) { return x == 0.0f; }));
    EXPECT_EQ(voice.position(), 1000);
    voice.resume();
    const std::vector<float> rest = Render(mixer, 10);
    EXPECT_EQ(rest[0], stereo[2000]);
    EXPECT_TRUE(Ends(finished).empty());
}

TEST_F(PcmVoiceTest, RefusesWhatItCannotPlay)
{
    EXPECT_FALSE(voice.play());  // no buffer yet
    EXPECT_FALSE(voice.setBuffer(Ramp(10, 3), 3, 44100));
    EXPECT_FALSE(voice.setBuffer(Ramp(10, 1), 0, 44100));
    EXPECT_FALSE(voice.setBuffer(Ramp(10, 1), 1, 999));
    EXPECT_FALSE(voice.setBuffer(Ramp(10, 1), 1, 384001));
    EXPECT_FALSE(voice.setBuffer(std::vector<float>(7), 2, 44100));  // half a frame
    EXPECT_FALSE(voice.hasBuffer());
    ASSERT_TRUE(voice.setBuffer(Ramp(10, 2), 2, 44100));
    EXPECT_FALSE(voice.play(-1));
    EXPECT_FALSE(voice.play(11));
    EXPECT_TRUE(Ends(finished).empty());
}

TEST_F(PcmVoiceTest, VoicesAddUpAndTheSumIsClipped)
{
    PcmVoice other(mixer);
    ASSERT_TRUE(voice.setBuffer(std::vector<float>(200, 0.25f), 1, mixer.rate()));
    ASSERT_TRUE(other.setBuffer(std::vector<float>(400, 0.9f), 2, mixer.rate()));
    voice.play();
    other.play();
    const std::vector<float> out = Render(mixer, 100);
    EXPECT_EQ(out[0], 1.0f);
    voice.stop();
    EXPECT_FLOAT_EQ(Render(mixer, 1)[0], 0.9f);
}

} // namespace
