#include "audio/Mp3Decoder.h"

#include "audio/Mp3Survey.h"
#include "audio/WavLayout.h"

#include <mpg123.h>

#include <algorithm>
#include <vector>

namespace {

// Format tags of MPEG audio carried inside a WAV file.
constexpr uint16_t kWaveMpeg = 0x0050;
constexpr uint16_t kWaveMpegLayer3 = 0x0055;

// A WAV file that holds no MPEG audio must never be taken for an MP3,
// whatever frame headers its samples happen to imitate.
bool IsPlainWav(const QByteArray& bytes)
{
    const std::optional<WavLayout> layout = ReadWavLayout(bytes);
    return layout && layout->formatTag != kWaveMpeg && layout->formatTag != kWaveMpegLayer3;
}

// libmpg123's own layer III synthesis delay, on top of the encoder's.
constexpr int64_t kDecoderDelay = 529;

// The decoded frames that belong to the recording, as [begin, end) of
// everything the stream decodes to, the leading info frame included.
struct Trim {
    int64_t begin = 0;
    int64_t end = 0;
};

Trim TrimOf(const Mp3Survey& survey, int64_t decoded)
{
    Trim trim{0, decoded};
    if (!survey.tag)
        return trim;
    const Mp3InfoTag& tag = *survey.tag;
    const int64_t spf = survey.samplesPerFrame;
    trim.begin = spf;
    if (tag.frames <= 0)
        return trim;
    // The delay lies at the start, so it holds however the file ends. The
    // padding is trimmed only where the tag counts exactly the frames that
    // follow it: a cut file has lost its padding, and in two files joined
    // the first one's tag knows nothing of the end.
    trim.begin += kDecoderDelay + std::max(tag.delay, 0);
    if (tag.frames == survey.frames - 1)
        trim.end = std::min(decoded, spf + tag.frames * spf - std::max(tag.padding, 0) + kDecoderDelay);
    trim.begin = std::min(trim.begin, trim.end);
    return trim;
}

} // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(const QByteArray& bytes)
{
    if (IsPlainWav(bytes))
        return nullptr;
    const std::optional<Mp3Survey> survey = SurveyMp3(bytes);
    // Noise in other audio imitates a frame header now and then, but such
    // frames never follow one another for long: most of what lies after the
    // first frame must be frames.
    if (!survey || survey->frameBytes * 2 < bytes.size() - survey->firstFrame)
        return nullptr;

    std::unique_ptr<Mp3Decoder> d(new Mp3Decoder);
    d->m_memory.bytes = bytes;
    d->m_handle = NewMpg123Handle();
    mpg123_handle* mh = d->m_handle.get();
    if (!mh)
        return nullptr;
    // Never MPG123_FUZZY: seeks must land on the exact sample. The info
    // frame is decoded like any other frame and trimmed here, so that no
    // frame later in the stream is treated as the start of another file.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT | MPG123_IGNORE_INFOFRAME, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (!OpenMp3Memory(mh, d->m_memory))
        return nullptr;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_FLOAT_32
        || channels < 1 || channels > 2)
        return nullptr;
    // The first frame's format holds for the whole file: libmpg123 converts
    // any later frame to it, so that positions stay true in time.
    mpg123_format_none(mh);
    if (mpg123_format(mh, rate, channels, MPG123_ENC_FLOAT_32) != MPG123_OK || mpg123_scan(mh) != MPG123_OK)
        return nullptr;
    d->m_rate = static_cast<int>(rate);
    d->m_channels = channels;
    const int64_t decoded = survey->formatChange > 0
        ? d->countDecodedFrames(survey->formatChange * survey->samplesPerFrame)
        : mpg123_length(mh);
    const Trim trim = TrimOf(*survey, decoded);
    if (trim.end - trim.begin <= 0)
        return nullptr;
    d->m_begin = trim.begin;
    d->m_length = trim.end - trim.begin;
    if (!d->seek(0))
        return nullptr;
    return d;
}

int64_t Mp3Decoder::countDecodedFrames(int64_t beforeChange)
{
    // libmpg123 counts the frames after a change of rate at their own rate;
    // only decoding them tells how many resampled frames they make. Those
    // before the change are all the first frame's length.
    mpg123_handle* mh = m_handle.get();
    if (mpg123_seek(mh, static_cast<off_t>(beforeChange), SEEK_SET) < 0)
        return 0;
    std::vector<unsigned char> scratch(size_t(1) << 16);
    int64_t bytes = 0;
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(mh, scratch.data(), scratch.size(), &done);
        bytes += static_cast<int64_t>(done);
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT)
            break;
    }
    return beforeChange + bytes / static_cast<int64_t>(sizeof(float) * static_cast<size_t>(m_channels));
}

bool Mp3Decoder::seek(int64_t frame)
{
    m_position = std::clamp<int64_t>(frame, 0, m_length);
    return mpg123_seek(m_handle.get(), static_cast<off_t>(m_begin + m_position), SEEK_SET) >= 0;
}

long Mp3Decoder::read(float* out, long frames)
{
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(m_channels);
    const int64_t wanted = std::clamp<int64_t>(frames, 0, m_length - m_position);
    auto* dest = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    const size_t want = frameBytes * static_cast<size_t>(wanted);
    while (filled < want) {
        size_t done = 0;
        const int rc = mpg123_read(m_handle.get(), dest + filled, want - filled, &done);
        filled += done;
        if (rc == MPG123_NEW_FORMAT || (rc == MPG123_OK && done > 0))
            continue;
        if (rc != MPG123_OK || done == 0)
            break;
    }
    const long got = static_cast<long>(filled / frameBytes);
    m_position += got;
    return got;
}
