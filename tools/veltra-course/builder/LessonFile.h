#pragma once

#include "CourseModel.h"
#include "Diagnostics.h"

#include <optional>

// Both functions touch no shared state; the Diagnostics passed in belongs to
// the calling thread.
// Parses one lesson file (YAML, UTF-8). Problems are reported with the
// file's line numbers; the result is empty when the lesson is unusable.
std::optional<CourseLesson> ReadLessonFile(const QString& path, int book, Diagnostics& diagnostics);

// Parses a list of new words (YAML: the word entries of a lesson file, as a
// bare list or under 'words'); 'ipa' may be left out.
std::optional<std::vector<CourseWord>> ReadWordsFile(const QString& path, Diagnostics& diagnostics);

// Day count since 1899-12-30 for "yyyy-MM-dd HH:mm[:ss]" or "yyyy-MM-dd".
std::optional<double> ParseStudyTime(const QString& text);
