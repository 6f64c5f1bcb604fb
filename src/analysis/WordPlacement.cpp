#include "analysis/WordPlacement.h"

#include "analysis/AnalysisVoice.h"

#include <QRegularExpression>

QStringList ModelWords(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList words;
    for (const QString& piece : text.split(blanks, Qt::SkipEmptyParts)) {
        qsizetype from = 0;
        qsizetype to = piece.size();
        while (from < to && !piece.at(from).isLetterOrNumber())
            ++from;
        while (to > from && !piece.at(to - 1).isLetterOrNumber())
            --to;
        if (to > from)
            words << piece.mid(from, to - from);
    }
    return words;
}

std::vector<PlacedWord> SpreadWordsByLength(const QStringList& words, double begin, double end)
{
    std::vector<PlacedWord> placed;
    double total = 0;
    for (const QString& w : words)
        total += double(w.size()) + 1.0;
    if (words.isEmpty() || end <= begin)
        return placed;
    double at = begin;
    for (const QString& w : words) {
        // The gap's share lies after the word, except after the last one.
        const double share = (end - begin) * (double(w.size()) + 1.0) / total;
        const double wordLength = &w == &words.last() ? end - at : share * double(w.size()) / (double(w.size()) + 1.0);
        placed.push_back({w, at, at + wordLength});
        at += share;
    }
    return placed;
}

std::vector<PlacedWord> PlaceModelWords(const QString& text, const std::vector<float>& modelVoice, FrameRange speech)
{
    if (speech.Empty())
        speech = {0, FrameCount(modelVoice.size()) - 1};
    return SpreadWordsByLength(ModelWords(text), speech.first * kFrameSeconds, (speech.last + 1) * kFrameSeconds);
}
