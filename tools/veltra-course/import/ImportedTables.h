#pragma once

#include "AccessFile.h"

#include <QList>
#include <QString>

#include <functional>

struct TableCount {
    QString table;
    qint64 read = 0;
    qint64 written = 0;
};

// Writes a new qor.db at `path` with our schema and copies into it every
// row of each of its tables from `access`, field by field as stored. After
// each table `tableDone` gets its counts. At the end every table is counted
// again in the committed file; any difference from the rows read, or from
// the count the Access table states, fails the import. Uses a connection
// of its own, opened and closed inside the call.
bool WriteImportedTables(AccessFile& access, const QString& path,
                         const std::function<void(const TableCount&)>& tableDone, QString& error);
