// The real output path on SDL's dummy driver: the callback thread mixes and
// every completion reaches the GUI thread through the event loop.
#include "AudioTestApp.h"
#include "LessonFixture.h"

#include "audio/AudioDevice.h"
#include "audio/LessonAudio.h"
#include "audio/PcmVoice.h"
#include "support/RecordingMessages.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

const auto* const deviceApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

TEST(AudioDeviceTest, SpanEndReachesTheGuiThread)
{
    RecordingMessages messages;
    ScopedMessages installed(&messages);
    LessonFixture fixture;
    fixture.addLesson(1, MakeTestMp3(1.0, 2, 44100, 128));

    LessonAudio audio;
    ASSERT_TRUE(audio.InitAudio());
    ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 12));
    std::vector<int> actions;
    QThread* deliveredOn = nullptr;
    QObject::connect(&audio, &LessonAudio::speakDone, [&](int action) {
        actions.push_back(action);
        deliveredOn = QThread::currentThread();
    });
    audio.PlaySentence(100, 250, seaPlayRecording);
    ASSERT_TRUE(PumpUntil([&] { return !actions.empty(); }));
    EXPECT_EQ(actions, std::vector<int>{seaPlayRecording});
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());
    EXPECT_TRUE(messages.entries.empty());
}

TEST(AudioDeviceTest, SilentDevicePausesAndWakesForTheNextSound)
{
    AudioDevice* device = AudioDevice::shared();
    ASSERT_NE(device, nullptr);
    PcmVoice voice(device->mixer());
    ASSERT_TRUE(voice.setBuffer(std::vector<float>(22050, 0.1f), 1, 22050));
    ASSERT_TRUE(PumpUntil([&] { return device->paused(); }, std::chrono::milliseconds(4 * AudioDevice::kIdlePauseMs)));

    std::vector<PcmVoice::End> ends;
    QObject::connect(&voice, &PcmVoice::finished, [&](PcmVoice::End end) { ends.push_back(end); });
    ASSERT_TRUE(voice.play());
    EXPECT_FALSE(device->paused());
    ASSERT_TRUE(PumpUntil([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<PcmVoice::End>{PcmVoice::End::ReachedEnd});
    EXPECT_EQ(voice.position(), 22050);
}

TEST(AudioDeviceTest, PcmVoiceOnTheSharedDeviceFinishesOnTheGuiThread)
{
    AudioDevice* device = AudioDevice::shared();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device, AudioDevice::shared());
    PcmVoice voice(device->mixer());
    std::vector<PcmVoice::End> ends;
    QThread* deliveredOn = nullptr;
    QObject::connect(&voice, &PcmVoice::finished, [&](PcmVoice::End end) {
        ends.push_back(end);
        deliveredOn = QThread::currentThread();
    });
    ASSERT_TRUE(voice.setBuffer(std::vector<float>(2205, 0.1f), 1, 22050));
    ASSERT_TRUE(voice.play());
    ASSERT_TRUE(PumpUntil([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<PcmVoice::End>{PcmVoice::End::ReachedEnd});
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(voice.position(), 2205);

    // Stopped while the callback keeps running.
    ASSERT_TRUE(voice.setBuffer(std::vector<float>(441000, 0.1f), 1, 44100));
    ASSERT_TRUE(voice.play());
    voice.stop();
    ASSERT_TRUE(PumpUntil([&] { return ends.size() == 2; }));
    EXPECT_EQ(ends.back(), PcmVoice::End::Stopped);
}

} // namespace
