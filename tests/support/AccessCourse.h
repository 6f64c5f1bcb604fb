#pragma once

#include "support/Jet4Writer.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Test fixtures: an old course data folder as its owners have it, with the
// Access database written by Jet4Writer.

struct AccessCourseShape {
    int lessonsPerBook = 1;
    int sentencesPerLesson = 3;
    int wordsPerLesson = 2;
    int explanationChars = 2600;  // Chinese characters: over 4 KB stored
};

// The tables of the old database with the fields the program reads, plus a
// counter column ("ID") that the import must ignore. Content IDs run from 1
// over the books in order. Chinese text in the catalogue titles, enciphered
// fields made with key "tqd" from GB18030 (the phonetics from bytes for the
// phonetic font), long explanations, a study date on lesson 1 and NULL on
// the others, a note on lesson 1 with the learner's row for another one
// deleted, and the options "Book" 1 and "Lesson" 1.
QList<JetTable> AccessCourseTables(const AccessCourseShape& shape = {});

// Stored form of an enciphered field, with a fixed seed.
QString EncipheredField(const QByteArray& plain);

// Writes `dir` (created when missing) as an old data folder: "Qor.mdb"
// (marked with the database password), the book folders "QOR1", "Qor2",
// "QOR3", "QOR4" with "<lesson>.QOR" holding `lessonAudio` and
// "<word id>.qow" holding `wordAudio`, both packed as containers, "TmpWav.wav" and, when `font` is not empty,
// "pdfont1.TTF". The letter cases are mixed on purpose.
bool WriteAccessDataFolder(const QString& dir, const QList<JetTable>& tables, const QByteArray& lessonAudio,
                           const QByteArray& wordAudio, const QByteArray& font, QString& error);
