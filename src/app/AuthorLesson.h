#pragma once

#include "app/CourseToolLines.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The course tool's "author" command as the program runs it: what it is
// asked to make, the Chinese for its steps and failures, and what it reports.

struct AuthorRequest {
    QString dataDir;
    int book = 1;
    QString audioFile;
    QString textFile;
    QString chineseFile;  // empty: no translation
    QString title;        // empty: the tool's own choice

    QStringList Arguments() const;
};

const CourseToolTexts& AuthorTexts();

// The lesson the tool added, as it reported it.
struct AddedLesson {
    int book = 0;
    int lesson = 0;
    int sentences = 0;
    QList<int> uncertain;  // numbers (from 1) of the sentences whose times may be off
};

// Reads the tool's report, line by line: a line per sentence,
// "NUMBER<TAB>BEGIN<TAB>END<TAB>CONFIDENCE[<TAB>?]", then
// "added book B lesson L: S sentences, U uncertain".
class AuthorReport {
public:
    void Read(const QString& line);
    // The lesson, once its line has come.
    const std::optional<AddedLesson>& Added() const { return m_added; }

private:
    QList<int> m_uncertain;
    std::optional<AddedLesson> m_added;
};
