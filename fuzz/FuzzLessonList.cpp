// Any text as a lesson list expression: the result is invalid or a list of
// at most the capped count of plain numbers.
#include "export/LessonList.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QString> list = ExpandLessonList(input);
    if (!list || list->isEmpty())
        return 0;
    const QStringList numbers = list->split(QLatin1Char(','));
    if (numbers.size() > kMaxLessonListNumbers)
        std::abort();
    for (const QString& n : numbers) {
        bool ok = false;
        if (n.isEmpty() || n.toInt(&ok) < 0 || !ok)
            std::abort();
    }
    return 0;
}
