#include "Mp3Encoder.h"

#include <lame/lame.h>
#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

std::optional<std::vector<int16_t>> Resample(const MonoPcm& pcm, QString& error)
{
    if (pcm.sampleRate == kMp3SampleRate)
        return pcm.samples;
    std::vector<float> in(pcm.samples.size());
    src_short_to_float_array(pcm.samples.data(), in.data(), static_cast<int>(in.size()));
    const double ratio = static_cast<double>(kMp3SampleRate) / pcm.sampleRate;
    std::vector<float> out(static_cast<std::size_t>(std::ceil(static_cast<double>(in.size()) * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    if (const int rc = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1); rc != 0) {
        error = QStringLiteral("resampling failed: %1").arg(QString::fromUtf8(src_strerror(rc)));
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(data.output_frames_gen));
    std::vector<int16_t> result(out.size());
    src_float_to_short_array(out.data(), result.data(), static_cast<int>(out.size()));
    return result;
}

} // namespace

std::optional<EncodedMp3> EncodeMp3(const MonoPcm& pcm, QString& error)
{
    const auto samples = Resample(pcm, error);
    if (!samples)
        return std::nullopt;

    const std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) {
        error = QStringLiteral("cannot start the MP3 encoder");
        return std::nullopt;
    }
    lame_set_num_channels(lame.get(), 2);
    lame_set_in_samplerate(lame.get(), kMp3SampleRate);
    lame_set_out_samplerate(lame.get(), kMp3SampleRate);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kMp3Kbps);
    lame_set_quality(lame.get(), 3);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        error = QStringLiteral("the MP3 encoder rejected its settings");
        return std::nullopt;
    }

    EncodedMp3 result;
    constexpr int kChunk = 8192;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    for (std::size_t at = 0; at < samples->size(); at += kChunk) {
        const int count = static_cast<int>(std::min<std::size_t>(kChunk, samples->size() - at));
        const int16_t* chunk = samples->data() + at;
        // The same samples on both channels; joint stereo then spends almost nothing on the side channel.
        const int written = lame_encode_buffer(lame.get(), chunk, chunk, count, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            error = QStringLiteral("MP3 encoding failed (%1)").arg(written);
            return std::nullopt;
        }
        result.bytes.append(reinterpret_cast<const char*>(buffer.data()), written);
    }
    const int flushed = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0) {
        error = QStringLiteral("MP3 encoding failed (%1)").arg(flushed);
        return std::nullopt;
    }
    result.bytes.append(reinterpret_cast<const char*>(buffer.data()), flushed);

    // The first frame was reserved for the info tag; now that delay, padding
    // and length are known it can be filled in.
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), buffer.data(), buffer.size());
    if (tagSize == 0 || tagSize > static_cast<std::size_t>(result.bytes.size())) {
        error = QStringLiteral("the MP3 encoder gave no info tag");
        return std::nullopt;
    }
    std::copy_n(buffer.data(), tagSize, reinterpret_cast<unsigned char*>(result.bytes.data()));
    result.frames = static_cast<qint64>(samples->size());
    return result;
}
