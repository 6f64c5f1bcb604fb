#pragma once

#include <QString>

// Finds files inside the data folder without regard to letter case, because
// data folders copied from Windows mix cases ("Qor.mdb", "QOR2/15.QOR").
// Reads the file system only: callable from any thread.

// The real path of `relativePath` ('/' or '\' separated) under `dataDir`, or an
// empty string when nothing matches. Absolute paths and "." or ".." parts are
// refused so a lookup never leaves the data folder. Where several entries
// differ only in case, the exact spelling wins, else the first in name order.
QString ResolveDataPath(const QString& dataDir, const QString& relativePath);

// Relative paths of a lesson container ("qor2/15.qor") and of a word
// container ("qor2/1234.qow"), for ResolveDataPath.
QString LessonContainerPath(int book, int lesson);
QString WordContainerPath(int book, int wordId);
