#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Whole files: the new content goes to a new name beside the file and takes
// the file's name only once complete, so a file is never seen half-written
// and a failed write leaves the old one and nothing of the new. A symbolic
// link is written through. Callable from any thread.

struct WholeFileOptions {
    // Synced before it takes its name. Off for a file in a staging folder
    // that is synced as a whole once everything is in it.
    bool sync = true;
    // Mode bits of a new file, before the umask takes its share; a file that
    // is replaced keeps its own.
    unsigned permissions = 0666;
};

// Why a whole file was not written: the system's error number and its
// reason as the system words it. A code of 0: written.
struct WholeFileFailure {
    int code = 0;
    QString reason;

    bool failed() const { return code != 0; }
};

WholeFileFailure WriteWholeFile(const QString& path, const QByteArray& bytes, const WholeFileOptions& options = {});

// The file `from` copied as the whole file `path`, in pieces (by the kernel
// where the file systems let it). `stop`, when given, is asked between
// pieces; true ends the copy with ECANCELED.
WholeFileFailure CopyWholeFile(const QString& from, const QString& path, const WholeFileOptions& options = {},
                               const std::function<bool()>& stop = {});

// WriteWholeFile with the defaults, for callers that need only the reason:
// empty when written.
QString SaveWholeFile(const QString& path, const QByteArray& bytes);
