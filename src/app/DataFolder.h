#pragma once

#include <QString>
#include <QStringList>

// Which data folder the program uses, and the first start of an installed
// program. Called by the start-up on the GUI thread.

// Reads the command line (`arguments` with the program first): "--data DIR"
// or "--data=DIR" names the data folder, which is left empty otherwise. False
// after showing a message for anything else on it.
bool ReadDataOption(const QStringList& arguments, QString& dataDir);

// True when `dataDir` holds a lesson database: qor.db, or an old qor.mdb that
// the start-up offers to import (names in any letter case).
bool HoldsDatabase(const QString& dataDir);

// The data folder, first match wins: `requested` (the --data option) when not
// empty; AppDir + "Data/" when it holds a database (the portable layout);
// otherwise `userDataDir`. The result ends in '/'.
QString ChooseDataDir(const QString& requested, const QString& appDir, const QString& userDataDir);

// The user's own data folder: $XDG_DATA_HOME/veltra/Data/.
QString UserDataDir();

// First start on the user's folder: when `dataDir` holds no database and
// `sampleDir` holds the installed sample course, copies the course into
// `dataDir` and says so once, naming the folder and the command that turns
// an old data folder into one for it (`courseTool` import). False only when
// the copy failed; its message has been shown and nothing half-copied can be
// taken for a database.
bool ProvideSampleCourse(const QString& dataDir, const QString& sampleDir, const QString& courseTool);
