#pragma once

#include "controls/kznMediaPlayer.h"

#include "audio/Mixer.h"
#include "EventPump.h"
#include "WavFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using Result = TMPNotifyResult;

// A player on a mixer the test renders itself, with its notifications logged.
class PlayerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&player, &TkznMediaPlayer::OnNotify, [this](TkznMediaPlayer* sender) {
            EXPECT_EQ(sender, &player);
            notes.push_back(sender->NotifyResult());
        });
    }

    // A 16-bit mono WAV of `ms` milliseconds at 44,100 Hz (the mixer's rate).
    QString MakeWav(const QString& name, int ms = 100)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(WriteWav(path, SF_FORMAT_PCM_16, 1, 44100, Tone(44100 * ms / 1000, 1, 44100)));
        return path;
    }

    void Render(int frames)
    {
        std::vector<float> out(size_t(frames) * Mixer::kChannels);
        mixer.render(out.data(), frames);
    }

    // Renders until the play has ended and its notification has come.
    bool PlayToEnd()
    {
        const size_t before = notes.size();
        return PumpUntil([&] {
            Render(1024);
            return std::find(notes.begin() + before, notes.end(), Result::nvSuccessful) != notes.end();
        });
    }

    bool WaitForNotes(size_t count)
    {
        return PumpUntil([&] { return notes.size() >= count; });
    }

    QTemporaryDir dir;
    Mixer mixer;
    TkznMediaPlayer player{nullptr, &mixer};
    std::vector<Result> notes;
};

