// What a finished take is compared with: the model's sound and the last take.
#include "audio/FinishedTake.h"
#include "audio/LessonAudio.h"
#include "audio/Mp3Span.h"

#include "LessonFixture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 22050;

TEST(TakeModelTest, SentenceSpanDecodesAsTheLessonAudioBoundsIt)
{
    const QByteArray mp3 = MakeTestMp3(2.0, 1, kRate, 64);
    const std::vector<float> all = LessonFixture::FullDecode(mp3);
    ASSERT_FALSE(all.empty());
    const auto frame = [](int ms) { return std::size_t(LessonAudio::MsToFrame(ms, kRate)); };

    struct Case {
        int begin, end;
        std::size_t first, last;  // inclusive, in frames of the full decode
    };
    const Case cases[] = {
        {500, 1200, frame(500), frame(1200)},
        {1500, 0, frame(1500), all.size() - 1},      // no end: on to the recording's end
        {-300, 400, 0, frame(400)},                   // clamped at the start
        {1800, 9000, frame(1800), all.size() - 1},    // and at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.begin << ".." << c.end);
        const std::optional<PcmAudio> span = DecodeMp3Span(mp3, c.begin, c.end);
        ASSERT_TRUE(span);
        EXPECT_EQ(span->channels, 1);
        EXPECT_EQ(span->sampleRate, kRate);
        ASSERT_EQ(span->samples.size(), c.last - c.first + 1);
        // A seek primes the decoder with the frames before, not bit for bit.
        float worst = 0;
        for (std::size_t i = 0; i < span->samples.size(); ++i)
            worst = std::max(worst, std::fabs(span->samples[i] - all[c.first + i]));
        EXPECT_LT(worst, 1e-4f);
    }
    EXPECT_FALSE(DecodeMp3Span(QByteArray("not an mp3 at all"), 0, 100));
}

TEST(TakeModelTest, ModelSoundIsTheSpanOrTheWordOrNothing)
{
    TakeModel sentence;
    EXPECT_FALSE(ModelAudio(sentence)) << "a lesson without a recording";
    sentence.lessonMp3 = MakeTestMp3(1.0, 2, kRate, 64);
    sentence.beginMs = 100;
    sentence.endMs = 600;
    const std::optional<PcmAudio> span = ModelAudio(sentence);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->channels, 2);
    EXPECT_NEAR(double(span->Frames()) / kRate, 0.5, 0.001);

    TakeModel word;
    word.kind = TakeModel::Kind::Word;
    EXPECT_FALSE(ModelAudio(word)) << "a word that could not be opened";
    word.wordAudio = {1, kRate, std::vector<float>(4410, 0.25f)};
    const std::optional<PcmAudio> sound = ModelAudio(word);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, word.wordAudio.samples);
}

TEST(TakeModelTest, LastTakeJoinsEachEndedTakeToItsModel)
{
    LastTake takes;
    QSignalSpy changed(&takes, &LastTake::changed);
    EXPECT_EQ(takes.Last().serial, 0);

    TakeModel first;
    first.text = QStringLiteral("Good morning.");
    takes.TakeStarted(first);
    EXPECT_EQ(changed.count(), 0) << "a take that has only started is not shown";
    takes.TakeEnded({1, kRate, {0.1f, 0.2f}});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(takes.Last().serial, 1);
    EXPECT_EQ(takes.Last().model.text, first.text);
    EXPECT_EQ(takes.Last().take.samples, (std::vector<float>{0.1f, 0.2f}));

    TakeModel second;
    second.kind = TakeModel::Kind::Word;
    second.text = QStringLiteral("morning");
    takes.TakeStarted(second);
    takes.TakeEnded({1, kRate, {0.3f}});
    EXPECT_EQ(takes.Last().serial, 2);
    EXPECT_EQ(takes.Last().model.kind, TakeModel::Kind::Word);
    EXPECT_EQ(takes.Last().model.text, second.text);
}

} // namespace
