#pragma once

#include <QString>

#include <optional>
#include <vector>

// The course as its author wrote it, after reading and checking.
// Plain values; safe to share between threads once built.

struct SourceLine {
    QString file;  // path as given on the command line
    int line = 0;  // 1-based; 0 when the whole file is meant
};

struct CourseSentence {
    QString english;
    QString chinese;
};

struct CourseWord {
    QString english;
    QString chinese;
    QString phonetic;  // IPA
    QString info;
    SourceLine where;
};

struct CourseLesson {
    int book = 0;
    int lesson = 0;
    QString english;
    QString chinese;
    int studyCount = 0;
    std::optional<double> lastStudied;  // day count since 1899-12-30
    std::vector<CourseSentence> sentences;
    std::vector<CourseWord> words;
    QString explanation;
    SourceLine where;
};

// Lessons in (book, file name) order, which is content-ID order.
struct Course {
    std::vector<CourseLesson> lessons;
};
