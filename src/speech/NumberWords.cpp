#include "speech/NumberWords.h"

#include <QRegularExpression>

namespace {

const char* const kOnes[] = {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine",
                             "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen",
                             "seventeen", "eighteen", "nineteen"};
const char* const kTens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};

QString BelowHundred(int n)
{
    if (n < 20)
        return QString::fromLatin1(kOnes[n]);
    QString words = QString::fromLatin1(kTens[n / 10]);
    if (n % 10)
        words += QLatin1Char(' ') + QString::fromLatin1(kOnes[n % 10]);
    return words;
}

QString BelowThousand(int n)
{
    if (n < 100)
        return BelowHundred(n);
    QString words = QString::fromLatin1(kOnes[n / 100]) + QStringLiteral(" hundred");
    if (n % 100)
        words += QLatin1Char(' ') + BelowHundred(n % 100);
    return words;
}

QString Cardinal(qint64 n)
{
    if (n == 0)
        return QStringLiteral("zero");
    static const struct {
        qint64 size;
        const char* name;
    } kGroups[] = {{1000000000, "billion"}, {1000000, "million"}, {1000, "thousand"}};
    QStringList parts;
    for (const auto& group : kGroups) {
        if (n >= group.size) {
            parts << BelowThousand(int(n / group.size)) + QLatin1Char(' ') + QString::fromLatin1(group.name);
            n %= group.size;
        }
    }
    if (n)
        parts << BelowThousand(int(n));
    return parts.join(QLatin1Char(' '));
}

// "1984" as a year: "nineteen eighty four"; "1900" "nineteen hundred";
// "1906" "nineteen oh six".
QString Year(int n)
{
    const int high = n / 100;
    const int low = n % 100;
    if (low == 0)
        return BelowHundred(high) + QStringLiteral(" hundred");
    if (low < 10)
        return BelowHundred(high) + QStringLiteral(" oh ") + BelowHundred(low);
    return BelowHundred(high) + QLatin1Char(' ') + BelowHundred(low);
}

// The ordinal of the last word of a cardinal reading.
QString Ordinal(const QString& cardinal)
{
    static const QList<QPair<QString, QString>> kIrregular = {
        {QStringLiteral("one"), QStringLiteral("first")},   {QStringLiteral("two"), QStringLiteral("second")},
        {QStringLiteral("three"), QStringLiteral("third")}, {QStringLiteral("five"), QStringLiteral("fifth")},
        {QStringLiteral("eight"), QStringLiteral("eighth")}, {QStringLiteral("nine"), QStringLiteral("ninth")},
        {QStringLiteral("twelve"), QStringLiteral("twelfth")},
    };
    QStringList words = cardinal.split(QLatin1Char(' '));
    QString& last = words.last();
    bool done = false;
    for (const auto& [plain, ordinal] : kIrregular) {
        if (last == plain) {
            last = ordinal;
            done = true;
        }
    }
    if (!done)
        last = last.endsWith(QLatin1Char('y')) ? last.chopped(1) + QStringLiteral("ieth") : last + QStringLiteral("th");
    return words.join(QLatin1Char(' '));
}

} // namespace

QStringList NumberReadings(const QString& token)
{
    static const QRegularExpression shape(
        QStringLiteral("^(\\d{1,3}(?:,\\d{3})+|\\d{1,12})(?:\\.(\\d{1,6}))?(st|nd|rd|th)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = shape.match(token);
    if (!m.hasMatch())
        return {};
    QString digits = m.captured(1);
    digits.remove(QLatin1Char(','));
    const qint64 value = digits.toLongLong();
    const QString fraction = m.captured(2);
    const bool ordinal = !m.captured(3).isEmpty();
    if (ordinal && !fraction.isEmpty())
        return {};

    QString cardinal = Cardinal(value);
    if (!fraction.isEmpty()) {
        cardinal += QStringLiteral(" point");
        for (QChar d : fraction)
            cardinal += QLatin1Char(' ') + QString::fromLatin1(kOnes[d.digitValue()]);
        return {cardinal};
    }
    if (ordinal)
        return {Ordinal(cardinal)};
    const bool yearLike =
        m.captured(1).size() == 4 && ((value >= 1100 && value <= 1999) || (value >= 2010 && value <= 2099));
    if (yearLike)
        return {Year(int(value)), cardinal};
    return {cardinal};
}
