#pragma once

#include "data/WordAlignment.h"

#include <QList>
#include <QString>

// What the dictation exercises show after a wrong answer. Pure: callable
// from any thread.

// A wrong word: the typed text, a blank and the expected word in brackets
// ("aple (Apple)").
QString WithExpectedWord(const QString& given, const QString& expected);

// A wrong sentence: the typed text with one more line, the expected sentence
// in brackets, and where in that text the expected words lie that the
// learner left out or misspelt.
struct MarkedSentence {
    QString text;
    QList<TextSpan> missed;
};
MarkedSentence WithExpectedSentence(const QString& given, const QString& expected);
