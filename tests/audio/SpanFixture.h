#pragma once

// A four-second stereo lesson opened at speed 10 on a mixer that is rendered
// by hand, with the full decode to compare spans with and the span ends
// the lesson audio reports.
#include "AudioTestApp.h"
#include "LessonFixture.h"
#include "SpanRender.h"

#include "audio/LessonAudio.h"
#include "audio/LessonVoice.h"
#include "audio/Mixer.h"
#include "audio/Mp3Decoder.h"
#include "support/MakeMp3.h"
#include "support/RecordingMessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

class SpanFixture : public ::testing::Test {
protected:
    static constexpr int kRate = 44100;

    void SetUp() override
    {
        mp3 = MakeTestMp3(4.0, 2, kRate, 128);
        ASSERT_FALSE(mp3.isEmpty());
        fixture.addLesson(1, mp3);
        reference = LessonFixture::FullDecode(mp3);
        ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
    }

    int64_t frame(int ms) const { return LessonAudio::MsToFrame(ms, kRate); }
    int64_t lengthFrames() const { return static_cast<int64_t>(reference.size() / 2); }

    // Plays 500..3500 ms: 20000 frames at speed 10, which must be an exact
    // copy, 30000 at speed 12, then the rest at speed 8, rendered in blocks
    // of `block` frames. Returns the rest.
    std::vector<float> PlayWithSpeedChangesMidSpan(int block)
    {
        const int64_t first = frame(500);
        audio.PlaySentence(500, 3500, seaContinue);
        const std::vector<float> head = Render(mixer, 20000);
        EXPECT_EQ(MaxDifference(head, Slice(reference, first, first + 19999), head.size()), 0.0f);
        audio.ApplySpeed(12);
        Render(mixer, 30000);
        audio.ApplySpeed(8);
        return RenderUntilStopped(mixer, audio, block);
    }

    // The input frames PlayWithSpeedChangesMidSpan leaves for speed 8.
    double InputLeftAfterFastPart() const { return double(frame(3500) + 1 - frame(500) - 20000) - 30000 * 1.2; }

    // Whatever speed changes come while a span plays, the voice reads the
    // decoder up to the span's last frame and no further.
    void ExpectDecoderReadToSpanEnd(bool keepPitch)
    {
        LessonVoice voice(mixer, Mp3Decoder::open(mp3), &audio);
        voice.setKeepPitch(keepPitch);
        const std::vector<std::vector<int>> changes = {{12}, {8}, {12, 8}, {8, 10}, {12, 10, 8, 12}};
        for (const std::vector<int>& speeds : changes) {
            voice.setSpeed(10);
            voice.playSpan(10000, 150000, 0, seaNone);
            for (int speed : speeds) {
                Render(mixer, 9000);
                voice.setSpeed(speed);
            }
            for (int guard = 0; guard < 1000 && voice.isPlaying(); ++guard)
                Render(mixer, 700);
            EXPECT_FALSE(voice.isPlaying());
            EXPECT_EQ(voice.inputPosition(), 150001);
        }
    }

    RecordingMessages messages;
    ScopedMessages installed{&messages};
    LessonFixture fixture;
    QByteArray mp3;
    std::vector<float> reference;
    Mixer mixer;
    LessonAudio audio{mixer};
    QSignalSpy done{&audio, &LessonAudio::speakDone};
};
