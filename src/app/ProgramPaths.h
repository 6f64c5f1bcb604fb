#pragma once

#include <QString>

// Where the program and its data live. Set once at start-up, read-only after;
// any thread may read them once set.

// The folder of `programFile`, always ending in exactly one '/'.
QString AppDirOf(const QString& programFile);

// AppDir + "Data/".
QString DataDirOf(const QString& appDir);

// The lesson database inside `dataDir` ("qor.db" in any letter case), or an
// empty string when there is none.
QString FindDatabaseFile(const QString& dataDir);

// The help to open from the menu: AppDir + "qorHelp.chm" when it exists
// (any letter case), otherwise our own guide installed beside the program.
QString HelpFileOf(const QString& appDir);

// The program-wide copies, set by the start-up before any window exists.
void SetProgramPaths(const QString& appDir);
const QString& AppDir();
const QString& DataDir();
