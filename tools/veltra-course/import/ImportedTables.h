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

enum class TablesWritten {
    Written,
    ReadFailed,   // the old database is damaged or not a course's: `error` says where
    WriteFailed,  // the new file could not be written: `error` is the database's reason
    DiskFull,     // the disk holding the new file is full
    Stopped,      // `stop` said so
};

// Writes a new qor.db at `path` with our schema and copies into it every
// row of each of its tables from `access`, field by field as stored. After
// each table `tableDone` gets its counts. At the end every table is counted
// again in the committed file; any difference from the rows read, or from
// the count the Access table states, fails the import. `stop` is asked
// after each row. Uses a connection of its own, opened and closed inside
// the call.
TablesWritten WriteImportedTables(AccessFile& access, const QString& path,
                                  const std::function<void(const TableCount&)>& tableDone,
                                  const std::function<bool()>& stop, QString& error);
