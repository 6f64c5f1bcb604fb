#pragma once

#include <QString>

#include <functional>

class RandomSource;
class TLessonDataSet;
class TMainGlyphs;

// What the two word exercises draw from and play through.
struct WordExerciseLinks {
    TLessonDataSet& words;
    RandomSource& random;
    const TMainGlyphs& glyphs;
    // Unpacks and plays the word container at the full path; throws the
    // player's "文件不存在！" when there is none.
    std::function<void(const QString& containerPath)> playWordContainer;
    QString dataDir;
};
