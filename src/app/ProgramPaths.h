#pragma once

#include <QString>

// Where the program and its data live. Set once at start-up, read-only after;
// any thread may read them once set.

// `folder` ending in '/': the form every folder path here is kept in.
QString WithTrailingSlash(QString folder);

// The folder of `programFile`, always ending in exactly one '/'.
QString AppDirOf(const QString& programFile);

// AppDir + "Data/": the portable layout's data folder.
QString DataDirOf(const QString& appDir);

// The folder an install puts the guide and the sample course in
// (<prefix>/share/veltra/ for a program in <prefix>/bin/), ending in '/'.
QString InstalledShareOf(const QString& appDir);

// The lesson database inside `dataDir` ("qor.db" in any letter case), or an
// empty string when there is none.
QString FindDatabaseFile(const QString& dataDir);

// The help to open from the menu: AppDir + "qorHelp.chm" when it exists
// (any letter case), otherwise our own guide: beside the program in the
// build folder, or where an install put it.
QString HelpFileOf(const QString& appDir);

// The program-wide copies, set by the start-up before any window exists.
void SetProgramPaths(const QString& appDir, const QString& dataDir);
const QString& AppDir();
const QString& DataDir();
