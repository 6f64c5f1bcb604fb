#include "DecodeMp3.h"

#include <QFile>
#include <QTemporaryDir>

#include <mpg123.h>

#include <memory>

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

} // namespace

std::optional<DecodedMp3> DecodeMp3(const QByteArray& mp3)
{
    // Decoding from a file lets libmpg123 see the stream's end, as the player does.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lesson.mp3"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(mp3) != mp3.size())
        return std::nullopt;
    file.close();

    mpg123_init();
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, nullptr));
    if (!handle)
        return std::nullopt;
    mpg123_param(handle.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle.get(), QFile::encodeName(path).constData()) != MPG123_OK)
        return std::nullopt;

    DecodedMp3 decoded;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &decoded.rate, &decoded.channels, &encoding) != MPG123_OK)
        return std::nullopt;
    std::vector<unsigned char> buffer(65536);
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        const auto* pcm = reinterpret_cast<const int16_t*>(buffer.data());
        decoded.samples.insert(decoded.samples.end(), pcm, pcm + done / 2);
        if (rc == MPG123_DONE)
            return decoded;
        if (rc != MPG123_OK)
            return std::nullopt;
    }
}
