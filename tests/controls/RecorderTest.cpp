#include "controls/kznMediaPlayer.h"

#include "audio/Mixer.h"
#include "EventPump.h"
#include "GuiAppEnvironment.h"
#include "WavFixtures.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// SDL's disk driver feeds the capture device from a file of raw samples, far
// faster than real time; set before anything opens SDL's audio.
class DiskCaptureEnvironment : public GuiAppEnvironment {
public:
    void SetUp() override
    {
        if (!ForThisRun())
            return;
        ASSERT_TRUE(m_dir.isValid());
        m_input = Tone(4410, 1, 22050);
        QFile raw(m_dir.filePath("capture.raw"));
        ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
        raw.write(reinterpret_cast<const char*>(m_input.data()), qint64(m_input.size() * sizeof(float)));
        raw.close();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(raw.fileName()).constData(), 1);
        setenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_dir.filePath("output.raw")).constData(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
        GuiAppEnvironment::SetUp();
    }

    static const std::vector<float>& Input() { return m_input; }

private:
    QTemporaryDir m_dir;
    static inline std::vector<float> m_input;
};

const auto* const diskCaptureEnvironment = ::testing::AddGlobalTestEnvironment(new DiskCaptureEnvironment);

using Result = TMPNotifyResult;

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        recorder.SetFileName(dir.filePath("tmpwav.wav"));
        QObject::connect(&recorder, &TkznMediaPlayer::OnNotify,
                         [this](TkznMediaPlayer* sender) { notes.push_back(sender->NotifyResult()); });
    }

    void RecordAtLeast(int64_t ms)
    {
        recorder.Open();
        recorder.StartRecording();
        ASSERT_EQ(recorder.LastError(), TkznMediaPlayer::NoError) << recorder.ErrorMessage().toStdString();
        ASSERT_EQ(recorder.Mode(), TMPModes::mpRecording);
        ASSERT_TRUE(PumpUntil([&] { return recorder.Position() >= ms; }));
        recorder.Stop();
    }

    QTemporaryDir dir;
    Mixer mixer;
    TkznMediaPlayer recorder{nullptr, &mixer};
    std::vector<Result> notes;
};

} // namespace

TEST_F(RecorderTest, TakeHoldsWhatTheDeviceCapturedAndPlaysBack)
{
    RecordAtLeast(200);
    EXPECT_EQ(recorder.Mode(), TMPModes::mpStopped);
    EXPECT_GE(recorder.Length(), 200);
    EXPECT_EQ(recorder.Position(), recorder.Length());
    const PcmAudio& take = recorder.Media();
    ASSERT_EQ(take.channels, 1);
    ASSERT_EQ(take.sampleRate, 22050);
    const std::vector<float>& input = DiskCaptureEnvironment::Input();
    ASSERT_GE(take.samples.size(), input.size());
    EXPECT_TRUE(std::equal(input.begin(), input.end(), take.samples.begin()));
    ASSERT_TRUE(PumpUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes, (std::vector{Result::nvAborted}));

    recorder.Rewind();
    recorder.Play();
    EXPECT_EQ(recorder.Mode(), TMPModes::mpPlaying);
    ASSERT_TRUE(PumpUntil([&] {
        std::vector<float> out(2048);
        mixer.render(out.data(), 1024);
        return notes.back() == Result::nvSuccessful;
    }));
    EXPECT_FALSE(QFileInfo::exists(recorder.FileName())) << "the take is never written";
}

TEST_F(RecorderTest, PauseWhileRecordingDoesNothing)
{
    recorder.Open();
    recorder.StartRecording();
    recorder.Pause();
    EXPECT_EQ(recorder.Mode(), TMPModes::mpRecording);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Position() >= 50; }));
    recorder.Stop();
    EXPECT_GE(recorder.Length(), 50);
}

TEST_F(RecorderTest, TakeFollowsTheFileFormatAndLeavesTheFileAlone)
{
    const QString file = recorder.FileName();
    ASSERT_TRUE(WriteWav(file, SF_FORMAT_PCM_16, 2, 16000, Tone(1600, 2, 16000)));
    const QByteArray before = ReadAll(file);

    RecordAtLeast(150);
    EXPECT_EQ(recorder.Media().channels, 2);
    EXPECT_EQ(recorder.Media().sampleRate, 16000);
    EXPECT_GE(recorder.Length(), 150);

    // A second take starts afresh: reopening drops the first. (How long a
    // take runs past its mark depends on the machine's load, so the check is
    // on the reopened media, not on the take's length.)
    recorder.Open();
    EXPECT_EQ(recorder.Length(), 100) << "takes are not added together";
    RecordAtLeast(50);
    recorder.Close();
    EXPECT_EQ(ReadAll(file), before);
}

TEST_F(RecorderTest, PlayWhileRecordingEndsTheTakeAndPlaysIt)
{
    recorder.Open();
    recorder.StartRecording();
    ASSERT_TRUE(PumpUntil([&] { return recorder.Position() >= 50; }));
    recorder.Play();
    EXPECT_EQ(recorder.Mode(), TMPModes::mpPlaying);
    EXPECT_GE(recorder.Length(), 50);
    ASSERT_TRUE(PumpUntil([&] { return !notes.empty(); }));
    EXPECT_EQ(notes.front(), Result::nvSuperseded);
}

TEST_F(RecorderTest, PendingStartPositionRecordsOverTheTakeFromThere)
{
    RecordAtLeast(200);
    const std::vector<float> first = recorder.Media().samples;
    recorder.SetStartPosition(100);
    recorder.StartRecording();
    EXPECT_EQ(recorder.Mode(), TMPModes::mpRecording);
    ASSERT_TRUE(PumpUntil([&] { return recorder.Position() >= 150; }));
    recorder.Stop();
    const std::vector<float>& take = recorder.Media().samples;
    ASSERT_GE(take.size(), 2205u + 1);
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 2205, take.begin())) << "kept before 100 ms";
    EXPECT_EQ(take[2205], DiskCaptureEnvironment::Input()[0]) << "new from 100 ms";
}

TEST_F(RecorderTest, RecordButtonTradesRecordAndPlayForPauseAndStop)
{
    auto press = [&](TMPBtnType button) {
        recorder.SetVisibleButtons({button});
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(&recorder, &space);
    };
    recorder.Open();
    press(TMPBtnType::btRecord);
    EXPECT_EQ(recorder.Mode(), TMPModes::mpRecording);
    using enum TMPBtnType;
    EXPECT_EQ(recorder.ButtonBar().AutoEnabledButtons(), (TButtonSet{btPause, btStop, btNext, btPrev}));
    press(btStop);
    EXPECT_EQ(recorder.Mode(), TMPModes::mpStopped);
    EXPECT_EQ(recorder.ButtonBar().AutoEnabledButtons(), (TButtonSet{btPlay, btRecord, btNext, btPrev}));
}
