// Any bytes as enciphered text, and as plain text for a round trip under a
// key taken from the input.
#include "data/Cipher.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool IsBlank(const QByteArray& text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    }
    return true;
}

QByteArray Folded(QByteArray text)
{
    return text.replace('\0', '\xff');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray decoded = CipherText(input, kFieldKey, kDecodeMode);
    if (decoded != "-1" && decoded.size() > input.size() / 2)
        std::abort();

    if (size < 2)
        return 0;
    const std::uint8_t seed = data[0];
    const qsizetype keyLength = data[1] % 12;
    const QByteArray key = input.mid(2, keyLength);
    const QByteArray plain = input.mid(2 + keyLength);
    const QByteArray hex = CipherText(plain, key, kEncodeMode, [seed] { return seed; });
    if (IsBlank(plain)) {
        if (!hex.isEmpty())
            std::abort();
        return 0;
    }
    if (hex.size() != 2 + 2 * plain.size())
        std::abort();
    // Bytes 0 and 255 share a code and come back as either; the blank-text
    // sentinel comes back as nothing; every other byte survives.
    const QByteArray decodedPlain = CipherText(hex, key, kDecodeMode);
    const bool sentinel = plain == "r!?8m&$d";
    if (sentinel ? !decodedPlain.isEmpty() : Folded(decodedPlain) != Folded(plain))
        std::abort();
    return 0;
}
