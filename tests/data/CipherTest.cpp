#include "data/Cipher.h"

#include <gtest/gtest.h>

#include <set>

namespace {

CipherSeedSource FixedSeed(std::uint8_t seed)
{
    return [seed] { return seed; };
}

QByteArray Decode(const QByteArray& hex, const QByteArray& key = kFieldKey)
{
    return CipherText(hex, key, kDecodeMode);
}

TEST(Cipher, EncodesKnownVectors)
{
    struct Case {
        QByteArray plain;
        QByteArray key;
        std::uint8_t seed;
        QByteArray hex;
    };
    const Case cases[] = {
        // The key cycles t, q, d, t, ...
        {"ABCD", "tqd", 0x10, "1025163DF5"},
        // 0x20 + 0xF0 wraps modulo 255, not 256.
        {" A", "tqd", 0xF0, "F065D7"},
        // An empty key means the default key, whose first byte is 'q'.
        {"A", "", 0x00, "0030"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CipherText(c.plain, c.key, kEncodeMode, FixedSeed(c.seed)), c.hex) << c.plain.constData();
        EXPECT_EQ(Decode(c.hex, c.key), c.plain) << c.hex.constData();
    }
}

TEST(Cipher, EveryByteFrom1To254SurvivesAnySeedAndKey)
{
    QByteArray all;
    for (int b = 1; b <= 254; ++b)
        all.append(char(b));
    // Seeds and running values of 254/255 are the ones near the wrap.
    for (const QByteArray& key : {QByteArray("tqd"), QByteArray(), QByteArray("\xff\x01 long key \x80", 14)}) {
        for (int seed : {0, 1, 127, 254, 255}) {
            const QByteArray hex = CipherText(all, key, kEncodeMode, FixedSeed(std::uint8_t(seed)));
            ASSERT_EQ(hex.size(), 2 + 2 * all.size());
            EXPECT_EQ(Decode(hex, key), all) << "seed " << seed << " key " << key.toHex().constData();
        }
    }
}

TEST(Cipher, BlankAndMalformedInput)
{
    const QByteArray enc = CipherText("Hello", kFieldKey, kEncodeMode, FixedSeed(7));
    struct Case {
        QByteArray hex;
        QByteArray expected;
    };
    const Case cases[] = {
        {"", ""},
        {"  \t ", ""},
        {enc.toLower(), "-1"},              // lower-case digits are invalid
        {" " + enc, "-1"},                  // blanks around count once the text is not blank
        {enc.left(4) + " " + enc.mid(4), "-1"},
        {enc.left(4) + "G" + enc.mid(5), "-1"},
        {enc.left(5), "-1"},                // dangling half pair
        {"A", "-1"},
        {"7F", ""},                         // a seed and no data
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.hex), c.expected) << '"' << c.hex.constData() << '"';
    EXPECT_EQ(CipherText("   ", kFieldKey, kEncodeMode), QByteArray());
}

TEST(Cipher, SentinelDecodesToEmptyAndWrongKeyGivesOtherBytes)
{
    const QByteArray sentinel = CipherText("r!?8m&$d", kFieldKey, kEncodeMode, FixedSeed(42));
    EXPECT_EQ(Decode(sentinel), QByteArray());

    const QByteArray hex = CipherText("Good morning", kFieldKey, kEncodeMode, FixedSeed(3));
    const QByteArray wrong = Decode(hex, "tqe");
    EXPECT_EQ(wrong.size(), 12);
    EXPECT_NE(wrong, QByteArray("Good morning"));
}

TEST(Cipher, DefaultSeedSourceVariesTheOutput)
{
    std::set<QByteArray> outputs;
    for (int i = 0; i < 64; ++i) {
        const QByteArray hex = CipherText("same text", kFieldKey, kEncodeMode);
        EXPECT_EQ(Decode(hex), QByteArray("same text"));
        outputs.insert(hex);
    }
    EXPECT_GT(outputs.size(), 1u);
}

} // namespace
