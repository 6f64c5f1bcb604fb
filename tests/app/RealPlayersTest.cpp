#include "app/ReadingAdapters.h"
#include "audio/TempFolder.h"
#include "audio/Container.h"
#include "audio/FollowReading.h"
#include "audio/Mixer.h"
#include "audio/WordSpeaker.h"
#include "controls/EventPump.h"
#include "controls/GuiAppEnvironment.h"
#include "controls/WavFixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const auto* const realPlayersApp = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

// Word speaking and follow-reading on the program's own players, over a
// mixer the test renders itself, in a data folder and a temporary folder of
// their own.
class RealPlayersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tempDir.path().toUtf8());
        QDir(dataDir.path()).mkdir(QStringLiteral("qor2"));
        for (int id = 1; id <= 20; ++id) {
            const QString wav = tempDir.filePath(QStringLiteral("source.wav"));
            ASSERT_TRUE(WriteWav(wav, SF_FORMAT_PCM_16, 1, 22050, Tone(2205 * (1 + id % 3), 1, 22050)));
            QFile container(dataDir.filePath(QStringLiteral("qor2/%1.qow").arg(id)));
            ASSERT_TRUE(container.open(QIODevice::WriteOnly));
            container.write(PackContainer(ReadAll(wav)));
            QFile::remove(wav);
        }
        mpWord.SetDeleteFileWhenClose(true);
    }
    void TearDown() override { qputenv("TMPDIR", m_oldTmp); }

    QStringList TempWavs() const
    {
        return QDir(ProgramTempFolder()).entryList({QStringLiteral("tmp*.wav")}, QDir::Files);
    }

    QTemporaryDir dataDir;
    QTemporaryDir tempDir;
    Mixer mixer;
    TkznMediaPlayer mpWord{nullptr, &mixer};
    TkznMediaPlayer mpFellow{nullptr, &mixer};
    MediaWordPlayer wordPlayer{mpWord};
    MediaTakeRecorder recorder{mpFellow};
    WordSpeaker speaker{wordPlayer, dataDir.path()};

private:
    QByteArray m_oldTmp;
};

TEST_F(RealPlayersTest, TwentyWordsLeaveOneTemporaryFileAndNoneAfterClose)
{
    for (int id = 1; id <= 20; ++id) {
        speaker.SpeakWord(2, id);
        ASSERT_EQ(TempWavs().size(), 1) << "word " << id;
    }
    speaker.PlayWordContainer(dataDir.filePath(QStringLiteral("qor2/3.qow")));
    EXPECT_EQ(TempWavs().size(), 1);
    mpWord.CloseAndDeleteFile();
    EXPECT_TRUE(TempWavs().isEmpty());
}

// SDL's dummy driver always offers a capture device; the disk driver
// without its input file offers none that opens, like a machine without a
// microphone.
TEST_F(RealPlayersTest, TakeWithoutCaptureDeviceFailsAndLeavesThePageIdle)
{
    const QByteArray oldDriver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", tempDir.filePath(QStringLiteral("no-microphone.raw")).toUtf8());
    FollowReading follow(recorder, TakeFilePath(dataDir.path()));
    try {
        follow.StartTake();
        ADD_FAILURE() << "a take started without a capture device";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "没有找到录音设备，无法跟读！");
    }
    qputenv("SDL_AUDIODRIVER", oldDriver);
    qunsetenv("SDL_DISKAUDIOFILEIN");
    EXPECT_FALSE(follow.Recording());
    EXPECT_FALSE(follow.CanCompare());
    EXPECT_NE(mpFellow.Mode(), TMPModes::mpRecording);
}

TEST_F(RealPlayersTest, MissingWordFailsOnceAndLeavesNothingOpen)
{
    speaker.SpeakWord(2, 1);
    try {
        speaker.SpeakWord(2, 99);
        FAIL() << "a missing word spoke";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "文件不存在！");
    }
    EXPECT_TRUE(TempWavs().isEmpty());
    EXPECT_FALSE(mpWord.Opened());
    EXPECT_THROW(speaker.PlayModel(), EMCIDeviceError);
}

TEST_F(RealPlayersTest, TakesNeverTouchTheTakeFile)
{
    // A 16-bit stereo file at 16 kHz: takes are recorded in its format.
    const QString take = TakeFilePath(dataDir.path());
    EXPECT_EQ(take, QDir(dataDir.path()).filePath(QStringLiteral("tmpwav.wav")));
    ASSERT_TRUE(WriteWav(take, SF_FORMAT_PCM_16, 2, 16000, Tone(1600, 2, 16000)));
    const QByteArray before = ReadAll(take);
    FollowReading follow(recorder, take);
    for (int i = 0; i < 2; ++i) {
        follow.StartTake();
        PumpFor(60);
        follow.StopTake();
        EXPECT_EQ(mpFellow.Media().channels, 2);
        EXPECT_EQ(mpFellow.Media().sampleRate, 16000);
    }
    EXPECT_EQ(ReadAll(take), before);

    // Without the file the recorder falls back to its own format and still
    // creates nothing.
    QFile::remove(take);
    follow.StartTake();
    PumpFor(60);
    follow.EndTakeSilently();
    EXPECT_EQ(mpFellow.Media().channels, 1);
    EXPECT_FALSE(QFile::exists(take));
}

}  // namespace
