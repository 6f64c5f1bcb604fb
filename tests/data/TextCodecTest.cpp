#include "data/TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, RoundTripsChineseIpaAndCharactersOutsideTheBmp)
{
    const QString text = QString::fromUtf8("第一册 Lesson 1: ˈeksəsaɪz 😀");
    const QByteArray bytes = TextToGb18030(text);
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("b5dad2bbb2e1")));
    EXPECT_EQ(Gb18030ToText(bytes), text);
}

TEST(TextCodec, InvalidOrTruncatedBytesBecomeReplacementCharacters)
{
    const QString fffd(QChar(0xFFFD));
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {QByteArray("abc\x81"), QStringLiteral("abc") + fffd},  // lead byte cut off at the end
        {QByteArray("a\xff" "b"), QStringLiteral("a") + fffd + QStringLiteral("b")},
        {QByteArray("\xb5\xda\n"), QString::fromUtf8("第\n")},  // a real newline stays
        {QByteArray(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Gb18030ToText(c.bytes), c.text) << c.bytes.toHex().constData();
}

} // namespace
