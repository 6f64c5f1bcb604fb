#include "data/ExerciseMarking.h"

QString WithExpectedWord(const QString& given, const QString& expected)
{
    return given + QStringLiteral(" (") + expected + u')';
}

MarkedSentence WithExpectedSentence(const QString& given, const QString& expected)
{
    MarkedSentence marked;
    marked.text = given;
    if (!given.isEmpty() && !given.endsWith(u'\n'))
        marked.text += u'\n';
    const int lineStart = static_cast<int>(marked.text.size()) + 1;  // after "("
    marked.text += u'(' + expected + u')';
    for (TextSpan span : MissedWords(expected, given)) {
        span.start += lineStart;
        marked.missed.append(span);
    }
    return marked;
}
