#pragma once

#include "ImportText.h"

#include <QString>
#include <QStringList>

#include <functional>

struct CopiedFiles {
    int books = 0;       // book folders qor1..qor4 found
    int containers = 0;  // *.qor and *.qow copied
    QStringList files;   // the optional files copied
};

// Copies what the program reads besides the database from an old data
// folder into `stagingDir`, under the names the program looks for: the
// folders qor1..qor4 with their *.qor and *.qow containers (extensions in
// lower case) and the files PDFont1.ttf, tmpwav.wav and qorHelp.chm when
// present. Names in the old folder may be in any letter case; where two
// differ only in case, the one spelled as the program spells it wins.
//
// The copies are not synced one by one: the caller syncs the staging folder
// once. A failure names the folder the user asked for, `shownDir`, rather
// than the staging folder. `stop` is asked between pieces of a file; true
// ends the copy with false and an empty `error`. Reads and writes the file
// system only.
bool CopyDataFolderFiles(const QString& oldDir, const QString& stagingDir, const QString& shownDir,
                         const std::function<bool()>& stop, CopiedFiles& copied, ImportText& error);
