#pragma once

#include <QString>
#include <QStringList>

// Which data folder the program uses, and the first start of an installed
// program. Called by the start-up on the GUI thread.

// What the start-up does after reading its command line.
enum class CommandLine {
    Run,       // start, on the folder read (empty: look it up)
    Answered,  // --help or --version: the answer went to standard output; end with 0
    Refused,   // a message said what is wrong; end with 1
};

// The usage line, as --help prints it and the refusal quotes it.
inline constexpr char kUsage[] = "用法：veltra [--data 数据文件夹] [--version]";

// Reads the command line (`arguments` with the program first): "--data DIR"
// or "--data=DIR" names the data folder, which is left empty otherwise;
// "--help" or "-h" asks for the usage, "--version" for the version. Anything
// else is refused with a message.
CommandLine ReadCommandLine(const QStringList& arguments, QString& dataDir);

// True when ReadCommandLine would only answer (--help, --version): that needs
// no window system, so a terminal without a screen gets its answer too.
bool AnswersWithoutWindows(const QStringList& arguments);

// True when `dataDir` holds a lesson database: qor.db, or an old qor.mdb that
// the start-up offers to import (names in any letter case).
bool HoldsDatabase(const QString& dataDir);

// The data folder, first match wins: `requested` (the --data option) when not
// empty; AppDir + "Data/" when it holds a database (the portable layout);
// otherwise `userDataDir`. The result ends in '/'.
QString ChooseDataDir(const QString& requested, const QString& appDir, const QString& userDataDir);

// The message for a data folder named on the command line (`requested`,
// chosen as `dataDir`) that is not there or not a folder, naming it; empty
// when it is a folder or none was named.
QString MissingFolderMessage(const QString& requested, const QString& dataDir);

// The user's own data folder: $XDG_DATA_HOME/veltra/Data/.
QString UserDataDir();

// First start on the user's folder: when `dataDir` holds no database and
// `sampleDir` holds the installed sample course, copies the course into
// `dataDir` and says so once, naming the folder and the command that turns
// an old data folder into one for it (`courseTool` import). False only when
// the copy failed; its message has been shown and nothing half-copied can be
// taken for a database.
bool ProvideSampleCourse(const QString& dataDir, const QString& sampleDir, const QString& courseTool);
