#include "ImportCommand.h"

#include "CommandLine.h"
#include "CourseImport.h"

#include <QElapsedTimer>

#include <cstdio>

int RunImport(QStringList args)
{
    ImportOptions options;
    options.replace = TakeFlag(args, QStringLiteral("--replace"));
    if (args.size() != 2)
        return UsageError(QStringLiteral("import needs OLD_DATA_DIR and NEW_DATA_DIR"));

    QElapsedTimer clock;
    clock.start();
    QString error;
    const ImportResult result = ImportCourse(args.at(0), args.at(1), options, [](const QString& line) {
        Print(line + QLatin1Char('\n'));
        // Line by line, for a reader following the progress through a pipe.
        std::fflush(stdout);
    }, error);
    switch (result) {
    case ImportResult::Imported:
        Print(QStringLiteral("Imported %1 into %2 in %3 s; every table's row counts match\n")
                  .arg(args.at(0), args.at(1))
                  .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
        return ExitOk;
    case ImportResult::BadInput:
        return UsageError(error);
    case ImportResult::Failed:
        break;
    }
    return Failure(error);
}
