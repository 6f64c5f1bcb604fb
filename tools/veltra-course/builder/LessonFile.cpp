#include "LessonFile.h"

#include <QDateTime>
#include <QFile>

#include <yaml-cpp/yaml.h>

#include <initializer_list>

namespace {

// Reads fields out of one file's YAML tree, reporting what is wrong with
// the line it is on. A failed field marks the lesson as unusable but
// reading goes on, so the author sees every problem of the file at once.
class FieldReader {
public:
    FieldReader(const QString& path, Diagnostics& diagnostics) : m_path(path), m_diagnostics(diagnostics) {}

    SourceLine at(const YAML::Node& node) const
    {
        const YAML::Mark mark = node.Mark();
        return {m_path, mark.is_null() ? 0 : mark.line + 1};
    }

    void fail(const SourceLine& where, const QString& message)
    {
        m_diagnostics.error(where, message);
        m_ok = false;
    }

    bool ok() const { return m_ok; }

    void warnUnknownKeys(const YAML::Node& map, std::initializer_list<const char*> known)
    {
        for (const auto& item : map) {
            const std::string key = item.first.Scalar();
            bool isKnown = false;
            for (const char* k : known)
                isKnown = isKnown || key == k;
            if (!isKnown)
                m_diagnostics.warning(at(item.first), QStringLiteral("unknown field '%1' is ignored").arg(QString::fromStdString(key)));
        }
    }

    // A scalar field as text; `multiLine` keeps inner line breaks and drops
    // only trailing blanks, single-line text is trimmed.
    QString text(const YAML::Node& map, const char* key, const QString& context, bool required, bool multiLine = false)
    {
        const YAML::Node node = map[key];
        if (!node || node.IsNull()) {
            if (required)
                fail(at(map), QStringLiteral("%1: missing field '%2'").arg(context, QLatin1String(key)));
            return {};
        }
        if (!node.IsScalar()) {
            fail(at(node), QStringLiteral("%1: field '%2' must be text").arg(context, QLatin1String(key)));
            return {};
        }
        QString value = QString::fromStdString(node.Scalar());
        if (value.contains(QChar(0))) {
            fail(at(node), QStringLiteral("%1: field '%2' contains a NUL character").arg(context, QLatin1String(key)));
            return {};
        }
        if (multiLine) {
            while (!value.isEmpty() && value.back().isSpace())
                value.chop(1);
        } else {
            value = value.trimmed();
            if (value.contains(QLatin1Char('\n')))
                fail(at(node), QStringLiteral("%1: field '%2' must be a single line").arg(context, QLatin1String(key)));
        }
        if (required && !multiLine && value.isEmpty())
            fail(at(node), QStringLiteral("%1: field '%2' is empty").arg(context, QLatin1String(key)));
        return value;
    }

    std::optional<int> integer(const YAML::Node& map, const char* key, const QString& context, int minimum)
    {
        const YAML::Node node = map[key];
        if (!node || node.IsNull()) {
            fail(at(map), QStringLiteral("%1: missing field '%2'").arg(context, QLatin1String(key)));
            return std::nullopt;
        }
        bool parsed = false;
        const int value = node.IsScalar() ? QString::fromStdString(node.Scalar()).toInt(&parsed) : 0;
        if (!parsed || value < minimum) {
            fail(at(node), QStringLiteral("%1: field '%2' must be a whole number of at least %3")
                               .arg(context, QLatin1String(key)).arg(minimum));
            return std::nullopt;
        }
        return value;
    }

private:
    QString m_path;
    Diagnostics& m_diagnostics;
    bool m_ok = true;
};

void ReadStudy(FieldReader& reader, const YAML::Node& root, CourseLesson& lesson)
{
    const YAML::Node study = root["study"];
    if (!study || study.IsNull())
        return;
    if (!study.IsMap()) {
        reader.fail(reader.at(study), QStringLiteral("study: expected the fields 'count' and 'last'"));
        return;
    }
    reader.warnUnknownKeys(study, {"count", "last"});
    if (const auto count = reader.integer(study, "count", QStringLiteral("study"), 0))
        lesson.studyCount = *count;
    const QString last = reader.text(study, "last", QStringLiteral("study"), false);
    if (!last.isEmpty()) {
        lesson.lastStudied = ParseStudyTime(last);
        if (!lesson.lastStudied)
            reader.fail(reader.at(study["last"]),
                        QStringLiteral("study: 'last' must be a date and time such as \"2026-11-28 20:15\""));
    } else if (lesson.studyCount > 0) {
        reader.fail(reader.at(study), QStringLiteral("study: a lesson studied %1 times needs 'last'").arg(lesson.studyCount));
    }
}

void ReadSentences(FieldReader& reader, const YAML::Node& root, CourseLesson& lesson)
{
    const YAML::Node list = root["sentences"];
    if (!list || list.IsNull()) {
        reader.fail(reader.at(root), QStringLiteral("missing field 'sentences'"));
        return;
    }
    if (!list.IsSequence() || list.size() == 0) {
        reader.fail(reader.at(list), QStringLiteral("'sentences' must be a list of at least one sentence"));
        return;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const YAML::Node item = list[i];
        const QString context = QStringLiteral("sentence %1").arg(i + 1);
        if (!item.IsMap()) {
            reader.fail(reader.at(item), context + QStringLiteral(": expected the fields 'en' and 'zh'"));
            continue;
        }
        reader.warnUnknownKeys(item, {"en", "zh"});
        lesson.sentences.push_back({reader.text(item, "en", context, true), reader.text(item, "zh", context, true)});
    }
}

// The new words of a list; `ipaRequired` is off where phonetics can be
// looked up instead.
void ReadWordList(FieldReader& reader, const YAML::Node& list, bool ipaRequired, std::vector<CourseWord>& words)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        const YAML::Node item = list[i];
        const QString context = QStringLiteral("word %1").arg(i + 1);
        if (!item.IsMap()) {
            reader.fail(reader.at(item), context + QStringLiteral(": expected the fields 'en', 'zh', 'ipa' and 'info'"));
            continue;
        }
        reader.warnUnknownKeys(item, {"en", "zh", "ipa", "info"});
        CourseWord word;
        word.english = reader.text(item, "en", context, true);
        word.chinese = reader.text(item, "zh", context, true);
        word.phonetic = reader.text(item, "ipa", context, ipaRequired);
        word.info = reader.text(item, "info", context, false, true);
        word.where = reader.at(item);
        words.push_back(word);
    }
}

void ReadWords(FieldReader& reader, const YAML::Node& root, CourseLesson& lesson)
{
    const YAML::Node list = root["words"];
    if (!list || list.IsNull())
        return;
    if (!list.IsSequence()) {
        reader.fail(reader.at(list), QStringLiteral("'words' must be a list (use [] for a lesson without new words)"));
        return;
    }
    ReadWordList(reader, list, true, lesson.words);
}

// The file's YAML tree, or nothing with the reason reported.
std::optional<YAML::Node> LoadYaml(const QString& path, Diagnostics& diagnostics)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        diagnostics.error({path, 0}, QStringLiteral("cannot read the file: %1").arg(file.errorString()));
        return std::nullopt;
    }
    try {
        return YAML::Load(file.readAll().toStdString());
    } catch (const YAML::Exception& e) {
        diagnostics.error({path, e.mark.is_null() ? 0 : e.mark.line + 1}, QString::fromStdString(e.msg));
        return std::nullopt;
    }
}

} // namespace

std::optional<double> ParseStudyTime(const QString& text)
{
    static const char* const kFormats[] = {"yyyy-MM-dd HH:mm", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"};
    for (const char* format : kFormats) {
        const QDateTime time = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (time.isValid()) {
            const qint64 days = QDate(1899, 12, 30).daysTo(time.date());
            return static_cast<double>(days) + time.time().msecsSinceStartOfDay() / 86400000.0;
        }
    }
    return std::nullopt;
}

std::optional<CourseLesson> ReadLessonFile(const QString& path, int book, Diagnostics& diagnostics)
{
    const std::optional<YAML::Node> loaded = LoadYaml(path, diagnostics);
    if (!loaded)
        return std::nullopt;
    // Const access: a lookup of an absent key must not add it.
    const YAML::Node& root = *loaded;
    if (!root.IsMap()) {
        diagnostics.error({path, 1}, QStringLiteral("expected a lesson: the fields 'lesson', 'english', 'chinese', 'sentences', 'words' and 'explanation'"));
        return std::nullopt;
    }

    FieldReader reader(path, diagnostics);
    reader.warnUnknownKeys(root, {"lesson", "english", "chinese", "study", "sentences", "words", "explanation"});
    CourseLesson lesson;
    lesson.book = book;
    lesson.where = {path, 1};
    const QString top = QStringLiteral("lesson");
    if (const auto number = reader.integer(root, "lesson", top, 1)) {
        lesson.lesson = *number;
        lesson.where = reader.at(root["lesson"]);
    }
    lesson.english = reader.text(root, "english", top, true);
    lesson.chinese = reader.text(root, "chinese", top, true);
    ReadStudy(reader, root, lesson);
    ReadSentences(reader, root, lesson);
    ReadWords(reader, root, lesson);
    const YAML::Node explanation = root["explanation"];
    if (!explanation)
        reader.fail(reader.at(root), QStringLiteral("lesson: missing field 'explanation'"));
    else
        lesson.explanation = reader.text(root, "explanation", top, false, true);

    if (!reader.ok())
        return std::nullopt;
    return lesson;
}

std::optional<std::vector<CourseWord>> ReadWordsFile(const QString& path, Diagnostics& diagnostics)
{
    const std::optional<YAML::Node> loaded = LoadYaml(path, diagnostics);
    if (!loaded)
        return std::nullopt;
    const YAML::Node& root = *loaded;
    // A bare list, or a lesson-like map with a 'words' list.
    const YAML::Node list = root.IsMap() ? root["words"] : root;
    if (!list || !list.IsSequence()) {
        diagnostics.error({path, 1}, QStringLiteral("expected a list of words, each with the fields 'en', 'zh' and "
                                                    "optionally 'ipa' and 'info'"));
        return std::nullopt;
    }
    FieldReader reader(path, diagnostics);
    std::vector<CourseWord> words;
    ReadWordList(reader, list, false, words);
    if (!reader.ok())
        return std::nullopt;
    return words;
}
