#pragma once

#include "ImportText.h"

#include <QString>

#include <functional>

// Turns an old data folder (qor.mdb, qor1..qor4 with the containers, the
// optional font, recorder file and help file) into one the program reads:
// qor.db with every row of every table of the schema, values as stored
// (enciphered text byte for byte), plus copies of the containers and the
// optional files under the names the program looks for. The old folder is
// never changed. Everything is built in a staging folder and put in place
// only when complete, checked and on the disk; an interrupted import leaves
// nothing half-written. Single-threaded.
struct ImportOptions {
    // An existing qor.db in the new folder is replaced; what it replaces is
    // kept beside it under a dated name.
    bool replace = false;
    // Asked after each row and between pieces of each copied file: true
    // stops the import, which then removes what it had written.
    std::function<bool()> stop;
};

enum class ImportResult {
    Imported,
    BadInput,  // the folders given cannot be used; nothing was written
    Failed,    // the database is damaged or writing failed; nothing was changed
    Stopped,   // `stop` said so; nothing was changed
};

// `oldDir` and `newDir` may be the same folder: qor.db is then added beside
// the old files, staged inside that folder, so nothing outside it is needed
// (it may be the root of its own file system, or its parent read-only).
// Each finished step is handed to `report` as one line, "[step/steps] ...".
// On BadInput or Failed, `message` says why; on Imported, where what was
// replaced is kept (empty when nothing was replaced).
ImportResult ImportCourse(const QString& oldDir, const QString& newDir, const ImportOptions& options,
                          const std::function<void(const ImportText&)>& report, ImportText& message);
