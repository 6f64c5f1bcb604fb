#pragma once

// The baseline of unpacking: zlib alone on a container's stream, with none
// of the checks and buffers of the program's own unpacking.
#include <QByteArray>

#include <zlib.h>

// Inflates the stream after the container's 4-byte length into the `size`
// bytes at `out`. False unless the stream ends exactly there.
inline bool ZlibInflate(const QByteArray& container, char* out, qsizetype size)
{
    z_stream zs{};
    inflateInit(&zs);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(container.constData() + 4));
    zs.avail_in = uInt(container.size() - 4);
    zs.next_out = reinterpret_cast<Bytef*>(out);
    zs.avail_out = uInt(size);
    const bool ended = inflate(&zs, Z_FINISH) == Z_STREAM_END;
    inflateEnd(&zs);
    return ended;
}
