#include "audio/Mp3Survey.h"

#include "audio/Mp3Memory.h"

#include <mpg123.h>

#include <cstring>

namespace {

uint32_t BigEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

} // namespace

std::optional<Mp3InfoTag> ReadMp3InfoTag(const unsigned char* body, size_t size, bool mpeg1, bool mono, bool crc)
{
    const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    size_t at = (crc ? 2 : 0) + sideInfo;
    if (size < at + 8 || (std::memcmp(body + at, "Xing", 4) != 0 && std::memcmp(body + at, "Info", 4) != 0))
        return std::nullopt;
    const uint32_t flags = BigEndian32(body + at + 4);
    at += 8;
    Mp3InfoTag tag;
    if (flags & 0x1) {
        if (size < at + 4)
            return tag;
        tag.frames = BigEndian32(body + at);
        at += 4;
    }
    at += (flags & 0x2 ? 4 : 0) + (flags & 0x4 ? 100 : 0) + (flags & 0x8 ? 4 : 0);
    // The encoder's extension: nine bytes of its name, twelve of settings,
    // then delay and padding as two 12-bit numbers.
    if (size < at + 24)
        return tag;
    const unsigned char* gap = body + at + 21;
    tag.delay = gap[0] << 4 | gap[1] >> 4;
    tag.padding = (gap[1] & 0x0F) << 8 | gap[2];
    return tag;
}

std::optional<Mp3Survey> SurveyMp3(const QByteArray& bytes)
{
    Mp3Memory memory{bytes};
    const Mpg123Handle handle = NewMpg123Handle();
    mpg123_handle* mh = handle.get();
    // Every frame as it stands: the info frame is read here, not hidden.
    if (!mh || mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_IGNORE_INFOFRAME, 0) != MPG123_OK
        || !OpenMp3Memory(mh, memory))
        return std::nullopt;

    Mp3Survey survey;
    mpg123_frameinfo first{};
    for (;;) {
        const int rc = mpg123_framebyframe_next(mh);
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT)
            break;
        mpg123_frameinfo info{};
        if (mpg123_info(mh, &info) != MPG123_OK)
            break;
        if (survey.frames == 0) {
            first = info;
            survey.firstFrame = mpg123_framepos(mh);
            survey.samplesPerFrame = mpg123_spf(mh);
            unsigned char* body = nullptr;
            size_t bodyBytes = 0;
            if (info.layer == 3 && mpg123_framedata(mh, nullptr, &body, &bodyBytes) == MPG123_OK && body) {
                survey.tag = ReadMp3InfoTag(body, bodyBytes, info.version == MPG123_1_0, info.mode == MPG123_M_MONO,
                                            (info.flags & MPG123_CRC) != 0);
            }
        }
        const bool changed = info.rate != first.rate || info.layer != first.layer
            || (info.mode == MPG123_M_MONO) != (first.mode == MPG123_M_MONO);
        if (changed && survey.formatChange == 0)
            survey.formatChange = survey.frames;
        ++survey.frames;
        survey.frameBytes += info.framesize;
    }
    if (survey.frames == 0)
        return std::nullopt;
    return survey;
}
