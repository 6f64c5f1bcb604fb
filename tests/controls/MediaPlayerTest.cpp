#include "controls/kznMediaPlayer.h"

#include "EventPump.h"
#include "GuiAppEnvironment.h"
#include "PlayerFixture.h"
#include "WavFixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const auto* const mediaPlayerApp = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

using MediaPlayerTest = PlayerFixture;

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

TEST_F(MediaPlayerTest, LengthPositionAndModeFollowOpenPlayPauseStopAndTheEnd)
{
    player.SetFileName(MakeWav("word.wav", 100));
    player.Open();
    EXPECT_EQ(player.Length(), 100);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.StepFrames(), 10);
    // What a wave audio device reports.
    EXPECT_TRUE(player.CanPlay());
    EXPECT_TRUE(player.CanRecord());
    EXPECT_FALSE(player.CanStep());
    EXPECT_FALSE(player.CanEject());
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(player.TrackPosition(1), 0);
    EXPECT_EQ(player.LastError(), TkznMediaPlayer::NoError);
    player.TrackPosition(2);
    EXPECT_EQ(player.LastError(), TkznMediaPlayer::ErrPositionOutOfRange);

    player.Play();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    Render(882);
    EXPECT_EQ(player.Position(), 20);
    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
    Render(882);
    EXPECT_EQ(player.Position(), 20);
    player.Stop();
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), 20);
    EXPECT_EQ(player.Length(), 100);

    player.Play();
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(player.Position(), 100);

    player.Close();
    EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
    EXPECT_EQ(player.Position(), 0);
}

TEST_F(MediaPlayerTest, PendingStartPositionIsUsedByOnePlayOnly)
{
    player.SetFileName(MakeWav("word.wav", 100));
    player.Open();
    player.Play();
    ASSERT_TRUE(PlayToEnd());

    // At the end, a pending start wins over the rewind.
    player.SetStartPosition(60);
    player.Play();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    EXPECT_EQ(player.Position(), 60);
    player.Stop();
    player.Play(); // goes on from where it stopped
    EXPECT_EQ(player.Position(), 60);
    player.Stop();

    // Outside the media: nothing plays, and the next Play is an ordinary one.
    player.Rewind();
    for (int64_t outside : {101, -1}) {
        player.SetStartPosition(outside);
        player.Play();
        EXPECT_EQ(player.LastError(), TkznMediaPlayer::ErrPositionOutOfRange);
        EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
        player.Play();
        EXPECT_EQ(player.LastError(), TkznMediaPlayer::NoError);
        EXPECT_EQ(player.Position(), 0);
        player.Stop();
    }
}

TEST_F(MediaPlayerTest, AutoOpenOpensOnceTheCreatorIsDone)
{
    const QString word = MakeWav("word.wav");
    TkznMediaPlayer automatic(nullptr, &mixer);
    automatic.SetFileName(word);
    automatic.SetAutoOpen(true);
    EXPECT_FALSE(automatic.Opened());
    QCoreApplication::processEvents();
    EXPECT_TRUE(automatic.Opened());
    EXPECT_EQ(automatic.Length(), 100);

    // Set later, it only takes note.
    player.SetFileName(word);
    QCoreApplication::processEvents();
    player.SetAutoOpen(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(player.Opened());

    // A failure is reported, not thrown through the event loop.
    TkznMediaPlayer failing(nullptr, &mixer);
    failing.SetFileName(word);
    failing.SetDeviceType(TMPDeviceTypes::dtCDAudio);
    failing.SetAutoOpen(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(failing.Opened());
    EXPECT_EQ(failing.LastError(), TkznMediaPlayer::ErrUnsupportedDevice);
}

TEST_F(MediaPlayerTest, OnlyAutomaticSelectionAndWaveAudioOpenOurFiles)
{
    player.SetFileName(MakeWav("word.wav"));
    for (int type = 0; type <= int(TMPDeviceTypes::dtWaveAudio); ++type) {
        SCOPED_TRACE(type);
        player.Open();
        player.SetDeviceType(TMPDeviceTypes(type));
        EXPECT_TRUE(player.Opened()) << "the type takes effect at the next Open";
        const bool served = player.DeviceType() == TMPDeviceTypes::dtAutoSelect ||
                            player.DeviceType() == TMPDeviceTypes::dtWaveAudio;
        try {
            player.Open();
            EXPECT_TRUE(served);
            EXPECT_TRUE(player.Opened());
        } catch (const EMCIDeviceError& error) {
            EXPECT_FALSE(served);
            EXPECT_EQ(player.LastError(), TkznMediaPlayer::ErrUnsupportedDevice);
            EXPECT_EQ(error.Message(), player.ErrorMessage());
            EXPECT_FALSE(player.Opened()) << "the open device was closed first";
        }
        player.SetDeviceType(TMPDeviceTypes::dtAutoSelect);
    }
}

TEST_F(MediaPlayerTest, DisplayIsForgottenWhenItGoes)
{
    auto display = std::make_unique<QWidget>();
    player.SetDisplay(display.get());
    EXPECT_EQ(player.Display(), display.get());
    display.reset();
    EXPECT_EQ(player.Display(), nullptr);
}
