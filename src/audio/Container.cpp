#include "audio/Container.h"

#include "audio/TempFolder.h"
#include "data/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

// Lets zlib take read-only input.
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <new>

namespace {

constexpr qint64 kHeaderSize = 4;
// Deflate cannot expand input by more than 1032:1; the slack covers the
// zlib header and trailer around tiny streams.
constexpr qint64 kMaxInflateRatio = 1032;
constexpr qint64 kInflateSlack = 4096;
constexpr qint64 kReadPiece = qint64(1) << 20;

// Hands the inflater its next piece of input; false when none is left.
using InputSource = std::function<bool(const Bytef*& data, uInt& size)>;

qint32 ReadLength(const char* header)
{
    const auto* b = reinterpret_cast<const unsigned char*>(header);
    return qint32(quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24);
}

// Inflates the first `length` bytes out of at most `streamSize` input bytes.
std::optional<QByteArray> Inflate(qint32 length, qint64 streamSize, const InputSource& next)
{
    if (length < 0 || length > streamSize * kMaxInflateRatio + kInflateSlack)
        return std::nullopt;
    QByteArray out;
    try {
        out.resize(length);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (length == 0)
        return out;

    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(length);
    while (zs.avail_out > 0) {
        if (zs.avail_in == 0 && !next(zs.next_in, zs.avail_in))
            break;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        // A damaged checksum is reported only after the last byte; by then
        // all N bytes are there, and the trailer is not ours to check.
        if (zs.avail_out == 0)
            break;
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            break;
    }
    const bool complete = zs.avail_out == 0;
    inflateEnd(&zs);
    if (!complete)
        return std::nullopt;
    return out;
}

bool WriteAll(QFileDevice& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

} // namespace

std::optional<QByteArray> UnpackContainer(const QByteArray& container)
{
    if (container.size() < kHeaderSize)
        return std::nullopt;
    const char* pos = container.constData() + kHeaderSize;
    const char* end = container.constData() + container.size();
    return Inflate(ReadLength(container.constData()), container.size() - kHeaderSize,
                   [&](const Bytef*& data, uInt& size) {
                       if (pos == end)
                           return false;
                       const qint64 piece = std::min<qint64>(end - pos, UINT_MAX);
                       data = reinterpret_cast<const Bytef*>(pos);
                       size = uInt(piece);
                       pos += piece;
                       return true;
                   });
}

std::optional<QByteArray> UnpackContainerFile(const QString& containerPath)
{
    QFile file(containerPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    char header[kHeaderSize];
    if (file.read(header, kHeaderSize) != kHeaderSize)
        return std::nullopt;
    QByteArray piece(kReadPiece, Qt::Uninitialized);
    return Inflate(ReadLength(header), file.size() - kHeaderSize, [&](const Bytef*& data, uInt& size) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got <= 0)
            return false;
        data = reinterpret_cast<const Bytef*>(piece.constData());
        size = uInt(got);
        return true;
    });
}

QString MakeTempFileName(const QString& extension)
{
    // The reservation holds "tmpXXXXXX.tmp" while the longer name is created
    // with O_EXCL; it goes when `reservation` is destroyed.
    const QString folder = ProgramTempFolder();
    if (folder.isEmpty())
        return {};
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTemporaryFile reservation(folder + QStringLiteral("/tmpXXXXXX.tmp"));
        if (!reservation.open())
            return {};
        if (extension.isEmpty()) {
            reservation.setAutoRemove(false);
            return reservation.fileName();
        }
        const QString name = reservation.fileName() + extension;
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (file.exists())
            continue;
        return {};
    }
    return {};
}

QString UnpackToTempFile(const QString& containerPath, const QString& extension)
{
    if (!QFile::exists(containerPath))
        return {};
    const std::optional<QByteArray> audio = UnpackContainerFile(containerPath);
    if (!audio)
        return {};
    const QString name = MakeTempFileName(extension);
    if (name.isEmpty())
        return {};
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly) || !WriteAll(file, *audio)
        || !file.flush()) {
        file.remove();
        return {};
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        file.remove();
        return {};
    }
    return name;
}

QString UnpackToFolder(const QString& containerPath, const QString& folder, const QString& fileName,
                       QString* writeError)
{
    if (!QFile::exists(containerPath))
        return {};
    const std::optional<QByteArray> audio = UnpackContainerFile(containerPath);
    if (!audio)
        return {};
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += fileName;
    if (!QDir().mkpath(folder)) {
        if (writeError)
            *writeError = qt_error_string();
        return {};
    }
    // A failed write leaves the earlier export untouched.
    const QString reason = SaveWholeFile(path, *audio);
    if (!reason.isEmpty()) {
        if (writeError)
            *writeError = reason;
        return {};
    }
    return path;
}

QByteArray PackContainer(const QByteArray& audio)
{
    if (audio.size() > INT32_MAX)
        return {};
    uLongf packedSize = compressBound(uLong(audio.size()));
    QByteArray out(kHeaderSize + qsizetype(packedSize), Qt::Uninitialized);
    const quint32 n = quint32(audio.size());
    for (int i = 0; i < 4; ++i)
        out[i] = char((n >> (8 * i)) & 0xFF);
    if (compress2(reinterpret_cast<Bytef*>(out.data()) + kHeaderSize, &packedSize,
                  reinterpret_cast<const Bytef*>(audio.constData()), uLong(audio.size()),
                  Z_BEST_COMPRESSION)
        != Z_OK)
        return {};
    out.resize(kHeaderSize + qsizetype(packedSize));
    return out;
}
