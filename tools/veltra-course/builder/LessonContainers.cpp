#include "LessonContainers.h"

#include "Mp3Encoder.h"
#include "audio/Container.h"

#include <QDir>

bool WriteContainer(const QString& path, const QByteArray& audio, const WholeFileOptions& options, QString& error)
{
    const QByteArray container = PackContainer(audio);
    if (container.isEmpty()) {
        error = QStringLiteral("%1: the recording is too large for a container").arg(path);
        return false;
    }
    const WholeFileFailure failure = WriteWholeFile(path, container, options);
    if (failure.failed())
        error = QStringLiteral("cannot write %1: %2").arg(path, failure.reason);
    return !failure.failed();
}

std::optional<std::vector<SentenceSpan>> WriteLessonAudio(const CourseLesson& lesson, int firstWordId, const QString& bookDir,
                                                          const SpeechSynthesizer& speech, QString& error)
{
    QStringList texts;
    for (const CourseSentence& sentence : lesson.sentences)
        texts << sentence.english;
    for (const CourseWord& word : lesson.words)
        texts << word.english;
    auto clips = speech.speak(texts, error);
    if (!clips)
        return std::nullopt;

    const WholeFileOptions staged{.sync = false};
    const QDir dir(bookDir);
    const auto firstWord = clips->begin() + static_cast<std::ptrdiff_t>(lesson.sentences.size());
    int wordId = firstWordId;
    for (auto clip = firstWord; clip != clips->end(); ++clip, ++wordId) {
        if (!WriteContainer(dir.filePath(QStringLiteral("%1.qow").arg(wordId)), MakeWav(*clip), staged, error))
            return std::nullopt;
    }
    clips->erase(firstWord, clips->end());

    LessonRecording recording = AssembleLesson(*clips);
    clips->clear();
    const auto mp3 = EncodeMp3(recording.pcm, error);
    if (!mp3)
        return std::nullopt;
    if (!WriteContainer(dir.filePath(QStringLiteral("%1.qor").arg(lesson.lesson)), mp3->bytes, staged, error))
        return std::nullopt;
    return std::move(recording.spans);
}
