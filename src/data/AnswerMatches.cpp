#include "data/AnswerMatches.h"

namespace {

// The ASCII letters of `text`, upper-cased, in their order. Trimming and a
// whole-text comparison first would change nothing: equal texts have equal
// letters.
QString Letters(const QString& text)
{
    QString letters;
    letters.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            letters.append(QChar(u - u'a' + u'A'));
        else if (u >= u'A' && u <= u'Z')
            letters.append(c);
    }
    return letters;
}

} // namespace

bool AnswerMatches(const QString& expected, const QString& given)
{
    return Letters(expected) == Letters(given);
}
