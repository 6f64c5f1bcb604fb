// The take comparison on voices made in the test: a synthetic voice with a
// known shape and speech from espeak-ng, changed in known ways.
#include "analysis/TakeComparison.h"
#include "analysis/WordPlacement.h"
#include "support/ComparisonMeasures.h"
#include "support/VoiceSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

const QString kSentence = QStringLiteral("Last week I went to the theatre. I had a very good seat.");

// espeak-ng speech, made once per text; nothing when espeak-ng cannot run.
const PcmAudio* Spoken(const QString& text)
{
    static std::map<QString, std::optional<PcmAudio>> made;
    auto it = made.find(text);
    if (it == made.end()) {
        QString error;
        it = made.emplace(text, SynthesisedSpeech(text, error)).first;
        if (!it->second)
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    return it->second ? &*it->second : nullptr;
}

struct VoiceCase {
    const char* name;
    bool spoken;        // espeak-ng speech, else the synthetic voice
    bool stretch;       // a time stretch, else a pitch shift
    double amount;      // duration factor, or semitones
};

class WarpAndPitchTest : public testing::TestWithParam<VoiceCase> {};

TEST_P(WarpAndPitchTest, WarpFollowsTheKnownMappingAndPitchTheKnownShift)
{
    const VoiceCase& c = GetParam();
    PcmAudio model;
    PcmAudio take;
    if (c.spoken) {
        const PcmAudio* sentence = Spoken(kSentence);
        if (!sentence)
            GTEST_SKIP() << "espeak-ng is not available";
        model = *sentence;
        take = c.stretch ? Stretched(model, c.amount) : PitchShifted(model, c.amount);
    } else {
        model = SyntheticVoice(4.0);
        take = c.stretch ? SyntheticVoice(4.0, c.amount) : SyntheticVoice(4.0, 1.0, c.amount);
    }
    const TakeComparison compared = CompareTake(model, take, kSentence);

    EXPECT_LE(WarpMedianErrorMs(compared, c.stretch ? c.amount : 1.0), 20.0);
    if (!c.stretch) {
        EXPECT_NEAR(PitchOffset(compared), c.amount, 0.2);
        EXPECT_GE(PitchAgreement(compared, 0.3), 0.9);
    }
}

INSTANTIATE_TEST_SUITE_P(Voices, WarpAndPitchTest,
                         testing::Values(VoiceCase{"SyntheticSlower", false, true, 1.25},
                                         VoiceCase{"SyntheticFaster", false, true, 0.8},
                                         VoiceCase{"SyntheticTwoUp", false, false, 2.0},
                                         VoiceCase{"SyntheticThreeDown", false, false, -3.0},
                                         VoiceCase{"SpokenSlower", true, true, 1.25},
                                         VoiceCase{"SpokenFaster", true, true, 0.8},
                                         VoiceCase{"SpokenTwoUp", true, false, 2.0},
                                         VoiceCase{"SpokenThreeDown", true, false, -3.0}),
                         [](const testing::TestParamInfo<VoiceCase>& info) { return info.param.name; });

TEST(TakeAnalysisTest, AReplacedWordIsTheFirstStretchShaded)
{
    const PcmAudio* before = Spoken(QStringLiteral("Yesterday I bought a"));
    const PcmAudio* word = Spoken(QStringLiteral("beautiful"));
    const PcmAudio* after = Spoken(QStringLiteral("bicycle for my daughter."));
    const PcmAudio* other = Spoken(QStringLiteral("green"));
    if (!before || !word || !after || !other)
        GTEST_SKIP() << "espeak-ng is not available";
    const PcmAudio model = Joined(Joined(*before, *word), *after);
    const FrameRange spoken = SpeechRange(QuietFrames(FrameLevels(AnalysisVoice(*word))), 0);
    const double offset = double(before->Frames()) / before->sampleRate;
    const double begin = offset + spoken.first * kFrameSeconds;
    const double end = offset + (spoken.last + 1) * kFrameSeconds;

    for (const auto& [name, replacement] : {std::pair{"silence", SilenceLike(*word)}, std::pair{"another word", *other}}) {
        SCOPED_TRACE(name);
        const PcmAudio take = Stretched(Joined(Joined(*before, replacement), *after), 1.1);
        const TakeComparison compared =
            CompareTake(model, take, QStringLiteral("Yesterday I bought a beautiful bicycle for my daughter."));
        ASSERT_FALSE(compared.partings.empty());
        EXPECT_GE(FirstPartingCover(compared, begin, end), 0.6);
        EXPECT_TRUE(compared.partings.front().words.contains(QStringLiteral("beautiful")))
            << compared.partings.front().words.join(' ').toStdString();
    }
}

TEST(TakeAnalysisTest, AStatementReadForAQuestionPartsOnPitchAtTheEnd)
{
    const PcmAudio model = SyntheticVoice(4.0, 1.0, 0.0, true);
    const PcmAudio take = SyntheticVoice(4.0, 1.1, 0.0, false);
    const TakeComparison compared = CompareTake(model, take, QStringLiteral("one two three four"));
    const auto pitch = std::find_if(compared.partings.begin(), compared.partings.end(), [](const Parting& p) { return p.pitch; });
    ASSERT_NE(pitch, compared.partings.end());
    // The question's rise is the model's last quarter.
    EXPECT_GE(pitch->lastFrame * kFrameSeconds, 3.0);
    EXPECT_TRUE(pitch->words.contains(QStringLiteral("four"))) << pitch->words.join(' ').toStdString();
}

TEST(TakeAnalysisTest, LoudnessFaultsOfTheTake)
{
    const PcmAudio voice = SyntheticVoice(1.0);  // peaks near −9 dBFS
    struct Case {
        const char* name;
        PcmAudio take;
        bool tooQuiet;
        bool clipped;
    };
    const Case cases[] = {
        {"fine", voice, false, false},
        {"too quiet", Scaled(voice, 0.05f), true, false},
        {"clipped", Scaled(voice, 8.0f), false, true},
        {"silent", SilenceLike(voice), true, false},
        {"empty", PcmAudio{1, 22050, {}}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TakeComparison compared = CompareTake(voice, c.take, QStringLiteral("one"));
        EXPECT_EQ(compared.loudness.tooQuiet, c.tooQuiet) << compared.loudness.peakDbfs;
        EXPECT_EQ(compared.loudness.clipped, c.clipped);
    }
    EXPECT_TRUE(std::isinf(CheckLoudness(SilenceLike(voice)).peakDbfs));
    EXPECT_NEAR(CheckLoudness(Scaled(voice, 0.05f)).peakDbfs, CheckLoudness(voice).peakDbfs - 26.0, 0.1);
}

TEST(TakeAnalysisTest, WithoutSpeechNothingIsFoundAndNothingBreaks)
{
    const PcmAudio voice = SyntheticVoice(1.0);
    const PcmAudio silence = SilenceLike(voice);
    for (const auto& [model, take] : {std::pair{voice, silence}, std::pair{silence, voice}, std::pair{silence, silence}}) {
        const TakeComparison compared = CompareTake(model, take, QStringLiteral("one two"));
        EXPECT_TRUE(compared.partings.empty());
        EXPECT_EQ(compared.ModelFrames(), FrameCount(compared.model.size()));
        EXPECT_LE(compared.TakeSecondsAt(compared.ModelSeconds()), compared.TakeSeconds());
    }
    const TakeComparison empty = CompareTake(PcmAudio{}, PcmAudio{}, QString());
    EXPECT_EQ(empty.ModelFrames(), 0);
    EXPECT_EQ(empty.TakeSecondsAt(1.0), 0.0);
}

TEST(TakeAnalysisTest, WordsAreCutAtBlanksAndSpreadByTheirLetters)
{
    EXPECT_EQ(ModelWords(QStringLiteral("  \"Mr. Smith,\" she said — don't!  ")),
              (QStringList{"Mr", "Smith", "she", "said", "don't"}));
    const std::vector<PlacedWord> placed = SpreadWordsByLength({"a", "bbb"}, 1.0, 2.0);
    ASSERT_EQ(placed.size(), 2u);
    // Shares of 2 and 4 (letters plus one): "a" takes 1/6 s and its gap 1/6 s.
    EXPECT_NEAR(placed[0].begin, 1.0, 1e-9);
    EXPECT_NEAR(placed[0].end, 1.0 + 1.0 / 6, 1e-9);
    EXPECT_NEAR(placed[1].begin, 1.0 + 2.0 / 6, 1e-9);
    EXPECT_NEAR(placed[1].end, 2.0, 1e-9);
    EXPECT_TRUE(SpreadWordsByLength({}, 0.0, 1.0).empty());
}

} // namespace
