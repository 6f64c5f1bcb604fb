#include "audio/WavFile.h"

#include "WavFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Variant {
    const char* name;
    int subformat;
    int channels;
    int rate;
    float tolerance; // root-mean-square error the codec may make on our tone
};

// Writes the true length into a WAV's "fact" chunk, as writers that count
// exactly do (libsndfile itself states the padded length).
void StateTrueLength(QByteArray& wav, uint32_t frames)
{
    const qsizetype fact = wav.indexOf("fact");
    ASSERT_GT(fact, 0);
    for (int i = 0; i < 4; ++i)
        wav[fact + 8 + i] = char((frames >> (8 * i)) & 0xFF);
}

void Rewrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST(WavFile, DecodesEveryVariantToItsExactLength)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Variant variants[] = {
        {"pcm8", SF_FORMAT_PCM_U8, 1, 22050, 0.01f},
        {"pcm16", SF_FORMAT_PCM_16, 2, 44100, 0.0001f},
        {"pcm24", SF_FORMAT_PCM_24, 1, 16000, 0.0001f},
        {"float", SF_FORMAT_FLOAT, 2, 8000, 0.0f},
        {"ima", SF_FORMAT_IMA_ADPCM, 1, 22050, 0.1f},
        {"ima-stereo", SF_FORMAT_IMA_ADPCM, 2, 11025, 0.1f},
        {"ms", SF_FORMAT_MS_ADPCM, 1, 22050, 0.1f},
        {"ulaw", SF_FORMAT_ULAW, 1, 8000, 0.02f},
        {"alaw", SF_FORMAT_ALAW, 2, 8000, 0.02f},
    };
    // 1,001 frames: not a whole number of ADPCM blocks, so the last one is padded.
    const int frames = 1001;
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const QString path = dir.filePath(QString::fromLatin1(v.name) + ".wav");
        const std::vector<float> tone = Tone(frames, v.channels, v.rate);
        ASSERT_TRUE(WriteWav(path, v.subformat, v.channels, v.rate, tone));
        if (v.subformat == SF_FORMAT_IMA_ADPCM || v.subformat == SF_FORMAT_MS_ADPCM) {
            QByteArray bytes = ReadAll(path);
            StateTrueLength(bytes, frames);
            Rewrite(path, bytes);
        }

        const std::optional<PcmAudio> fromFile = DecodeWavFile(path);
        const std::optional<PcmAudio> fromMemory = DecodeWav(ReadAll(path));
        ASSERT_TRUE(fromFile && fromMemory);
        EXPECT_EQ(fromFile->samples, fromMemory->samples);
        EXPECT_EQ(fromFile->channels, v.channels);
        EXPECT_EQ(fromFile->sampleRate, v.rate);
        ASSERT_EQ(fromFile->Frames(), frames);
        double squares = 0;
        for (size_t i = 0; i < tone.size(); ++i)
            squares += std::pow(tone[i] - fromFile->samples[i], 2);
        EXPECT_LE(std::sqrt(squares / double(tone.size())), v.tolerance);
    }
}

TEST(WavFile, AdpcmLengthComesFromTheFactChunk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ima.wav");
    ASSERT_TRUE(WriteWav(path, SF_FORMAT_IMA_ADPCM, 1, 22050, Tone(1001, 1, 22050)));
    QByteArray bytes = ReadAll(path);
    EXPECT_EQ(StatedAdpcmFrames(bytes), DecodeWav(bytes)->Frames()) << "whole blocks";
    EXPECT_GT(StatedAdpcmFrames(bytes), 1001);
    StateTrueLength(bytes, 1001);
    EXPECT_EQ(StatedAdpcmFrames(bytes), 1001);
    EXPECT_EQ(DecodeWav(bytes)->Frames(), 1001);

    // PCM states no length of that kind.
    const QString pcm = dir.filePath("pcm.wav");
    ASSERT_TRUE(WriteWav(pcm, SF_FORMAT_PCM_16, 1, 22050, Tone(1001, 1, 22050)));
    EXPECT_EQ(StatedAdpcmFrames(ReadAll(pcm)), std::nullopt);

    // Only padding is cut: a careless length of zero or of less than the
    // blocks before the last keeps the audio whole.
    const QString longer = dir.filePath("longer.wav");
    ASSERT_TRUE(WriteWav(longer, SF_FORMAT_IMA_ADPCM, 1, 22050, Tone(3001, 1, 22050)));
    const QByteArray longerBytes = ReadAll(longer);
    const int64_t padded = DecodeWav(longerBytes)->Frames();
    ASSERT_GT(padded, 3001);
    for (const uint32_t stated : {0u, 1001u, 3001u}) {
        QByteArray wav = longerBytes;
        StateTrueLength(wav, stated);
        EXPECT_EQ(DecodeWav(wav)->Frames(), stated == 3001 ? 3001 : padded) << stated;
    }

    // A fact chunk claiming more than the data holds never lengthens the audio.
    QByteArray inflated = bytes;
    const qsizetype fact = inflated.indexOf("fact");
    ASSERT_GT(fact, 0);
    inflated[fact + 8] = char(0xFF);
    inflated[fact + 9] = char(0xFF);
    const std::optional<PcmAudio> audio = DecodeWav(inflated);
    ASSERT_TRUE(audio);
    EXPECT_GE(audio->Frames(), 1001);
    EXPECT_LT(audio->Frames(), 1001 + 1024);
}

TEST(WavFile, RejectsWhatIsNoReadableWav)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.wav");
    ASSERT_TRUE(WriteWav(good, SF_FORMAT_PCM_16, 1, 8000, Tone(400, 1, 8000)));
    const QByteArray bytes = ReadAll(good);

    // A lying data length must not make the decoder reserve gigabytes.
    QByteArray hugeData = bytes;
    const qsizetype data = hugeData.indexOf("data");
    ASSERT_GT(data, 0);
    for (int i = 4; i < 8; ++i)
        hugeData[data + i] = char(0x7F);

    SF_INFO aiffInfo{};
    aiffInfo.channels = 1;
    aiffInfo.samplerate = 8000;
    aiffInfo.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    const QString aiff = dir.filePath("tone.aiff");
    SNDFILE* file = sf_open(QFile::encodeName(aiff).constData(), SFM_WRITE, &aiffInfo);
    ASSERT_NE(file, nullptr);
    const std::vector<float> tone = Tone(400, 1, 8000);
    sf_writef_float(file, tone.data(), 400);
    sf_close(file);

    EXPECT_EQ(DecodeWav(QByteArray()), std::nullopt);
    EXPECT_EQ(DecodeWav("not audio at all, just some text"), std::nullopt);
    EXPECT_EQ(DecodeWav(bytes.left(30)), std::nullopt);
    EXPECT_EQ(DecodeWav(ReadAll(aiff)), std::nullopt) << "another container is not a WAV";
    EXPECT_EQ(DecodeWavFile(dir.filePath("missing.wav")), std::nullopt);

    const std::optional<PcmAudio> truncated = DecodeWav(hugeData);
    if (truncated) {
        EXPECT_LE(truncated->Frames(), 400);
    }
}
