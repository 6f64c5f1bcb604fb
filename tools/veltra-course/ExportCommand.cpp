#include "ExportCommand.h"

#include "CommandLine.h"
#include "StopRequest.h"
#include "data/DMUnit.h"
#include "export/LessonExport.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString WrittenLine(const ExportedFiles& files)
{
    const QString lrc = QFileInfo(files.lrc).fileName();
    if (files.mp3.isEmpty())
        return lrc + QStringLiteral(" (no recording: the lesson's container is missing or damaged)");
    return QFileInfo(files.mp3).fileName() + QLatin1Char(' ') + lrc;
}

} // namespace

int RunExport(QStringList args)
{
    QString book;
    QString expression;
    QString error;
    const bool hasBook = TakeOption(args, QStringLiteral("--book"), book, error);
    const bool hasLessons = error.isEmpty() && TakeOption(args, QStringLiteral("--lessons"), expression, error);
    const bool standardTimes = TakeFlag(args, QStringLiteral("--standard-times"));
    if (!error.isEmpty())
        return UsageError(error);
    if (!hasBook || !hasLessons || args.size() != 2)
        return UsageError(QStringLiteral("export needs DATA_DIR, --book B, --lessons EXPR and OUT_DIR"));
    bool ok = false;
    const int bookNumber = book.toInt(&ok, 10);
    if (!ok || bookNumber < 1 || bookNumber > 4)
        return UsageError(QStringLiteral("--book needs a book number from 1 to 4"));
    const QString outDir = args.at(1);
    if (!QFileInfo(outDir).isDir())
        return UsageError(QStringLiteral("'%1' is not a folder").arg(outDir));

    TDM dm(args.at(0));  // a failed connection has printed its message
    if (!dm.IsConnected())
        return ExitFailed;
    const ExportChoice choice = ChooseExportLessons(dm.Database(), bookNumber, expression);
    if (choice.outcome != ExportOutcome::Done)
        return Failure(ExportMessage({choice.outcome, {}, {}}));
    InstallStopRequest();
    // A lesson at a time, so a stop falls between lessons: every file is whole.
    for (qsizetype i = 0; i < choice.lessons.size(); ++i) {
        if (StopRequested()) {
            return Stopped(
                QStringLiteral("stopped after %1 of %2 lessons; their files stay").arg(i).arg(choice.lessons.size()));
        }
        const ExportResult result =
            ExportLessons(dm.Database(), dm.DataDir(), {choice.lessons[i]}, outDir,
                          standardTimes ? LrcTimeStyle::Standard : LrcTimeStyle::Lesson,
                          [](const ExportLesson&, const ExportedFiles& files) { PrintLine(WrittenLine(files)); });
        if (result.outcome != ExportOutcome::Done)
            return Failure(ExportMessage(result));
    }
    return ExitOk;
}
