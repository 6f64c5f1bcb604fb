// Any bytes as a container: unpacking must fail cleanly or give exactly the
// declared length, and packing what came out must give it back.
#include "audio/Container.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray container(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QByteArray> audio = UnpackContainer(container);
    if (!audio)
        return 0;
    qint32 declared = 0;
    std::memcpy(&declared, data, sizeof declared);
    if (audio->size() != declared)
        std::abort();
    if (UnpackContainer(PackContainer(*audio)) != audio)
        std::abort();
    return 0;
}
