#include "ImportCommand.h"

#include "CommandLine.h"
#include "CourseImport.h"

#include <QElapsedTimer>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t g_stopSignal = 0;

extern "C" void NoteStopSignal(int signal)
{
    g_stopSignal = signal;
}

// A signal stops the import at its next row or piece of a file, so the
// staging folder goes with it; then the signal takes its usual course.
class StopSignals {
public:
    StopSignals()
    {
        struct sigaction action {};
        action.sa_handler = NoteStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : kStopSignals)
            sigaction(signal, &action, nullptr);
    }
    ~StopSignals()
    {
        for (int signal : kStopSignals)
            std::signal(signal, SIG_DFL);
        if (g_stopSignal != 0)
            std::raise(g_stopSignal);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
};

} // namespace

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

    const StopSignals stopSignals;
    options.stop = [] { return g_stopSignal != 0; };
    QElapsedTimer clock;
    clock.start();
    ImportText message;
    const ImportResult result = ImportCourse(args.at(0), args.at(1), options, [&](const ImportText& line) {
        Print(text(line) + QLatin1Char('\n'));
        // Line by line, for a reader following the progress through a pipe.
        std::fflush(stdout);
    }, message);
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
        return Failure(text(message));
    case ImportResult::Stopped:
        break;
    }
    return Failure(text({QStringLiteral("stopped; nothing was written"), QStringLiteral("已停止，没有写入任何文件")}));
}
