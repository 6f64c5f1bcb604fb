#pragma once

#include "ImportText.h"

#include <QString>

// The folders of an import, as checked before anything is read or written.
struct ImportFolders {
    QString mdb;              // the old database, as spelled in the old folder
    bool sameFolder = false;  // the new folder is the old one
    QString replacedDb;       // the new folder's qor.db, which the import replaces
};

// The old folder must hold qor.mdb. The new one may be the old one, or new,
// empty or an earlier data folder; one holding qor.db needs `replace`. The
// folders the import writes in must be writable: the new folder and,
// unless it is the old one, the folder its staging folder is made in,
// beside it. False with `message` saying why.
bool CheckImportFolders(const QString& oldDir, const QString& newDir, bool replace, ImportFolders& folders,
                        ImportText& message);
