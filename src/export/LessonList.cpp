#include "export/LessonList.h"

#include <QStringList>

#include <utility>

namespace {

// Trims characters up to the blank, as the learner's pasted text may hold tabs
// or line breaks around the numbers.
QString Trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= u' ')
        ++begin;
    while (end > begin && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

// A non-empty run of decimal digits whose value fits a signed 32-bit integer.
std::optional<qint64> ParseNumber(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > 0x7FFFFFFF)
            return std::nullopt;
    }
    return value;
}

} // namespace

QString InvalidLessonListMessage()
{
    return QStringLiteral("您选择的课程无效，请重新选择！");
}

std::optional<QString> ExpandLessonList(const QString& input)
{
    QStringList numbers;
    const QStringList items = input.split(QLatin1Char(','));
    for (const QString& raw : items) {
        const QString item = Trimmed(raw);
        if (item.isEmpty())
            continue;
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        if (dash < 0) {
            if (!ParseNumber(item))
                return std::nullopt;
            numbers.append(item);
        } else {
            std::optional<qint64> first = ParseNumber(Trimmed(QStringView(item).left(dash)));
            std::optional<qint64> last = ParseNumber(Trimmed(QStringView(item).mid(dash + 1)));
            if (!first || !last)
                return std::nullopt;
            if (*first > *last)
                std::swap(first, last);
            if (*last - *first + 1 > kMaxLessonListNumbers - numbers.size())
                return std::nullopt;
            for (qint64 n = *first; n <= *last; ++n)
                numbers.append(QString::number(n));
        }
        if (numbers.size() > kMaxLessonListNumbers)
            return std::nullopt;
    }
    return numbers.join(QLatin1Char(','));
}

bool IsLessonListKey(QChar typed)
{
    const char16_t c = typed.unicode();
    return c == 8 || c == u'%' || c == u'\'' || c == u',' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9');
}
