#include "audio/WordReading.h"
#include "audio/TempFolder.h"
#include "audio/WordSpeaker.h"

#include "audio/Container.h"
#include "ReadingFakes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Word containers of book 1 in a data folder of their own, and a temporary
// folder of their own so the test can count what is left in it.
class WordReadingTest : public ::testing::Test {
protected:
    WordReadingTest()
        : player(log), speaker(player, dataDir.path()), reading(words, speaker, timer, [] { return 1; })
    {
        m_oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tempDir.path().toUtf8());
        QDir(dataDir.path()).mkdir(QStringLiteral("qor1"));
        for (int id : {11, 12, 13})
            WriteContainer(id, QByteArray("RIFF-word-") + QByteArray::number(id));
        FillWords(words, {11, 12, 13});
    }
    ~WordReadingTest() override
    {
        player.CloseAndDelete();
        qputenv("TMPDIR", m_oldTmp);
    }

    void WriteContainer(int id, const QByteArray& audio)
    {
        QFile f(dataDir.filePath(QStringLiteral("qor1/%1.qow").arg(id)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(PackContainer(audio));
    }
    QStringList TempWavs() const
    {
        return QDir(ProgramTempFolder()).entryList({QStringLiteral("tmp*.wav")}, QDir::Files);
    }
    QByteArray OpenContent() const
    {
        QFile f(player.open);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dataDir;
    QTemporaryDir tempDir;
    CallLog log;
    TLessonDataSet words;
    FakeWordPlayer player;
    FakeTimer timer;
    WordSpeaker speaker;
    WordReading reading;

private:
    QByteArray m_oldTmp;
};

TEST_F(WordReadingTest, ContinuousReadingWrapsAndKeepsOneTemporaryFile)
{
    words.Last();
    ASSERT_TRUE(reading.Start());
    EXPECT_TRUE(timer.active);
    EXPECT_EQ(OpenContent(), "RIFF-word-13");
    reading.TimerStep();
    EXPECT_EQ(words.RecNo(), 0);
    EXPECT_EQ(OpenContent(), "RIFF-word-11");
    for (int i = 0; i < 20; ++i) {
        reading.TimerStep();
        EXPECT_EQ(TempWavs().size(), 1);
    }
    EXPECT_EQ(words.RecNo(), 2);
    EXPECT_EQ(log.calls.count(QStringLiteral("play word")), 22);

    // Stopping disarms the timer and leaves the word playing.
    log.Take();
    reading.Stop();
    EXPECT_FALSE(timer.active);
    EXPECT_TRUE(log.calls.isEmpty());
    player.CloseAndDelete();
    EXPECT_TRUE(TempWavs().isEmpty());
}

TEST_F(WordReadingTest, MissingContainerFailsOnceAndLeavesNoFile)
{
    ASSERT_TRUE(reading.SpeakCurrent());
    ASSERT_EQ(TempWavs().size(), 1);
    QFile::remove(dataDir.filePath(QStringLiteral("qor1/12.qow")));
    QByteArray damaged = PackContainer(QByteArray(4000, 'w'));
    damaged.truncate(12);
    QFile f(dataDir.filePath(QStringLiteral("qor1/13.qow")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(damaged);
    f.close();
    for (int row : {1, 2}) {
        words.MoveTo(row);
        log.Take();
        try {
            reading.SpeakCurrent();
            ADD_FAILURE() << "row " << row << " spoke";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "文件不存在！");
        }
        EXPECT_EQ(log.Take(), QStringList{"open"});
        EXPECT_TRUE(TempWavs().isEmpty()) << "row " << row;
    }
}

TEST_F(WordReadingTest, AFailingStepThrowsToTheTimerAndAFailingStartStaysIdle)
{
    QFile::remove(dataDir.filePath(QStringLiteral("qor1/12.qow")));
    ASSERT_TRUE(reading.Start());
    EXPECT_THROW(reading.TimerStep(), std::runtime_error);
    EXPECT_TRUE(reading.Running());  // halted on the word, until the learner stops it
    reading.Stop();

    EXPECT_THROW(reading.Start(), std::runtime_error);  // row 12 is current now
    EXPECT_FALSE(reading.Running());
    EXPECT_FALSE(timer.active);
}

TEST_F(WordReadingTest, EmptyListSpeaksNothing)
{
    FillWords(words, {});
    EXPECT_FALSE(reading.SpeakCurrent());
    EXPECT_FALSE(reading.OpenCurrent());
    EXPECT_FALSE(reading.Start());
    EXPECT_FALSE(reading.Running());
    EXPECT_TRUE(log.calls.isEmpty());
}

TEST_F(WordReadingTest, ContainersAreFoundWhateverTheirCase)
{
    QDir(dataDir.path()).rename(QStringLiteral("qor1"), QStringLiteral("QOR1"));
    QDir(dataDir.filePath(QStringLiteral("QOR1"))).rename(QStringLiteral("12.qow"), QStringLiteral("12.QOW"));
    EXPECT_TRUE(speaker.WordContainerExists(1, 12));
    EXPECT_FALSE(speaker.WordContainerExists(2, 12));
    speaker.SpeakWord(1, 12);
    EXPECT_EQ(OpenContent(), "RIFF-word-12");
    speaker.PlayWordContainer(dataDir.filePath(QStringLiteral("QOR1/11.qow")));
    EXPECT_EQ(OpenContent(), "RIFF-word-11");
    EXPECT_EQ(TempWavs().size(), 1);
}

}  // namespace
