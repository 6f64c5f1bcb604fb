#pragma once

#include <QString>

// A new folder made beside `target` and moved into its place by commit(),
// so that the target is never seen half-written. An existing target is
// replaced only when it is a course data folder (it holds qor.db) or empty:
// a mistyped path never wipes unrelated files. Removed unless committed.
// While it exists it holds a lock, so a later run can tell a staging folder
// left behind by a killed run from one still in use, and removes the former.
// Single-threaded.
class StagingFolder {
public:
    explicit StagingFolder(const QString& target);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Whether `target` may be replaced: absent, empty, or holding qor.db.
    static bool canReplace(const QString& target, QString& error);

    // Checks canReplace, then creates the folder.
    bool create(QString& error);
    // Creates the folder without looking at the target, for a caller that
    // moves single files into an existing folder instead of committing.
    bool createBeside(QString& error);
    QString path() const { return m_path; }
    // The target as this folder will replace it (symbolic links resolved).
    QString target() const { return m_target; }
    // Puts the staged folder in the target's place. With `keepReplaced`
    // set, an existing target is moved there instead of being removed.
    bool commit(QString& error, const QString& keepReplaced = QString());

private:
    void removeAbandoned() const;
    static bool putAside(const QString& replaced, const QString& keepReplaced, QString& error);

    QString m_target;
    QString m_path;
    int m_lock = -1;
    bool m_committed = false;
};
