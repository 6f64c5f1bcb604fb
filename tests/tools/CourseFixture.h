#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A course folder in a temporary directory that tests fill file by file.
class CourseFixture {
public:
    QString path() const { return m_dir.filePath(QStringLiteral("course")); }
    QString root() const { return m_dir.path(); }

    // Writes `text` (UTF-8) to course/<relative>, creating folders; returns the full path.
    QString write(const QString& relative, const QByteArray& text) const
    {
        const QString file = QDir(path()).filePath(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(text);
        return file;
    }

private:
    QTemporaryDir m_dir;
};

// A small lesson of book 1: two sentences and two new words, one of them
// with an apostrophe and one found only inside a longer word of the text.
inline constexpr char kLessonOne[] = R"(lesson: 1
english: "Lesson 1 What Time Is It?"
chinese: "几点了？"
study:
  count: 1
  last: "2007-02-15 10:00"
sentences:
  - en: "It's seven o'clock."
    zh: "七点了。"
  - en: "Is the classroom open?"
    zh: "教室开着吗？"
words:
  - en: "o'clock"
    zh: "adv. ……点钟"
    ipa: "əˈklɒk"
    info: |
      整点时间用 o'clock。
      例：at six o'clock
  - en: "class"
    zh: "n. 班级"
    ipa: "klɑːs"
explanation: |
  1. 问时间：What time is it?
  2. 整点用 o'clock。
)";

// A lesson of book 2 with a single sentence and no new words.
inline constexpr char kLessonTwo[] = R"(lesson: 1
english: "Lesson 1 Rain"
chinese: "雨"
sentences:
  - en: "It rained all day."
    zh: "下了一整天雨。"
words: []
explanation: "过去时：rain 的过去式是 rained。"
)";
