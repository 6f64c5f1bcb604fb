#include "data/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

// Qt's converters reach GB18030 through ICU. A fresh converter per call keeps
// one text's state from bleeding into the next.

QString Gb18030ToText(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    Q_ASSERT(decoder.isValid());
    // The decoder holds back a truncated sequence at the very end instead of
    // reporting it; a trailing newline (never part of a multi-byte sequence)
    // forces it out as U+FFFD, and is then taken off again.
    QString text = decoder.decode(bytes + '\n');
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QByteArray TextToGb18030(const QString& text)
{
    QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    Q_ASSERT(encoder.isValid());
    return encoder.encode(text);
}
