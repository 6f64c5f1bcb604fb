#pragma once

#include "CourseModel.h"
#include "LearnerData.h"
#include "LessonRecording.h"

#include <QString>

#include <vector>

// Uses a connection of its own, opened and closed inside the call, so it may
// run on any one thread.
// Writes qor.db for a course: the catalogue, the sentences of each book with
// their spans (`spans[i]` belongs to `course.lessons[i]`), the new words and
// the explanations, enciphering the fields the program deciphers, then the
// learner's options and notes (notes attached to the course). The
// statements run in one fixed order inside one transaction, so the same
// course always gives the same file. `path` must not exist yet.
bool WriteCourseDatabase(const QString& path, const Course& course, const std::vector<std::vector<SentenceSpan>>& spans,
                         const LearnerData& learner, QString& error);
