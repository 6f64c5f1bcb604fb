// Opening, switching and closing lessons: the stream, its temporary MP3 and
// the messages the learner sees.
#include "AudioTestApp.h"
#include "LessonFixture.h"

#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "controls/WavFixtures.h"
#include "support/RecordingMessages.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const auto* const lifecycleApp = ::testing::AddGlobalTestEnvironment(new AudioTestApp);

bool Silent(Mixer& mixer, int frames)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    mixer.render(out.data(), frames);
    return std::all_of(out.begin(), out.end(), [](float x) { return x == 0.0f; });
}

class LessonAudioLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        first = MakeTestMp3(1.5, 2, 44100, 128);
        second = MakeTestMp3(1.0, 1, 44100, 64);
        fixture.addLesson(1, first);
        fixture.addLesson(2, second);
    }

    RecordingMessages messages;
    ScopedMessages installed{&messages};
    LessonFixture fixture;
    QByteArray first;
    QByteArray second;
    Mixer mixer;
};

TEST_F(LessonAudioLifecycleTest, SwitchingLessonsStopsTheSpanSilentlyAndReplacesTheTempFile)
{
    LessonAudio audio(mixer);
    QSignalSpy done(&audio, &LessonAudio::speakDone);
    ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
    const QString firstTemp = audio.lessonAudioFile();
    EXPECT_TRUE(firstTemp.endsWith(QLatin1String(".mp3")));
    EXPECT_EQ(ReadAll(firstTemp), first);

    audio.PlaySentence(100, 300, seaContinue);
    EXPECT_FALSE(Silent(mixer, 2048));
    ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 2, 10));
    EXPECT_FALSE(QFile::exists(firstTemp));
    EXPECT_EQ(ReadAll(audio.lessonAudioFile()), second);
    EXPECT_FALSE(audio.isPlaying());
    EXPECT_TRUE(Silent(mixer, 44100));

    // Even an end that was already queued when the lesson changed is dropped.
    audio.PlaySentence(0, 20, seaContinue);
    mixer.render(std::vector<float>(4096).data(), 2048);
    ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
    DeliverQueuedCalls();
    EXPECT_EQ(done.size(), 0);

    const QString lastTemp = audio.lessonAudioFile();
    audio.CloseLessonAudio();
    EXPECT_FALSE(QFile::exists(lastTemp));
    EXPECT_FALSE(audio.hasStream());
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(LessonAudioLifecycleTest, UnusableLessonsLeaveNoStreamAndSayWhy)
{
    // An MP3 that is no MP3, and a container whose stream breaks off.
    fixture.addLesson(3, QByteArray(5000, '\x55'));
    {
        QFile broken(fixture.dir.filePath(QStringLiteral("qor1/4.qor")));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(PackContainer(first).left(300));
    }
    struct Case {
        int lesson;
        const char* message;
        bool keepsTempFile;
    };
    const Case cases[] = {
        {9, "找不到本课的课文语音文件！", false},
        {4, "找不到本课的课文语音文件！", false},
        {3, "打开课文语音文件出错！", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lesson);
        LessonAudio audio(mixer);
        ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10));
        const QString previousTemp = audio.lessonAudioFile();
        audio.PlaySentence(0, 1000, seaContinue);
        messages.entries.clear();

        EXPECT_FALSE(audio.OpenLessonAudio(fixture.dataDir(), 1, c.lesson, 10));
        ASSERT_EQ(messages.entries.size(), 1u);
        EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Error);
        EXPECT_EQ(messages.entries[0].text, QString::fromUtf8(c.message));
        EXPECT_FALSE(audio.hasStream());
        EXPECT_FALSE(QFile::exists(previousTemp));

        // The sentence buttons now do nothing.
        audio.PlaySentence(0, 1000, seaContinue);
        EXPECT_TRUE(Silent(mixer, 4096));

        // An unplayable file stays recorded until the next open or close.
        const QString temp = audio.lessonAudioFile();
        EXPECT_EQ(!temp.isEmpty() && QFile::exists(temp), c.keepsTempFile);
        audio.CloseLessonAudio();
        EXPECT_FALSE(!temp.isEmpty() && QFile::exists(temp));
    }
}

TEST_F(LessonAudioLifecycleTest, DestroyingTheEngineDeletesItsTempFileAndDropsItsReport)
{
    QString temp;
    {
        LessonAudio audio(mixer);
        ASSERT_TRUE(audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 12));
        temp = audio.lessonAudioFile();
        audio.PlaySentence(0, 10, seaPlayRecording);
        Silent(mixer, 2048);  // the span ends: its report is queued
    }
    EXPECT_FALSE(QFile::exists(temp));
    EXPECT_TRUE(Silent(mixer, 4096));
    DeliverQueuedCalls();  // nothing may reach the destroyed engine
}

TEST_F(LessonAudioLifecycleTest, FramesRoundToTheNearestSampleOfTheNativeRate)
{
    struct Case {
        int64_t ms;
        int rate;
        int64_t frame;
    };
    const Case cases[] = {
        {0, 44100, 0},     {1, 44100, 44},     {10, 44100, 441},   {1, 22050, 22},
        {3, 22050, 66},    {1, 11025, 11},     {2, 11025, 22},     {7, 8000, 56},
        {1, 32000, 32},    {2147483647, 48000, 103079215056}, {-1, 44100, -44},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LessonAudio::MsToFrame(c.ms, c.rate), c.frame) << c.ms << " ms at " << c.rate;
    // Halves round away from zero: 11.025 frames a millisecond at 11,025 Hz.
    EXPECT_EQ(LessonAudio::MsToFrame(20, 11025), 221);  // 220.5
}

} // namespace
