// Recordings as other tools make them: each kind either plays exactly (the
// frames heard for a span at each speed, and at the native rate the very
// frames straight-through decoding puts there) or gives its message.
#include "LessonFixture.h"

#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "controls/GuiAppEnvironment.h"
#include "controls/WavFixtures.h"
#include "controls/kznMediaPlayer.h"
#include "support/RecordingMessages.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

const auto* const oddRecordingsApp = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);

constexpr int kSignalRate = 44100;
const char* const kLessonUnreadable = "打开课文语音文件出错！";
const char* const kRateUnplayable = "不支持该音频的采样率：只能播放采样率在 1000 Hz 到 384000 Hz 之间的声音。";

QByteArray Signal(double seconds, int channels = 2, int rate = kSignalRate, bool infoTag = true)
{
    const auto frames = static_cast<int64_t>(seconds * rate);
    return EncodeMp3(MakeTestSignal(frames, channels, rate), channels, rate, channels == 2 ? 128 : 64, infoTag);
}

// The same 3-second recording every lesson row without a reference of its own starts from.
const QByteArray& Plain()
{
    static const QByteArray mp3 = Signal(3.0);
    return mp3;
}

QByteArray WavOf(int subformat, int channels, int rate, const std::vector<float>& samples)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.wav"));
    return WriteWav(path, subformat, channels, rate, samples) ? ReadAll(path) : QByteArray();
}

QByteArray Wav(int subformat, int channels, int rate, int frames)
{
    std::vector<float> samples(size_t(frames) * size_t(channels));
    const std::vector<int16_t> pcm = MakeTestSignal(frames, channels, rate);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(pcm[i]) / 32768.0f;
    return WavOf(subformat, channels, rate, samples);
}

// A quiet room: noise at about -34 dB, in whose samples frame headers turn up.
QByteArray NoiseWav(int channels, int rate, int frames)
{
    std::vector<float> samples(size_t(frames) * size_t(channels));
    uint32_t state = 12345;
    for (float& v : samples) {
        state = state * 1664525u + 1013904223u;
        v = (float(state >> 16) / 65535.0f - 0.5f) * 0.04f;
    }
    return WavOf(SF_FORMAT_PCM_16, channels, rate, samples);
}

void PutLittleEndian32(QByteArray& bytes, qsizetype at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

// A header as a streaming writer leaves it when it never comes back: RIFF
// and data sizes 0.
QByteArray Unfinished(QByteArray wav)
{
    PutLittleEndian32(wav, 4, 0);
    PutLittleEndian32(wav, wav.indexOf("data") + 4, 0);
    return wav;
}

// IMA ADPCM as written by tools that state no length: no "fact" chunk, and,
// `shortLastBlock`, the last block only as long as the samples it holds
// (four header bytes with the first, then eight samples in every four).
QByteArray ImaWithoutFact(int frames, bool shortLastBlock)
{
    const QByteArray wav = Wav(SF_FORMAT_IMA_ADPCM, 1, kSignalRate, frames);
    const qsizetype fmt = wav.indexOf("fmt ");
    const int blockAlign = uint8_t(wav[fmt + 20]) | uint8_t(wav[fmt + 21]) << 8;
    const int samplesPerBlock = uint8_t(wav[fmt + 26]) | uint8_t(wav[fmt + 27]) << 8;
    const int inLast = frames % samplesPerBlock;
    const int cutBytes = shortLastBlock && inLast > 0 ? blockAlign - (4 + (inLast - 1 + 7) / 8 * 4) : 0;
    const qsizetype fact = wav.indexOf("fact");
    QByteArray out = wav.left(fact) + wav.mid(fact + 12);
    const qsizetype data = out.indexOf("data");
    out.chop(cutBytes);
    PutLittleEndian32(out, data + 4, uint32_t(out.size() - data - 8));
    PutLittleEndian32(out, 4, uint32_t(out.size() - 8));
    return out;
}

int64_t Heard(const std::vector<float>& stereo)
{
    for (size_t i = stereo.size(); i > 0; --i) {
        if (stereo[i - 1] != 0.0f)
            return int64_t((i - 1) / 2 + 1);
    }
    return 0;
}

std::vector<float> RenderUntil(Mixer& mixer, const std::function<bool()>& playing)
{
    std::vector<float> out;
    std::vector<float> block(1024 * 2);
    for (int guard = 0; guard < 100000 && playing(); ++guard) {
        mixer.render(block.data(), 1024);
        out.insert(out.end(), block.begin(), block.end());
        QCoreApplication::processEvents();
    }
    return out;
}

struct LessonRow {
    const char* kind;
    std::function<QByteArray()> make;
    int beginMs;
    int endMs;
    std::array<int64_t, 3> heard;  // at speeds 8, 10, 12; unused when refused
    const char* message = nullptr;
    // Whose straight-through decode the span must match at speed 10; the
    // file itself when empty.
    std::function<QByteArray()> reference = {};
    // Frames the decoder resampled itself may differ in their last bits
    // between a seek and straight-through decoding; a frame out of place
    // differs by far more.
    float tolerance = 0.0f;
};

// Plays the row's span at each speed; ASSERTs end only this row.
void CheckLessonRow(const LessonRow& row)
{
    SCOPED_TRACE(row.kind);
    RecordingMessages messages;
    ScopedMessages installed{&messages};
    LessonFixture fixture;
    const QByteArray bytes = row.make();
    ASSERT_FALSE(bytes.isEmpty());
    fixture.addLesson(1, bytes);
    Mixer mixer;
    LessonAudio audio{mixer};
    const bool opened = audio.OpenLessonAudio(fixture.dataDir(), 1, 1, 10);
    if (row.message) {
        EXPECT_FALSE(opened);
        ASSERT_EQ(messages.entries.size(), 1u);
        EXPECT_EQ(messages.entries[0].text, QString::fromUtf8(row.message));
        return;
    }
    ASSERT_TRUE(opened);
    EXPECT_TRUE(messages.entries.empty());

    const int rate = audio.nativeRate();
    const std::vector<float> reference = LessonFixture::FullDecode(row.reference ? row.reference() : bytes);
    const auto channels = static_cast<size_t>(Mp3Decoder::open(bytes)->channels());
    for (int i = 0; i < 3; ++i) {
        const int speed = 8 + 2 * i;
        SCOPED_TRACE(speed);
        audio.ApplySpeed(speed);
        audio.PlaySentence(row.beginMs, row.endMs, seaContinue);
        const std::vector<float> out = RenderUntil(mixer, [&] { return audio.isPlaying(); });
        EXPECT_EQ(Heard(out), row.heard[size_t(i)]);
        if (speed != 10 || rate != kSignalRate)
            continue;
        const int64_t first = LessonAudio::MsToFrame(row.beginMs, rate);
        const int64_t frames = row.heard[1];
        ASSERT_LE(size_t(first + frames) * channels, reference.size());
        for (int64_t f = 0; f < frames; ++f) {
            const float* expected = &reference[size_t(first + f) * channels];
            ASSERT_NEAR(out[size_t(2 * f)], expected[0], row.tolerance) << "frame " << f;
            ASSERT_NEAR(out[size_t(2 * f + 1)], expected[channels - 1], row.tolerance) << "frame " << f;
        }
    }
}

TEST(OddRecordings, LessonRecordingsPlayTheirSpanExactlyOrAreRefused)
{
    const LessonRow rows[] = {
        {"CBR with an info tag", [] { return Plain(); }, 1000, 1400, {22052, 17641, 14701}},
        {"no info tag", [] { return Signal(3.0, 2, kSignalRate, false); }, 1000, 1400, {22052, 17641, 14701}},
        {"MPEG-2, 22.05 kHz mono", [] { return Signal(3.0, 1, 22050); }, 1000, 1400, {22052, 17642, 14701}},
        // Frames too small for an info tag, as spoken-word files often are.
        {"MPEG-2, 22.05 kHz mono at 32 kbps", [] { return MakeTestMp3(3.0, 1, 22050, 32); }, 1000, 1400,
         {22052, 17642, 14701}},
        {"64 KB ID3v2 tag", [] { return QByteArray("ID3\x04\x00\x00\x00\x04\x00\x00", 10) + QByteArray(65536, '\0') + Plain(); },
         1000, 1400, {22052, 17641, 14701}, nullptr, [] { return Plain(); }},
        {"junk before the first frame", [] { return QByteArray(2000, 'x') + Plain(); }, 1000, 1400,
         {22052, 17641, 14701}, nullptr, [] { return Plain(); }},
        {"cut in the middle of a frame", [] { return Plain().left(Plain().size() - 150); }, 1000, 1400,
         {22052, 17641, 14701}, nullptr, [] { return Plain(); }},
        {"44.1 kHz stereo, then 22.05 kHz mono", [] { return Signal(2.0) + Signal(2.0, 1, 22050); }, 2600, 3000,
         {22052, 17641, 14701}, nullptr, {}, 1e-5f},
        {"rate change, to the end", [] { return Signal(2.0) + Signal(2.0, 1, 22050); }, 3500, 60000,
         {33202, 26561, 22134}},
        {"two tagged files joined", [] { return Plain() + Plain(); }, 3500, 3900, {22052, 17641, 14701}},
        {"PCM WAV with background noise", [] { return NoiseWav(2, kSignalRate, 3 * kSignalRate); }, 1000, 1400, {},
         kLessonUnreadable},
        {"PCM WAV with background noise, mono", [] { return NoiseWav(1, 22050, 2 * 22050); }, 1000, 1400, {},
         kLessonUnreadable},
        {"clean tone WAV", [] { return Wav(SF_FORMAT_PCM_16, 1, 22050, 22050); }, 100, 200, {}, kLessonUnreadable},
    };
    for (const LessonRow& row : rows)
        CheckLessonRow(row);
}

struct WordRow {
    const char* kind;
    std::function<QByteArray()> make;
    int64_t frames;  // played, all of them; unused when refused
    const char* message = nullptr;
};

// Opens the row's file in a word player and plays it; ASSERTs end only this row.
void CheckWordRow(const WordRow& row)
{
    QTemporaryDir dir;
    SCOPED_TRACE(row.kind);
    const QString path = dir.filePath(QStringLiteral("word.wav"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(row.make());
    file.close();

    Mixer mixer;
    TkznMediaPlayer player(nullptr, &mixer);
    player.SetFileName(path);
    try {
        player.Open();
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), QString::fromUtf8(row.message ? row.message : "(none)"));
        return;
    }
    ASSERT_EQ(row.message, nullptr) << "opened";
    bool ended = false;
    QObject::connect(&player, &TkznMediaPlayer::OnNotify, [&] { ended = true; });
    EXPECT_EQ(player.Media().Frames(), row.frames);
    player.Play();
    EXPECT_LE(Heard(RenderUntil(mixer, [&] { return !ended; })), row.frames);
    player.Close();
}

TEST(OddRecordings, WordRecordingsPlayWholeOrSayWhatIsWrong)
{
    const WordRow rows[] = {
        {"PCM, finished header", [] { return Wav(SF_FORMAT_PCM_16, 1, kSignalRate, 4410); }, 4410},
        {"header never finished", [] { return Unfinished(Wav(SF_FORMAT_PCM_16, 1, kSignalRate, 4410)); }, 4410},
        {"header never finished, stereo 24-bit", [] { return Unfinished(Wav(SF_FORMAT_PCM_24, 2, kSignalRate, 3000)); }, 3000},
        {"no samples at all", [] { return Unfinished(Wav(SF_FORMAT_PCM_16, 1, kSignalRate, 0)); }, 0},
        {"IMA ADPCM, no fact chunk, short last block", [] { return ImaWithoutFact(3001, true); }, 3001},
        {"IMA ADPCM, no fact chunk, short last block, odd length", [] { return ImaWithoutFact(2000, true); }, 2001},
        // Nothing tells the padding from the samples: the whole block plays.
        {"IMA ADPCM, no fact chunk, whole block", [] { return ImaWithoutFact(3001, false); }, 4089},
        {"mono at 500 Hz", [] { return Wav(SF_FORMAT_PCM_16, 1, 500, 500); }, 0, kRateUnplayable},
        {"mono at 400 kHz", [] { return Wav(SF_FORMAT_PCM_16, 1, 400000, 40000); }, 0, kRateUnplayable},
    };
    for (const WordRow& row : rows)
        CheckWordRow(row);
}

} // namespace
