#pragma once

#include <QString>

// A new folder made beside `target` and moved into its place by commit(),
// so that the target is never seen half-written. An existing target is
// replaced only when it is a course data folder (it holds qor.db) or empty:
// a mistyped path never wipes unrelated files. Removed unless committed.
// Single-threaded.
class StagingFolder {
public:
    explicit StagingFolder(const QString& target);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Whether `target` may be replaced: absent, empty, or holding qor.db.
    static bool canReplace(const QString& target, QString& error);

    bool create(QString& error);
    QString path() const { return m_path; }
    bool commit(QString& error);

private:
    QString m_target;
    QString m_path;
    bool m_committed = false;
};
