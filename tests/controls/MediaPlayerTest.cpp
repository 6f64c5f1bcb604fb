#include "controls/kznMediaPlayer.h"

#include "audio/Mixer.h"
#include "EventPump.h"
#include "GuiAppEnvironment.h"
#include "WavFixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const auto* const appEnvironment = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

using Result = TMPNotifyResult;

// A player on a mixer the test renders itself, with its notifications logged.
class MediaPlayerTest : public ::testing::Test {
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

} // namespace

TEST_F(MediaPlayerTest, OperationsOnAClosedPlayerRaiseNoDeviceOpen)
{
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"Play", [&] { player.Play(); }},       {"StartRecording", [&] { player.StartRecording(); }},
        {"Stop", [&] { player.Stop(); }},       {"Pause", [&] { player.Pause(); }},
        {"Rewind", [&] { player.Rewind(); }},   {"Next", [&] { player.Next(); }},
        {"Previous", [&] { player.Previous(); }}, {"Step", [&] { player.Step(); }},
        {"Back", [&] { player.Back(); }},       {"Eject", [&] { player.Eject(); }},
        {"Length", [&] { player.Length(); }},   {"TrackCount", [&] { player.TrackCount(); }},
        {"TimeFormat", [&] { player.TimeFormat(); }},
    };
    for (const auto& [name, operation] : operations) {
        SCOPED_TRACE(name);
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const EMCIDeviceError& error) {
            EXPECT_EQ(error.Message(), "No MCI device open");
        }
    }
    // These need no open device.
    EXPECT_NO_THROW(player.Close());
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
    PumpFor(20);
    EXPECT_TRUE(notes.empty());
}

TEST_F(MediaPlayerTest, OpenTakesTheFileOrStartsAnEmptyTake)
{
    const QString stereo = dir.filePath("stereo.wav");
    ASSERT_TRUE(WriteWav(stereo, SF_FORMAT_PCM_16, 2, 16000, Tone(8000, 2, 16000)));
    player.SetFileName(stereo);
    player.Open();
    EXPECT_TRUE(player.Opened());
    EXPECT_EQ(player.Length(), 500);
    EXPECT_EQ(player.Media().channels, 2);
    EXPECT_EQ(player.Media().sampleRate, 16000);
    EXPECT_EQ(player.TrackCount(), 1);
    EXPECT_EQ(player.TimeFormat(), 0);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);

    for (const QString& name : {dir.filePath("tmpwav.wav"), QString()}) {
        SCOPED_TRACE(name.toStdString());
        player.SetFileName(name);
        player.Open();
        EXPECT_EQ(player.Length(), 0);
        EXPECT_EQ(player.Media().channels, 1);
        EXPECT_EQ(player.Media().sampleRate, 22050);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("tmpwav.wav")));
    }
}

TEST_F(MediaPlayerTest, OpenOfAnUnreadableFileRaisesOurMessageAndStaysClosed)
{
    const QString bad = dir.filePath("bad.wav");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF\x10\0\0\0WAVEjunkjunk", 20);
    file.close();
    const QString sixChannels = dir.filePath("six.wav");
    ASSERT_TRUE(WriteWav(sixChannels, SF_FORMAT_PCM_16, 6, 8000, Tone(800, 6, 8000)));

    player.SetFileName(MakeWav("good.wav"));
    player.Open();
    for (const auto& [name, code] : {std::pair{bad, TkznMediaPlayer::ErrUnreadableFile},
                                     std::pair{sixChannels, TkznMediaPlayer::ErrUnsupportedFormat}}) {
        player.SetFileName(name);
        try {
            player.Open();
            ADD_FAILURE() << "opened " << name.toStdString();
        } catch (const EMCIDeviceError& error) {
            EXPECT_EQ(player.LastError(), code);
            EXPECT_EQ(error.Message(), player.ErrorMessage());
            EXPECT_NE(error.Message(), "Unknown error code");
        }
        EXPECT_FALSE(player.Opened());
        EXPECT_TRUE(QFileInfo::exists(name)) << "a file we cannot read is left alone";
    }
}

TEST_F(MediaPlayerTest, PlayFileWithDeleteWhenCloseDeletesEachPreviousFile)
{
    player.SetDeleteFileWhenClose(true);
    const QString first = MakeWav("tmp1.wav");
    const QString second = MakeWav("tmp2.wav");
    player.PlayFile(first);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    player.PlayFile(second);
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    ASSERT_TRUE(WaitForNotes(1));
    EXPECT_EQ(notes.front(), Result::nvAborted) << "closing the first file cut its play short";

    player.CloseAndDeleteFile();
    EXPECT_FALSE(QFileInfo::exists(second));
    EXPECT_FALSE(player.Opened());
    EXPECT_EQ(player.FileName(), second);
}

TEST_F(MediaPlayerTest, PlayFileOfTheLoadedFileFindsItDeleted)
{
    player.SetDeleteFileWhenClose(true);
    const QString word = MakeWav("tmpword.wav");
    player.PlayFile(word);
    try {
        player.PlayFile(word);
        ADD_FAILURE() << "played a deleted file";
    } catch (const EMCIDeviceError&) {
        ADD_FAILURE() << "a missing file is a plain error";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), "文件不存在！");
    }
    EXPECT_FALSE(QFileInfo::exists(word));
    EXPECT_FALSE(player.Opened());
    EXPECT_EQ(player.FileName(), word);

    // Without DeleteFileWhenClose the same call simply plays the file again.
    const QString kept = MakeWav("kept.wav");
    player.SetDeleteFileWhenClose(false);
    player.PlayFile(kept);
    player.PlayFile(kept);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_TRUE(QFileInfo::exists(kept));
}

TEST_F(MediaPlayerTest, DestroyingAnOpenPlayerLeavesItsFile)
{
    const QString word = MakeWav("tmpword.wav");
    {
        TkznMediaPlayer other(nullptr, &mixer);
        other.SetDeleteFileWhenClose(true);
        other.PlayFile(word);
    }
    EXPECT_TRUE(QFileInfo::exists(word));
}

TEST_F(MediaPlayerTest, AutoRewindDecidesWherePlayAtTheEndStarts)
{
    player.SetFileName(MakeWav("word.wav", 100));
    player.Open();
    player.Play();
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(notes.back(), Result::nvSuccessful);
    EXPECT_EQ(player.Position(), player.Length());
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);

    player.Play(); // from the start again
    Render(441);
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_GT(player.Position(), 0);
    EXPECT_LT(player.Position(), player.Length());
    ASSERT_TRUE(PlayToEnd());

    player.SetAutoRewind(false);
    player.Play(); // from the end: over at once
    Render(1);
    ASSERT_TRUE(WaitForNotes(3));
    EXPECT_EQ(notes.back(), Result::nvSuccessful);
    EXPECT_EQ(player.Position(), player.Length());
}

TEST_F(MediaPlayerTest, PendingNotificationIsSupersededOrAborted)
{
    player.SetFileName(MakeWav("word.wav", 100));
    player.Open();

    player.Play();
    player.Play(); // takes over from where the first play is
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(notes, (std::vector{Result::nvSuperseded, Result::nvSuccessful}));

    notes.clear();
    player.Rewind();
    player.Play();
    Render(441);
    player.Stop();
    const int64_t stoppedAt = player.Position();
    EXPECT_GT(stoppedAt, 0);
    Render(4410);
    ASSERT_TRUE(WaitForNotes(1));
    PumpFor(20);
    EXPECT_EQ(notes, (std::vector{Result::nvAborted}));
    EXPECT_EQ(player.Position(), stoppedAt);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);

    // A stop with nothing under way has nothing to abort.
    notes.clear();
    player.Stop();
    player.Play();
    player.Close();
    ASSERT_TRUE(WaitForNotes(1));
    PumpFor(20);
    EXPECT_EQ(notes, (std::vector{Result::nvAborted}));
}

TEST_F(MediaPlayerTest, PauseHoldsThePositionAndResumeGoesOn)
{
    player.SetFileName(MakeWav("word.wav", 100));
    player.Open();
    player.Pause(); // stopped: nothing happens
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);

    player.Play();
    Render(882);
    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    const int64_t heldAt = player.Position();
    Render(4410);
    EXPECT_EQ(player.Position(), heldAt);

    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(notes, (std::vector{Result::nvSuperseded, Result::nvSuccessful}));
    EXPECT_EQ(player.Position(), player.Length());
}

// The program's own output device (SDL's dummy driver here, which keeps real
// time): the completion comes back on the GUI thread.
TEST(MediaPlayerOnDevice, PlayReportsSuccessOnTheGuiThread)
{
    QTemporaryDir dir;
    const QString word = dir.filePath("word.wav");
    ASSERT_TRUE(WriteWav(word, SF_FORMAT_PCM_16, 1, 22050, Tone(2205, 1, 22050)));
    TkznMediaPlayer player;
    std::vector<Result> notes;
    QObject::connect(&player, &TkznMediaPlayer::OnNotify, [&](TkznMediaPlayer* sender) {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        notes.push_back(sender->NotifyResult());
    });
    player.PlayFile(word);
    EXPECT_EQ(player.Length(), 100);
    ASSERT_TRUE(PumpUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector{Result::nvSuccessful}));
    EXPECT_EQ(player.Position(), player.Length());
}
