#pragma once

#include "analysis/FrameEnergy.h"

#include <QString>
#include <QStringList>

#include <vector>

// A word of the model on the model's time line, in seconds.
struct PlacedWord {
    QString text;
    double begin = 0;
    double end = 0;
};

// The words of a sentence or word as they are shown: cut at blanks, with the
// punctuation around each dropped ("Mr." stays "Mr", "don't" stays whole).
QStringList ModelWords(const QString& text);

// `words` spread over begin..end seconds, each taking a share in proportion
// to its letters (plus one, for the gap that follows it).
std::vector<PlacedWord> SpreadWordsByLength(const QStringList& words, double begin, double end);

// The model's words spread by length over its speech: where they lie when
// the speech recogniser cannot say. Pure: callable from any thread.
std::vector<PlacedWord> PlaceModelWords(const QString& text, const std::vector<float>& modelVoice, FrameRange speech);
