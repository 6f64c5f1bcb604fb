#include "export/LrcText.h"

#include "data/TextCodec.h"

#include <algorithm>

namespace {

// The "by" line names the program that made the file.
const QString kHeader = QStringLiteral("[ti:Veltra精读]\r\n[al:Quillmere]\r\n[by:Veltra精读]\r\n");

} // namespace

QString LrcTimeTag(qint64 position, LrcTimeStyle style)
{
    position = std::max<qint64>(position, 0);
    const qint64 minutes = position / 60000;
    const qint64 seconds = position / 1000 % 60;
    const qint64 millis = position % 1000;
    const QChar zero(u'0');
    if (style == LrcTimeStyle::Standard)
        return QStringLiteral("[%1:%2.%3]").arg(minutes, 2, 10, zero).arg(seconds, 2, 10, zero).arg(millis / 10, 2, 10, zero);
    return QStringLiteral("[%1:%2:%3]").arg(minutes, 2, 10, zero).arg(seconds, 2, 10, zero).arg(millis, 3, 10, zero);
}

QByteArray BuildLrc(int book, const QVector<LrcSentence>& sentences, LrcTimeStyle style)
{
    QByteArray out = TextToGb18030(kHeader);
    for (qsizetype i = 0; i < sentences.size(); ++i) {
        const LrcSentence& s = sentences.at(i);
        const qint64 position = book == 1 && i == 0 ? 0 : s.beginPos;
        out += LrcTimeTag(position, style).toLatin1();
        out += TextToGb18030(s.english);
        out += s.chinese;
        out += "\r\n";
    }
    return out;
}
