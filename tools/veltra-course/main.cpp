// veltra-course: tools for course authors.
#include "AuthorCommand.h"
#include "BuildCommand.h"
#include "CheckCommand.h"
#include "CipherCommands.h"
#include "CommandLine.h"
#include "ImportCommand.h"
#include "ContainerCommands.h"
#include "ExportCommand.h"
#include "LessonsCommand.h"
#include "PlayCommand.h"
#include "StoreCommands.h"

#include <QCoreApplication>
#include <QStringList>

#include <vector>

namespace {

struct Command {
    const char* name;
    const char* usage;  // shown by --help, one or more lines
    int (*run)(QStringList args);
};

// Each sub-command lives in a file of its own and adds one row here.
const std::vector<Command> kCommands = {
    {"build", kBuildUsage, RunBuild},
    {"import", kImportUsage, RunImport},
    {"author", kAuthorUsage, RunAuthor},
    {"check", kCheckUsage, RunCheck},
    {"encode", kEncodeUsage, RunEncode},
    {"decode", kDecodeUsage, RunDecode},
    {"pack", kPackUsage, RunPack},
    {"unpack", kUnpackUsage, RunUnpack},
    {"lessons", kLessonsUsage, RunLessons},
    {"export", kExportUsage, RunExport},
    {"play", kPlayUsage, RunPlay},
    {"show", kShowUsage, RunShow},
    {"option", kOptionUsage, RunOption},
    {"due", kDueUsage, RunDue},
};

void PrintHelp()
{
    QString text = QStringLiteral(
        "Usage: veltra-course COMMAND [ARGS]\n"
        "       veltra-course --version\n"
        "Tools for authors of Veltra courses.\n\n"
        "Commands:\n");
    for (const Command& c : kCommands)
        text += QString::fromUtf8(c.usage);
    text += QStringLiteral(
        "\nExit codes: 0 success, 1 the operation failed, 2 bad arguments or input,\n"
        "128+N a long command (build, import, author, export) stopped by signal N\n"
        "(SIGTERM, SIGINT, SIGHUP); it leaves no file half-written.\n"
        "Progress lines read \"[STEP/STEPS] KEY\" or \"[STEP/STEPS] KEY: DETAIL\"; a\n"
        "failure a program should tell apart reads \"veltra-course: [KEY] REASON\".\n");
    Print(text);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return UsageError(QStringLiteral("no command given"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintHelp();
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        Print(QStringLiteral("veltra-course " VELTRA_VERSION "\n"));
        return ExitOk;
    }
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    return UsageError(QStringLiteral("unknown command '%1'").arg(name));
}
