#pragma once

#include <QString>

// Copies what the program reads besides the database from an old data
// folder into a new one, under the names the program looks for: the folders
// qor1..qor4 with their *.qor and *.qow containers (extensions in lower
// case) and the files PDFont1.ttf, tmpwav.wav and qorHelp.chm when present.
// Names in the old folder may be in any letter case; where two differ only
// in case, the one spelled as the program spells it wins. `summary` says
// what was copied. Reads and writes the file system only.
bool CopyDataFolderFiles(const QString& oldDir, const QString& newDir, QString& summary, QString& error);
