#include "speech/SentenceSplitter.h"

#include <QRegularExpression>

namespace {

// Words after which a full stop does not end the sentence. Compared without
// regard to case, without the stop itself.
const QStringList kAbbreviations = {
    QStringLiteral("mr"),   QStringLiteral("mrs"),  QStringLiteral("ms"),  QStringLiteral("dr"),
    QStringLiteral("st"),   QStringLiteral("prof"), QStringLiteral("jr"),  QStringLiteral("sr"),
    QStringLiteral("mt"),   QStringLiteral("vs"),   QStringLiteral("e.g"), QStringLiteral("i.e"),
    QStringLiteral("fig"),  QStringLiteral("cf"),
};

bool IsClosing(QChar c)
{
    return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == u'\u201D' || c == u'\u2019' || c == u'\u00BB';
}

bool IsOpening(QChar c)
{
    return c == u'"' || c == u'\'' || c == u'(' || c == u'[' || c == u'\u201C' || c == u'\u2018' || c == u'\u00AB';
}

bool IsTerminal(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u'\u2026';
}

// The word that ends just before position `stop` (a full stop), as typed.
QString WordBefore(const QString& text, qsizetype stop)
{
    qsizetype begin = stop;
    while (begin > 0 && !text[begin - 1].isSpace() && !IsOpening(text[begin - 1]))
        --begin;
    return text.mid(begin, stop - begin);
}

// Whether the full stop at `stop` belongs to the word before it.
bool StopBelongsToWord(const QString& text, qsizetype stop)
{
    const QString word = WordBefore(text, stop);
    if (word.isEmpty())
        return false;
    if (kAbbreviations.contains(word, Qt::CaseInsensitive))
        return true;
    // "No. 5" is a number; "No. It isn't." is an answer.
    if (word.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
        return stop + 2 < text.size() && text[stop + 1].isSpace() && text[stop + 2].isDigit();
    // An initial: one capital letter, as in "J. K. Rowling" or "U.S.".
    const QString last = word.section(QLatin1Char('.'), -1);
    return last.size() == 1 && last[0].isUpper();
}

// Whether a new sentence may start at `pos` (after the blanks).
bool StartsSentence(const QString& text, qsizetype pos)
{
    if (pos >= text.size())
        return true;
    const QChar c = text[pos];
    return c.isUpper() || c.isDigit() || IsOpening(c) || c.script() == QChar::Script_Han;
}

// Splits one run of text (no line breaks) at its sentence ends.
void SplitRun(const QString& run, QStringList& out)
{
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < run.size()) {
        if (!IsTerminal(run[i])) {
            ++i;
            continue;
        }
        const qsizetype mark = i;
        while (i < run.size() && IsTerminal(run[i]))
            ++i;
        const qsizetype marksEnd = i;
        while (i < run.size() && IsClosing(run[i]))
            ++i;
        if (i < run.size() && !run[i].isSpace())
            continue;  // "3.5", "e.g.,", "U.S.A"
        qsizetype next = i;
        while (next < run.size() && run[next].isSpace())
            ++next;
        const QStringView marks = QStringView(run).mid(mark, marksEnd - mark);
        // A trailing-off "..." pauses inside the sentence.
        if (marks.startsWith(QLatin1String("..")) || marks.startsWith(QChar(0x2026)))
            continue;
        if (marks.size() == 1 && marks[0] == u'.' && StopBelongsToWord(run, mark))
            continue;
        if (!StartsSentence(run, next))
            continue;
        const QString sentence = run.mid(start, i - start).simplified();
        if (!sentence.isEmpty())
            out << sentence;
        start = next;
        i = next;
    }
    const QString rest = run.mid(start).simplified();
    if (!rest.isEmpty())
        out << rest;
}

bool EndsWithClosingPunctuation(const QString& line)
{
    qsizetype i = line.size() - 1;
    while (i >= 0 && IsClosing(line[i]))
        --i;
    return i >= 0 && (IsTerminal(line[i]) || line[i] == u':' || line[i] == u';');
}

} // namespace

QString NormalizedText(const QString& text)
{
    QString out = text;
    if (out.startsWith(QChar(0xFEFF)))
        out.remove(0, 1);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QStringList SplitSentences(const QString& text)
{
    const QStringList lines = NormalizedText(text).split(QLatin1Char('\n'));
    QStringList out;
    QString run;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty()) {
            SplitRun(run, out);
            run.clear();
            continue;
        }
        run += run.isEmpty() ? line : QLatin1Char(' ') + line;
        // A wrapped line goes on in lower case on the next line.
        const QString next = i + 1 < lines.size() ? lines[i + 1].trimmed() : QString();
        const bool wraps = !EndsWithClosingPunctuation(line) && !next.isEmpty() && next[0].isLower();
        if (!wraps) {
            SplitRun(run, out);
            run.clear();
        }
    }
    SplitRun(run, out);
    return out;
}

QString FirstSentence(const QString& text)
{
    return SplitSentences(text).value(0);
}

QStringList TranslationLines(const QString& text)
{
    QStringList out;
    for (const QString& line : NormalizedText(text).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            out << trimmed;
    }
    return out;
}
