// Any expected sentence and any typed answer (split at the first NUL byte):
// the marked text keeps the answer and adds one bracketed line, and every
// reported word lies inside that line and holds a letter.
#include "data/ExerciseMarking.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool HasLetter(const QString& text)
{
    for (QChar c : text) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto* split = static_cast<const char*>(std::memchr(bytes, 0, size));
    const std::size_t expectedSize = split ? std::size_t(split - bytes) : size;
    const QString expected = QString::fromUtf8(bytes, qsizetype(expectedSize));
    const QString given = split ? QString::fromUtf8(split + 1, qsizetype(size - expectedSize - 1)) : QString();

    const MarkedSentence marked = WithExpectedSentence(given, expected);
    const QString line = u'(' + expected + u')';
    if (!marked.text.startsWith(given) || !marked.text.endsWith(line))
        std::abort();
    const qsizetype lineStart = marked.text.size() - line.size();
    for (const TextSpan& span : marked.missed) {
        if (span.length <= 0 || span.start <= lineStart || span.start + span.length >= marked.text.size())
            std::abort();
        if (!HasLetter(marked.text.mid(span.start, span.length)))
            std::abort();
    }
    // An answer typed exactly as expected misses nothing.
    if (!WithExpectedSentence(expected, expected).missed.isEmpty())
        std::abort();
    return 0;
}
