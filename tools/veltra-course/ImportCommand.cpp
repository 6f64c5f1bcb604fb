#include "ImportCommand.h"

#include "CommandLine.h"
#include "CourseImport.h"
#include "StopRequest.h"

#include <QElapsedTimer>

int RunImport(QStringList args)
{
    ImportOptions options;
    options.replace = TakeFlag(args, QStringLiteral("--replace"));
    const bool chinese = TakeFlag(args, QStringLiteral("--chinese"));
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-"))
            return UsageError(QStringLiteral("import: unknown option %1").arg(arg));
    if (args.size() != 2)
        return UsageError(QStringLiteral("import needs OLD_DATA_DIR and NEW_DATA_DIR"));
    auto text = [chinese](const ImportText& t) { return chinese ? t.chinese : t.english; };

    InstallStopRequest();
    options.stop = StopRequested;
    QElapsedTimer clock;
    clock.start();
    ImportText message;
    const ImportResult result = ImportCourse(args.at(0), args.at(1), options,
                                             [&](const ImportText& line) { PrintLine(text(line)); }, message);
    const QString seconds = QString::number(clock.elapsed() / 1000.0, 'f', 1);
    switch (result) {
    case ImportResult::Imported: {
        ImportText done{
            QStringLiteral("Imported %1 into %2 in %3 s; every table's row counts match").arg(args.at(0), args.at(1), seconds),
            QStringLiteral("已把 %1 转换到 %2，用时 %3 秒；每个表的行数都相符").arg(args.at(0), args.at(1), seconds)};
        if (!message.isEmpty()) {
            done.english += QStringLiteral("; ") + message.english;
            done.chinese += QStringLiteral("；") + message.chinese;
        }
        Print(text(done) + QLatin1Char('\n'));
        return ExitOk;
    }
    case ImportResult::BadInput:
        return UsageError(text(message));
    case ImportResult::Failed:
        if (!StopRequested())
            return Failure(text(message));
        break;
    case ImportResult::Stopped:
        break;
    }
    return Stopped(text({QStringLiteral("stopped; nothing was written"), QStringLiteral("已停止，没有写入任何文件")}));
}
