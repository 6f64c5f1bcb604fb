#include "CipherCommands.h"

#include "CommandLine.h"
#include "data/Cipher.h"
#include "data/TextCodec.h"

#include <cstdio>

namespace {

// Fills `key` from --key (GB18030 bytes of the text) or the field key.
bool TakeKey(QStringList& args, QByteArray& key, QString& error)
{
    QString text;
    if (TakeOption(args, QStringLiteral("--key"), text, error)) {
        key = TextToGb18030(text);
        return true;
    }
    key = kFieldKey;
    return error.isEmpty();
}

bool IsCipherHex(const QString& hex)
{
    if (hex.size() < 2 || hex.size() % 2 != 0)
        return false;
    for (QChar c : hex) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

int RunEncode(QStringList args)
{
    QString error;
    QByteArray key;
    if (!TakeKey(args, key, error))
        return UsageError(error);
    QString seedText;
    const bool fixedSeed = TakeOption(args, QStringLiteral("--seed"), seedText, error);
    if (!error.isEmpty())
        return UsageError(error);
    bool ok = true;
    const uint seed = fixedSeed ? seedText.toUInt(&ok) : 0;
    if (!ok || seed > 255)
        return UsageError(QStringLiteral("--seed needs a number from 0 to 255, not '%1'").arg(seedText));
    if (args.size() != 1)
        return UsageError(QStringLiteral("encode needs exactly one TEXT"));

    const QByteArray plain = TextToGb18030(args.first());
    const QByteArray hex = fixedSeed
        ? CipherText(plain, key, kEncodeMode, [seed] { return std::uint8_t(seed); })
        : CipherText(plain, key, kEncodeMode);
    Print(QString::fromLatin1(hex) + QLatin1Char('\n'));
    return ExitOk;
}

int RunDecode(QStringList args)
{
    QString error;
    QByteArray key;
    if (!TakeKey(args, key, error))
        return UsageError(error);
    const bool raw = TakeFlag(args, QStringLiteral("--raw"));
    if (args.size() != 1)
        return UsageError(QStringLiteral("decode needs exactly one HEX"));
    // The routine answers "-1" for bad digits, which is also a possible text;
    // the tool says plainly what is wrong instead.
    const QString hex = args.first();
    if (!IsCipherHex(hex))
        return UsageError(QStringLiteral("HEX must be pairs of the digits 0-9 and A-F (upper case), "
                                         "a seed pair first"));

    const QByteArray plain = CipherText(hex.toLatin1(), key, kDecodeMode);
    if (raw) {
        std::fwrite(plain.constData(), 1, size_t(plain.size()), stdout);
        return ExitOk;
    }
    Print(Gb18030ToText(plain) + QLatin1Char('\n'));
    return ExitOk;
}
