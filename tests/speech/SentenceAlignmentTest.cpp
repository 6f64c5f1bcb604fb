// Sentence times found in recordings made for the test: each sentence
// spoken by espeak-ng, laid out with known pauses (and noise), so where
// every sentence's sound lies is known to the sample.
#include "SpeechSynthesizer.h"
#include "speech/SentenceAlignment.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"
#include "support/MakeMp3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace {

constexpr int kPerMs = kSpeechRate / 1000;

struct RecordingCase {
    const char* name;
    QStringList text;              // the sentences given to the aligner
    std::vector<bool> spoken = {}; // which of them the recording holds (all when empty)
    int pauseMs = 400;             // silence between two spoken sentences
    int noiseBeforeMs = 0;         // hiss before the first sentence
    bool toneInPauses = false;     // a 300 ms tone in the middle of each pause
    bool refused = false;          // the text does not belong to the recording
    QStringList recordingText = {};  // what is spoken instead of `text`, when set
};

struct SoundSpan {
    int beginMs;
    int endMs;
};

// Where `pcm` is louder than a whisper, first to last.
SoundSpan SoundOf(const std::vector<int16_t>& pcm)
{
    std::size_t first = 0;
    std::size_t last = pcm.size();
    while (first < pcm.size() && std::abs(pcm[first]) < 300)
        ++first;
    while (last > first && std::abs(pcm[last - 1]) < 300)
        --last;
    return {int(first / kPerMs), int(last / kPerMs)};
}

struct Recording {
    std::vector<int16_t> pcm;
    std::vector<SoundSpan> sentences;  // one per spoken sentence
};

Recording Record(const RecordingCase& c, QString& error)
{
    const QStringList& said = c.recordingText.isEmpty() ? c.text : c.recordingText;
    QStringList texts;
    for (qsizetype s = 0; s < said.size(); ++s)
        if (c.spoken.empty() || c.spoken[s])
            texts << said[s];
    Recording r;
    const auto voices = SpeechSynthesizer().speak(texts, error);
    if (!voices)
        return r;
    std::mt19937 random(7);
    std::normal_distribution<float> hiss(0, 250);
    const auto silence = [&r](int ms) { r.pcm.insert(r.pcm.end(), std::size_t(ms) * kPerMs, 0); };
    const auto noise = [&](int ms) {
        for (int i = 0; i < ms * kPerMs; ++i)
            r.pcm.push_back(int16_t(hiss(random)));
    };
    const auto tone = [&r](int ms) {
        for (int i = 0; i < ms * kPerMs; ++i)
            r.pcm.push_back(int16_t(6000 * std::sin(2 * M_PI * 880 * i / kSpeechRate)));
    };
    noise(c.noiseBeforeMs);
    silence(300);
    for (std::size_t v = 0; v < voices->size(); ++v) {
        if (v > 0) {
            if (c.toneInPauses) {
                silence((c.pauseMs - 300) / 2);
                tone(300);
                silence(c.pauseMs - 300 - (c.pauseMs - 300) / 2);
            } else {
                silence(c.pauseMs);
            }
        }
        const MonoPcm& voice = (*voices)[v];
        PcmAudio audio{1, voice.sampleRate, {}};
        for (int16_t s : voice.samples)
            audio.samples.push_back(float(s) / 32768.0f);
        const std::vector<int16_t> sentence = SpeechSamplesOf(audio);
        const SoundSpan sound = SoundOf(sentence);
        const int at = int(r.pcm.size() / kPerMs);
        r.sentences.push_back({at + sound.beginMs, at + sound.endMs});
        // Only the voiced part, so that the pauses are exactly as long as asked.
        r.pcm.insert(r.pcm.end(), sentence.begin() + sound.beginMs * kPerMs, sentence.begin() + sound.endMs * kPerMs);
        r.sentences.back() = {at, at + sound.endMs - sound.beginMs};
    }
    silence(500);
    return r;
}

const RecordingCase kRecordings[] = {
    {.name = "OneALineShortPauses",
     .text = {"It is seven o'clock.", "Is the classroom open?", "No, it is closed today.", "Then we must wait outside."},
     .pauseMs = 250},
    {.name = "LongPausesAndCommas",
     .text = {"When the bell rang, the children ran out of the classroom.", "The teacher, who was tired, sat down.",
              "After a while, she opened her book and began to read."},
     .pauseMs = 1800},
    {.name = "AbbreviationsNumbersAndQuotes",
     .text = {"Mr. Black said, \"It costs 25 pounds.\"", "Mrs. Green bought 3 apples and 12 eggs.",
              "Dr. Lee met them at 9 o'clock."},
     .pauseMs = 500},
    {.name = "WordsNoDictionaryKnows",
     .text = {"Zorbath and Quillen sailed to Marrowdene.", "Veltrakin waited for them at the harbour."}},
    {.name = "NoiseBeforeAndTonesBetween",
     .text = {"The train was late again this morning.", "Nobody on the platform said a word.",
              "At last it arrived, full of people."},
     .pauseMs = 1500,
     .noiseBeforeMs = 800,
     .toneInPauses = true},
    {.name = "SentenceNotInTheRecording",
     .text = {"My brother has a new bicycle.", "He rides it to school every day.", "Yesterday it rained all day long.",
              "He came home wet but happy."},
     .spoken = {true, true, false, true},
     .pauseMs = 600},
    {.name = "TextOfAnotherRecording",
     .text = {"Please close the window, it is cold.", "Where did you put my umbrella?"},
     .refused = true,
     .recordingText = {"Seventeen elephants marched slowly through the desert sand.",
                       "Nobody could count all the stars that night."}},
};

class AlignedRecording : public testing::TestWithParam<RecordingCase> {};

TEST_P(AlignedRecording, SpansHoldTheirSentenceAndNoNeighbour)
{
    const RecordingCase& c = GetParam();
    QString error;
    const Recording recording = Record(c, error);
    ASSERT_FALSE(recording.pcm.empty()) << error.toStdString();
    const auto decoder = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstSearch, error);
    ASSERT_TRUE(decoder) << error.toStdString();

    const auto result = AlignSentences(recording.pcm, c.text, *decoder, error);
    if (c.refused) {
        EXPECT_FALSE(result);
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    ASSERT_TRUE(result) << error.toStdString();
    ASSERT_EQ(result->sentences.size(), std::size_t(c.text.size()));
    std::size_t heard = 0;
    for (qsizetype s = 0; s < c.text.size(); ++s) {
        const SentenceTiming& t = result->sentences[s];
        SCOPED_TRACE(testing::Message() << "sentence " << s + 1 << " " << t.beginMs << "-" << t.endMs);
        EXPECT_LT(t.beginMs, t.endMs);
        if (!c.spoken.empty() && !c.spoken[s]) {
            EXPECT_TRUE(t.uncertain());
            continue;
        }
        const SoundSpan truth = recording.sentences[heard];
        EXPECT_FALSE(t.uncertain()) << t.confidence;
        // The whole sentence, a breath of silence before it, none of the
        // neighbours' speech.
        EXPECT_LE(t.beginMs, truth.beginMs);
        EXPECT_GE(t.beginMs, truth.beginMs - 120);
        EXPECT_GE(t.endMs, truth.endMs);
        EXPECT_LE(t.endMs, truth.endMs + 450);
        if (heard > 0) {
            EXPECT_GE(t.beginMs, recording.sentences[heard - 1].endMs);
        }
        if (heard + 1 < recording.sentences.size()) {
            EXPECT_LE(t.endMs, recording.sentences[heard + 1].beginMs);
        }
        ++heard;
    }
}

INSTANTIATE_TEST_SUITE_P(Recordings, AlignedRecording, testing::ValuesIn(kRecordings),
                         [](const testing::TestParamInfo<RecordingCase>& info) { return std::string(info.param.name); });

// The recording as the aligner hears it keeps the program's time line: a
// click at a known time in a lesson MP3 is heard at that time, whatever the
// MP3's rate and channels.
TEST(SpeechSamples, KeepTheLessonsTimeLine)
{
    for (const auto& [rate, channels] : {std::pair{44100, 2}, std::pair{22050, 1}, std::pair{48000, 2}}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
        std::vector<int16_t> interleaved(std::size_t(rate) * 3 * channels, 0);
        const int clickFrame = rate * 13 / 10;  // 1.3 s
        for (int i = 0; i < rate / 200; ++i)
            for (int ch = 0; ch < channels; ++ch)
                interleaved[std::size_t(clickFrame + i) * channels + ch] = 20000;
        const auto pcm = SpeechSamplesOfMp3(EncodeMp3(interleaved, channels, rate, 128));
        ASSERT_TRUE(pcm);
        EXPECT_NEAR(double(pcm->size()), 3.0 * kSpeechRate, 2);
        // The MP3's pre-echo may start the click a little early; its peak stays in place.
        const auto peak = std::max_element(pcm->begin(), pcm->end(), [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); });
        EXPECT_NEAR(double(peak - pcm->begin()) / kPerMs, 1302.5, 3);
    }
}

} // namespace
