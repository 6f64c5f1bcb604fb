#pragma once

#include "CourseModel.h"
#include "Diagnostics.h"

#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// What a learner wrote into a data folder: the option rows and the notes.
// Notes are tied to their lesson by book and lesson number, which survive a
// rebuild that renumbers the catalogue.
struct LearnerData {
    struct Option {
        QVariant name;
        QVariant value;
    };
    struct Note {
        int book = 0;
        int lesson = 0;
        QVariant text;
        int contentId = 0;  // in the new course, set by AttachNotes
    };
    std::vector<Option> options;
    std::vector<Note> notes;
};

// Each call opens and closes its own connection: any one thread.
// Reads the learner data of the data folder `dataDir`; a folder without
// qor.db gives empty data. Notes that belong to no lesson of the old
// catalogue could never be shown and are left behind with a warning.
// Fails (with `error`) when the old database cannot be read.
std::optional<LearnerData> ReadLearnerData(const QString& dataDir, Diagnostics& diagnostics, QString& error);

// Gives each note the content ID of its lesson in `course`. Fails (with
// `error`) when a note's lesson is no longer in the course.
bool AttachNotes(LearnerData& data, const Course& course, QString& error);
