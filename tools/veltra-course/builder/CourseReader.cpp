#include "CourseReader.h"

#include "LessonFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

void WarnAboutUnusedWords(const CourseLesson& lesson, Diagnostics& diagnostics)
{
    for (const CourseWord& word : lesson.words) {
        const bool found = std::any_of(lesson.sentences.begin(), lesson.sentences.end(), [&](const CourseSentence& s) {
            return s.english.contains(word.english, Qt::CaseInsensitive);
        });
        if (!found)
            diagnostics.warning(word.where, QStringLiteral("new word '%1' occurs in no sentence of lesson %2")
                                                .arg(word.english).arg(lesson.lesson));
    }
}

} // namespace

bool NaturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare by value without overflow: drop leading zeros, then length, then digits.
            QStringView da = QStringView(a).mid(i, ei - i);
            QStringView db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da.front() == QLatin1Char('0'))
                da = da.mid(1);
            while (db.size() > 1 && db.front() == QLatin1Char('0'))
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (const int c = da.compare(db); c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;  // same value, different zero padding: still a strict order
}

Course ReadCourse(const QString& courseDir, Diagnostics& diagnostics)
{
    Course course;
    const QDir root(courseDir);
    if (!root.exists()) {
        diagnostics.error({courseDir, 0}, QStringLiteral("the course folder does not exist"));
        return course;
    }
    static const QRegularExpression bookName(QStringLiteral("^book([0-9]+)$"));
    for (int book = 1; book <= 4; ++book) {
        const QString bookDir = root.filePath(QStringLiteral("book%1").arg(book));
        if (!QFileInfo(bookDir).isDir())
            continue;
        QStringList files = QDir(bookDir).entryList({QStringLiteral("*.yaml")}, QDir::Files);
        std::sort(files.begin(), files.end(), NaturalLess);
        std::map<int, SourceLine> seen;  // lesson number -> where it was first defined
        for (const QString& name : files) {
            const QString path = QDir(bookDir).filePath(name);
            auto lesson = ReadLessonFile(path, book, diagnostics);
            if (!lesson)
                continue;
            const auto [it, inserted] = seen.emplace(lesson->lesson, lesson->where);
            if (!inserted) {
                diagnostics.error(lesson->where, QStringLiteral("lesson %1 of book %2 is already defined at %3:%4")
                                                     .arg(lesson->lesson).arg(book).arg(it->second.file).arg(it->second.line));
                continue;
            }
            WarnAboutUnusedWords(*lesson, diagnostics);
            course.lessons.push_back(std::move(*lesson));
        }
    }
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        static const QStringList read = {QStringLiteral("book1"), QStringLiteral("book2"), QStringLiteral("book3"), QStringLiteral("book4")};
        if (bookName.match(name).hasMatch() && !read.contains(name))
            diagnostics.warning({root.filePath(name), 0}, QStringLiteral("ignored: books are the folders book1 to book4"));
    }
    if (course.lessons.empty() && !diagnostics.hasErrors())
        diagnostics.error({courseDir, 0}, QStringLiteral("no lessons found (expected book1/lesson01.yaml and so on)"));
    return course;
}
