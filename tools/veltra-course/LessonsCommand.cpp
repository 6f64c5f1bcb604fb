#include "LessonsCommand.h"

#include "CommandLine.h"
#include "export/LessonList.h"

int RunLessons(QStringList args)
{
    if (args.size() != 1)
        return UsageError(QStringLiteral("lessons needs exactly one EXPR"));
    const std::optional<QString> list = ExpandLessonList(args.first());
    if (!list)
        return UsageError(InvalidLessonListMessage());
    Print(*list + QLatin1Char('\n'));
    return ExitOk;
}
