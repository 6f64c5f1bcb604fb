#include "data/Cipher.h"

#include <QRandomGenerator>

namespace {

constexpr char kDefaultKey[] = "qe%*<7bn";
// Stands for an empty text in stored data.
constexpr char kSentinel[] = "r!?8m&$d";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsBlankText(const QByteArray& text)
{
    for (char c : text) {
        if (!IsBlank(c))
            return false;
    }
    return true;
}

// Upper-case hex digit value, or -1.
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Cycles through the key bytes 1, 2, ..., L, 1, 2, ...
class KeyStream {
public:
    explicit KeyStream(const QByteArray& key)
        : key_(key.isEmpty() ? QByteArray(kDefaultKey) : key)
    {
    }
    unsigned next()
    {
        const unsigned byte = static_cast<unsigned char>(key_[pos_]);
        pos_ = (pos_ + 1) % key_.size();
        return byte;
    }

private:
    QByteArray key_;
    qsizetype pos_ = 0;
};

QByteArray Encode(const QByteArray& source, const QByteArray& key, std::uint8_t seed)
{
    KeyStream keys(key);
    QByteArray out(2 + 2 * source.size(), Qt::Uninitialized);
    char* o = out.data();
    unsigned prev = seed;
    *o++ = kHexDigits[prev >> 4];
    *o++ = kHexDigits[prev & 15];
    for (char c : source) {
        // Modulo 255 (not 256) is what stored data was written with.
        const unsigned t = ((static_cast<unsigned char>(c) + prev) % 255) ^ keys.next();
        *o++ = kHexDigits[t >> 4];
        *o++ = kHexDigits[t & 15];
        prev = t;
    }
    return out;
}

QByteArray Decode(const QByteArray& source, const QByteArray& key)
{
    for (char c : source) {
        if (HexValue(c) < 0)
            return QByteArrayLiteral("-1");
    }
    // Stored data always has whole pairs; a dangling digit is malformed input.
    if (source.size() % 2 != 0)
        return QByteArrayLiteral("-1");

    KeyStream keys(key);
    const char* in = source.constData();
    unsigned prev = unsigned(HexValue(in[0]) << 4 | HexValue(in[1]));
    QByteArray out((source.size() - 2) / 2, Qt::Uninitialized);
    char* o = out.data();
    for (qsizetype i = 2; i < source.size(); i += 2) {
        const unsigned b = unsigned(HexValue(in[i]) << 4 | HexValue(in[i + 1]));
        const unsigned x = b ^ keys.next();
        *o++ = static_cast<char>(prev < x ? x - prev : x + 255 - prev);
        prev = b;
    }
    if (out == kSentinel)
        return {};
    return out;
}

} // namespace

QByteArray CipherText(const QByteArray& source, const QByteArray& key, char mode,
                      const CipherSeedSource& seed)
{
    if (IsBlankText(source))
        return {};
    if (mode == kEncodeMode)
        return Encode(source, key, seed());
    return Decode(source, key);
}

QByteArray CipherText(const QByteArray& source, const QByteArray& key, char mode)
{
    return CipherText(source, key, mode, [] {
        return static_cast<std::uint8_t>(QRandomGenerator::global()->bounded(256));
    });
}
