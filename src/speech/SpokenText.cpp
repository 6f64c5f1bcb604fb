#include "speech/SpokenText.h"

#include "speech/NumberWords.h"

#include <QRegularExpression>

namespace {

// Abbreviations whose reading the pronouncing dictionary gets wrong or lacks.
QList<QStringList> AbbreviationReadings(const QString& lower)
{
    static const QList<QPair<QString, QList<QStringList>>> kTable = {
        {QStringLiteral("dr"), {{QStringLiteral("doctor")}, {QStringLiteral("drive")}}},
        {QStringLiteral("st"), {{QStringLiteral("saint")}, {QStringLiteral("street")}}},
        {QStringLiteral("mt"), {{QStringLiteral("mount")}}},
        {QStringLiteral("prof"), {{QStringLiteral("professor")}}},
        {QStringLiteral("vs"), {{QStringLiteral("versus")}}},
        {QStringLiteral("etc"), {{QStringLiteral("et"), QStringLiteral("cetera")}}},
        {QStringLiteral("e.g"), {{QStringLiteral("for"), QStringLiteral("example")}, {QStringLiteral("e"), QStringLiteral("g")}}},
        {QStringLiteral("i.e"), {{QStringLiteral("that"), QStringLiteral("is")}, {QStringLiteral("i"), QStringLiteral("e")}}},
    };
    for (const auto& [abbreviation, readings] : kTable) {
        if (lower == abbreviation)
            return readings;
    }
    return {};
}

QList<QStringList> Readings(const QString& token)
{
    QString lower = token.toLower();
    lower.replace(QChar(0x2019), QLatin1Char('\''));
    if (const auto readings = AbbreviationReadings(lower); !readings.isEmpty())
        return readings;
    if (lower.front().isDigit()) {
        QList<QStringList> readings;
        for (const QString& reading : NumberReadings(lower))
            readings << reading.split(QLatin1Char(' '));
        if (!readings.isEmpty())
            return readings;
    }
    // Hyphens and dots part spoken words ("well-known", "U.K"); a part that
    // mixes letters and digits ("MP3", "4-year") has its digits read apart.
    QStringList words;
    static const QRegularExpression parts(QStringLiteral("[^-.]+"));
    static const QRegularExpression runs(QStringLiteral("\\d+|[^\\d]+"));
    for (auto part = parts.globalMatch(lower); part.hasNext();) {
        for (auto run = runs.globalMatch(part.next().captured()); run.hasNext();) {
            const QString piece = run.next().captured();
            if (piece.front().isDigit()) {
                const QStringList numbers = NumberReadings(piece);
                if (!numbers.isEmpty())
                    words << numbers.first().split(QLatin1Char(' '));
            } else {
                words << piece;
            }
        }
    }
    return {words};
}

} // namespace

std::vector<TextToken> SpokenTokens(const QString& sentence)
{
    static const QRegularExpression token(QStringLiteral(
        "[\\p{Latin}\\p{N}]+(?:(?:['\\x{2019}\\-]|[.,](?=\\p{N})|\\.(?=\\p{Latin}))[\\p{Latin}\\p{N}]+)*"));
    std::vector<TextToken> tokens;
    for (auto it = token.globalMatch(sentence); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QList<QStringList> readings = Readings(m.captured());
        if (readings.isEmpty() || readings.front().isEmpty())
            continue;
        tokens.push_back({m.captured(), m.capturedStart(), std::move(readings)});
    }
    return tokens;
}

SpokenSentences SpokenTokensOf(const QStringList& sentences)
{
    SpokenSentences out;
    for (const QString& sentence : sentences) {
        out.firstToken.push_back(int(out.tokens.size()));
        for (TextToken& t : SpokenTokens(sentence))
            out.tokens.push_back(std::move(t));
    }
    out.firstToken.push_back(int(out.tokens.size()));
    return out;
}
