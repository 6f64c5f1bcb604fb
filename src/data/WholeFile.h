#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` as the file `path`, replacing a file of that name only once
// the new content is complete. Empty when written; otherwise the system's
// reason (a full disk, no write permission, a folder of that name), and
// nothing of the new content is left. Callable from any thread.
QString SaveWholeFile(const QString& path, const QByteArray& bytes);
