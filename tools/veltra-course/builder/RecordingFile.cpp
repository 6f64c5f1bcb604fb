#include "RecordingFile.h"

#include "Mp3Encoder.h"
#include "audio/Mp3Decoder.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace {

// Recordings larger than this are not a lesson (a lesson container holds
// at most 2 GB anyway).
constexpr qint64 kLargestRecording = qint64(1) << 30;
constexpr int kFadeMs = 10;

// An MP3 starts with an ID3 tag or a frame sync.
bool LooksLikeMp3(const QByteArray& bytes)
{
    if (bytes.startsWith("ID3"))
        return true;
    return bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && (uchar(bytes[1]) & 0xE0) == 0xE0;
}

std::optional<MonoPcm> ReadWithSndfile(const QString& path, QString& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        // The file was read already: libsndfile's own reason would only
        // confuse ("not a regular file" for bytes it does not know).
        error = QStringLiteral("%1 is not a recording that can be read (MP3, WAV, FLAC or Ogg)").arg(path);
        return std::nullopt;
    }
    std::optional<MonoPcm> result;
    if (info.channels > 0 && info.samplerate > 0 && info.frames > 0) {
        MonoPcm pcm;
        pcm.sampleRate = info.samplerate;
        pcm.samples.reserve(std::size_t(info.frames));
        std::vector<float> block(std::size_t(4096) * std::size_t(info.channels));
        sf_count_t got = 0;
        while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
            for (sf_count_t f = 0; f < got; ++f) {
                float sum = 0;
                for (int c = 0; c < info.channels; ++c)
                    sum += block[std::size_t(f * info.channels + c)];
                const float mono = std::clamp(sum / float(info.channels), -1.0f, 1.0f);
                pcm.samples.push_back(int16_t(std::lround(mono * 32767.0f)));
            }
        }
        result = std::move(pcm);
    } else {
        error = QStringLiteral("%1 holds no sound").arg(path);
    }
    sf_close(file);
    return result;
}

} // namespace

std::optional<QByteArray> LessonMp3FromFile(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kLargestRecording) {
        error = QStringLiteral("%1 is too large for a lesson (more than 1 GB)").arg(path);
        return std::nullopt;
    }
    const QByteArray head = file.peek(4);
    if (LooksLikeMp3(head)) {
        const QByteArray bytes = file.readAll();
        if (!Mp3Decoder::open(bytes)) {
            error = QStringLiteral("%1 is not an MP3 recording the program can play").arg(path);
            return std::nullopt;
        }
        return bytes;
    }
    file.close();
    const std::optional<MonoPcm> pcm = ReadWithSndfile(path, error);
    if (!pcm)
        return std::nullopt;
    std::optional<EncodedMp3> mp3 = EncodeMp3(*pcm, error);
    if (!mp3)
        return std::nullopt;
    return std::move(mp3->bytes);
}

std::optional<MonoPcm> CutFromMp3(const QByteArray& mp3, int beginMs, int endMs)
{
    std::unique_ptr<Mp3Decoder> decoder = Mp3Decoder::open(mp3);
    if (!decoder || endMs <= beginMs)
        return std::nullopt;
    const int rate = decoder->rate();
    const int channels = decoder->channels();
    const int64_t first = std::clamp<int64_t>(int64_t(beginMs) * rate / 1000, 0, decoder->lengthFrames());
    const int64_t last = std::clamp<int64_t>(int64_t(endMs) * rate / 1000, first, decoder->lengthFrames());
    if (last == first || !decoder->seek(first))
        return std::nullopt;
    std::vector<float> interleaved(std::size_t(last - first) * std::size_t(channels));
    const long got = decoder->read(interleaved.data(), long(last - first));
    MonoPcm pcm;
    pcm.sampleRate = rate;
    const long fade = std::min<long>(got / 2, long(rate) * kFadeMs / 1000);
    for (long f = 0; f < got; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += interleaved[std::size_t(f * channels + c)];
        float gain = 1.0f;
        if (fade > 0 && f < fade)
            gain = float(f) / float(fade);
        else if (fade > 0 && got - f <= fade)
            gain = float(got - f - 1) / float(fade);
        const float mono = std::clamp(sum / float(channels) * gain, -1.0f, 1.0f);
        pcm.samples.push_back(int16_t(std::lround(mono * 32767.0f)));
    }
    if (pcm.samples.empty())
        return std::nullopt;
    return pcm;
}
