#pragma once

#include <QString>

// A hidden folder where new files are written before they are put in place,
// so that nothing is ever seen half-written. Removed unless committed. While
// it exists it holds a lock, so a later run can tell a staging folder left
// behind by a killed run from one still in use, and removes the former.
//
// Beside the target (the default), it becomes the target: commit() puts the
// whole folder in the target's place. An existing target is replaced only
// when it is a course data folder (it holds qor.db) or empty: a mistyped
// path never wipes unrelated files.
//
// Inside the target, for a folder that stays where it is and gets files
// added: commitFile() moves each staged file in by a rename within the
// target, synced first. Nothing outside the target is needed, so this works where the
// target is the root of its own file system or its parent cannot be written.
//
// Single-threaded.
class StagingFolder {
public:
    enum class Place { BesideTarget, InsideTarget };

    explicit StagingFolder(const QString& target, Place place = Place::BesideTarget);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Whether `target` may be replaced: absent, empty, or holding qor.db.
    static bool canReplace(const QString& target, QString& error);

    // Beside: checks canReplace, then creates the folder. Inside: the target
    // must be an existing folder.
    bool create(QString& error);
    QString path() const { return m_path; }
    // The target as this folder will replace it (symbolic links resolved).
    QString target() const { return m_target; }

    // Beside only: puts the staged folder in the target's place. With
    // `keepReplaced` set, an existing target is moved there instead of
    // being removed.
    bool commit(QString& error, const QString& keepReplaced = QString());

    // Inside only: moves the staged file `name` to `as` in the target (a
    // name there, or in one of its folders). `replaces`, when not empty, is
    // the target's file it takes the place of (its name may differ in letter
    // case); that file is moved to `keepReplaced`, or removed when that is
    // empty. Either the new file is in place or the target is as it was.
    bool commitFile(const QString& name, const QString& as, const QString& replaces, const QString& keepReplaced,
                    QString& error);

private:
    QString home() const;
    QString prefix() const;
    void removeAbandoned() const;
    static bool putAside(const QString& replaced, const QString& keepReplaced, QString& error);

    Place m_place;
    QString m_target;
    QString m_path;
    int m_lock = -1;
    bool m_committed = false;
};
