#pragma once

#include "CourseModel.h"
#include "LessonRecording.h"
#include "WavData.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// One new lesson for an existing data folder, ready to be written.
struct NewLesson {
    int book = 0;
    int lesson = 0;  // 0: the next free number of the book
    QString title;
    std::vector<CourseSentence> sentences;
    std::vector<SentenceSpan> spans;  // one per sentence
    std::vector<CourseWord> words;    // phonetics filled in
    std::vector<MonoPcm> wordSounds;  // one per word
    QByteArray recording;             // the lesson's MP3
};

// Whether book `book` of the course in `dataDir` can take lesson number
// `lesson` (0: any); false with `error` set when the number is taken or the
// database cannot be read. A cheap check before the long work; AddLesson
// checks again.
bool LessonNumberFree(const QString& dataDir, int book, int lesson, QString& error);

// Adds the lesson as the course builder writes one: its catalogue row,
// sentence rows with their spans, word rows, an empty explanation and the
// recordings (every enciphered field enciphered, study record empty). The
// containers are packed in a staging folder inside `dataDir` and moved
// into their places inside the database transaction that adds the rows, so
// a failed or interrupted run leaves no lesson and no stray recording the
// course refers to, and a program running on the folder sees the lesson
// whole or not at all. Returns the lesson number. Single-threaded.
std::optional<int> AddLesson(const QString& dataDir, const NewLesson& lesson, QString& error);
