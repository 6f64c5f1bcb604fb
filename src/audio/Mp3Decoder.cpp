#include "audio/Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>


ssize_t Mp3Decoder::readMemory(void* reader, void* buffer, size_t bytes)
{
    auto* r = static_cast<Reader*>(reader);
    const int64_t n = std::clamp<int64_t>(r->bytes.size() - r->pos, 0, static_cast<int64_t>(bytes));
    std::memcpy(buffer, r->bytes.constData() + r->pos, static_cast<size_t>(n));
    r->pos += n;
    return static_cast<ssize_t>(n);
}

off_t Mp3Decoder::seekMemory(void* reader, off_t offset, int whence)
{
    auto* r = static_cast<Reader*>(reader);
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = r->pos;
    else if (whence == SEEK_END)
        base = r->bytes.size();
    const int64_t target = base + offset;
    if (target < 0 || target > r->bytes.size())
        return -1;
    r->pos = target;
    return static_cast<off_t>(target);
}

Mp3Decoder::~Mp3Decoder()
{
    if (m_handle) {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(const QByteArray& bytes)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });

    std::unique_ptr<Mp3Decoder> d(new Mp3Decoder);
    d->m_reader.bytes = bytes;
    int error = MPG123_OK;
    d->m_handle = mpg123_new(nullptr, &error);
    if (!d->m_handle)
        return nullptr;
    mpg123_handle* mh = d->m_handle;
    // Never MPG123_FUZZY: seeks must land on the exact sample.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET | MPG123_FORCE_FLOAT, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    if (mpg123_replace_reader_handle(mh, readMemory, seekMemory, nullptr) != MPG123_OK
        || mpg123_open_handle(mh, &d->m_reader) != MPG123_OK)
        return nullptr;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || encoding != MPG123_ENC_FLOAT_32
        || channels < 1 || channels > 2)
        return nullptr;
    if (mpg123_scan(mh) != MPG123_OK)
        return nullptr;
    const off_t length = mpg123_length(mh);
    if (length <= 0)
        return nullptr;
    d->m_rate = static_cast<int>(rate);
    d->m_channels = channels;
    d->m_length = length;
    if (!d->seek(0))
        return nullptr;
    return d;
}

bool Mp3Decoder::seek(int64_t frame)
{
    frame = std::clamp<int64_t>(frame, 0, m_length);
    return mpg123_seek(m_handle, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

long Mp3Decoder::read(float* out, long frames)
{
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(m_channels);
    auto* dest = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    const size_t want = frameBytes * static_cast<size_t>(frames);
    while (filled < want) {
        size_t done = 0;
        const int rc = mpg123_read(m_handle, dest + filled, want - filled, &done);
        filled += done;
        if (rc == MPG123_NEW_FORMAT || (rc == MPG123_OK && done > 0))
            continue;
        if (rc != MPG123_OK || done == 0)
            break;
    }
    return static_cast<long>(filled / frameBytes);
}
