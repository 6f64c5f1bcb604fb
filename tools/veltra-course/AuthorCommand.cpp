#include "AuthorCommand.h"

#include "CommandLine.h"
#include "StopRequest.h"
#include "builder/LessonAddition.h"
#include "builder/LessonFile.h"
#include "builder/RecordingFile.h"
#include "builder/SpeechSynthesizer.h"
#include "speech/PhoneSpelling.h"
#include "speech/SentenceAlignment.h"
#include "speech/SentenceSplitter.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"

#include <QFile>

namespace {

// Progress is counted in hundredths; the alignment takes most of it.
constexpr int kSteps = 100;
constexpr int kAlignFirst = 5;
constexpr int kAlignLast = 90;
// A word cut from the lesson keeps this much around its aligned sounds.
constexpr int kWordMarginMs = 40;

void Progress(int step, const QString& key)
{
    PrintProgress(step, kSteps, key);
}

std::optional<QString> ReadText(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return NormalizedText(QString::fromUtf8(file.readAll()));
}

struct Arguments {
    QString dataDir;
    int book = 0;
    int lesson = 0;
    QString audio;
    QString text;
    QString chinese;
    QString title;
    QString words;
};

// Nothing, with `error` set, for a bad command line.
std::optional<Arguments> ParseArguments(QStringList args, QString& error)
{
    Arguments a;
    QString book;
    QString lesson;
    const bool hasBook = TakeOption(args, QStringLiteral("--book"), book, error);
    const bool hasAudio = TakeOption(args, QStringLiteral("--audio"), a.audio, error);
    const bool hasText = TakeOption(args, QStringLiteral("--text"), a.text, error);
    TakeOption(args, QStringLiteral("--chinese"), a.chinese, error);
    TakeOption(args, QStringLiteral("--title"), a.title, error);
    TakeOption(args, QStringLiteral("--words"), a.words, error);
    const bool hasLesson = TakeOption(args, QStringLiteral("--lesson"), lesson, error);
    if (!error.isEmpty())
        return std::nullopt;
    for (const QString& arg : std::as_const(args)) {
        if (arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        }
    }
    if (args.size() != 1 || !hasBook || !hasAudio || !hasText) {
        error = QStringLiteral("author needs DATA_DIR, --book, --audio and --text");
        return std::nullopt;
    }
    a.dataDir = args.first();
    bool ok = false;
    a.book = book.toInt(&ok);
    if (!ok || a.book < 1 || a.book > 4) {
        error = QStringLiteral("--book must be 1, 2, 3 or 4");
        return std::nullopt;
    }
    if (hasLesson) {
        a.lesson = lesson.toInt(&ok);
        if (!ok || a.lesson < 1) {
            error = QStringLiteral("--lesson must be a whole number of at least 1");
            return std::nullopt;
        }
    }
    return a;
}

// The lesson's sentences with their translations, its title and new words.
std::optional<NewLesson> ReadLessonText(const Arguments& a, QString& error)
{
    NewLesson lesson;
    lesson.book = a.book;
    lesson.lesson = a.lesson;
    const std::optional<QString> text = ReadText(a.text, error);
    if (!text)
        return std::nullopt;
    const QStringList sentences = SplitSentences(*text);
    if (sentences.isEmpty()) {
        error = QStringLiteral("%1 holds no text").arg(a.text);
        return std::nullopt;
    }
    QStringList translations;
    if (!a.chinese.isEmpty()) {
        const std::optional<QString> chinese = ReadText(a.chinese, error);
        if (!chinese)
            return std::nullopt;
        translations = TranslationLines(*chinese);
        if (translations.size() != sentences.size()) {
            error = QStringLiteral("the text has %1 sentences but the translation has %2 lines; give one translation "
                                   "a line, in the order of the sentences")
                        .arg(sentences.size())
                        .arg(translations.size());
            return std::nullopt;
        }
    }
    for (qsizetype s = 0; s < sentences.size(); ++s)
        lesson.sentences.push_back({sentences[s], translations.value(s)});
    lesson.title = a.title.trimmed();
    if (lesson.title.isEmpty())
        lesson.title = FirstSentence(*text);
    if (!a.words.isEmpty()) {
        Diagnostics diagnostics;
        const std::optional<std::vector<CourseWord>> words = ReadWordsFile(a.words, diagnostics);
        if (!words) {
            QStringList lines;
            for (const Diagnostics::Entry& entry : diagnostics.entries())
                lines << entry.text();
            error = lines.join(QLatin1Char('\n'));
            return std::nullopt;
        }
        lesson.words = *words;
    }
    return lesson;
}

// Where the lesson speaks `word` (a run of its tokens), or nothing.
std::optional<std::pair<int, int>> SpokenSpan(const SentenceAlignment& alignment, const QString& word)
{
    const std::vector<TextToken> wanted = SpokenTokens(word);
    const std::vector<TextToken>& tokens = alignment.spoken.tokens;
    if (wanted.empty())
        return std::nullopt;
    for (std::size_t t = 0; t + wanted.size() <= tokens.size(); ++t) {
        bool same = true;
        for (std::size_t w = 0; w < wanted.size() && same; ++w)
            same = tokens[t + w].readings.front() == wanted[w].readings.front() && alignment.words[t + w].found;
        if (same)
            return std::pair{alignment.words[t].beginMs, alignment.words[t + wanted.size() - 1].endMs};
    }
    return std::nullopt;
}

// Phonetics from the pronouncing dictionary and a sound for every new word:
// cut from the lesson where it is spoken, else synthesised.
bool CompleteWords(NewLesson& lesson, const SentenceAlignment& alignment, const SpeechDecoder& decoder, QString& error)
{
    QStringList unspoken;
    std::vector<std::size_t> unspokenIndex;
    lesson.wordSounds.resize(lesson.words.size());
    for (std::size_t w = 0; w < lesson.words.size(); ++w) {
        CourseWord& word = lesson.words[w];
        if (word.phonetic.isEmpty()) {
            QStringList phones;
            for (const TextToken& token : SpokenTokens(word.english))
                for (const QString& spoken : token.readings.front()) {
                    const QString known = decoder.phonesOf(spoken);
                    phones << (known.isEmpty() ? GuessedPhones(spoken) : known);
                }
            word.phonetic = ArpabetToIpa(phones.join(QLatin1Char(' ')));
        }
        std::optional<MonoPcm> sound;
        if (const auto span = SpokenSpan(alignment, word.english))
            sound = CutFromMp3(lesson.recording, std::max(0, span->first - kWordMarginMs), span->second + kWordMarginMs);
        if (sound) {
            lesson.wordSounds[w] = std::move(*sound);
        } else {
            unspoken << word.english;
            unspokenIndex.push_back(w);
        }
    }
    if (unspoken.isEmpty())
        return true;
    const auto spoken = SpeechSynthesizer().speak(unspoken, error);
    if (!spoken)
        return false;
    for (std::size_t i = 0; i < unspokenIndex.size(); ++i)
        lesson.wordSounds[unspokenIndex[i]] = (*spoken)[i];
    return true;
}

} // namespace

int RunAuthor(QStringList args)
{
    QString error;
    const std::optional<Arguments> arguments = ParseArguments(std::move(args), error);
    if (!arguments)
        return UsageError(error);
    const Arguments& a = *arguments;
    InstallStopRequest();
    const auto stopped = [] { return Stopped(QStringLiteral("stopped; nothing was added")); };

    std::optional<NewLesson> lesson = ReadLessonText(a, error);
    if (!lesson)
        return Failure(error);
    if (!LessonNumberFree(a.dataDir, a.book, a.lesson, error))
        return Failure("course", error);
    std::unique_ptr<SpeechDecoder> decoder = SpeechDecoder::open(SpeechDecoder::Scoring::AgainstSearch, error);
    if (!decoder)
        return Failure("speech-model", error);

    Progress(1, QStringLiteral("reading the recording"));
    std::optional<QByteArray> recording = LessonMp3FromFile(a.audio, error);
    if (!recording)
        return StopRequested() ? stopped() : Failure("recording", error);
    lesson->recording = std::move(*recording);
    std::optional<std::vector<int16_t>> pcm = SpeechSamplesOfMp3(lesson->recording);
    if (!pcm || pcm->empty())
        return Failure("recording", QStringLiteral("%1 holds no sound the program can play").arg(a.audio));
    if (StopRequested())
        return stopped();

    QStringList english;
    for (const CourseSentence& sentence : lesson->sentences)
        english << sentence.english;
    int shown = 0;
    const std::optional<SentenceAlignment> alignment =
        AlignSentences(*pcm, english, *decoder, error, [&shown](qint64 done, qint64 total) {
            const int step = kAlignFirst + int((kAlignLast - kAlignFirst) * done / std::max<qint64>(total, 1));
            if (step > shown) {
                shown = step;
                Progress(step, QStringLiteral("aligning the text"));
            }
            return !StopRequested();
        });
    pcm.reset();
    if (!alignment)
        return StopRequested() ? stopped() : Failure("alignment", error);
    for (const SentenceTiming& t : alignment->sentences)
        lesson->spans.push_back({t.beginMs, t.endMs});

    Progress(kAlignLast + 2, QStringLiteral("preparing the new words"));
    if (!CompleteWords(*lesson, *alignment, *decoder, error))
        return StopRequested() ? stopped() : Failure("new-words", error);
    if (StopRequested())
        return stopped();
    Progress(kAlignLast + 5, QStringLiteral("writing the lesson"));
    const std::optional<int> number = AddLesson(a.dataDir, *lesson, error);
    if (!number)
        return Failure("writing", error);
    Progress(kSteps, QStringLiteral("done"));

    QString report;
    for (std::size_t s = 0; s < alignment->sentences.size(); ++s) {
        const SentenceTiming& t = alignment->sentences[s];
        report += QStringLiteral("%1\t%2\t%3\t%4%5\n")
                      .arg(s + 1)
                      .arg(t.beginMs)
                      .arg(t.endMs)
                      .arg(t.confidence, 0, 'f', 2)
                      .arg(t.uncertain() ? QStringLiteral("\t?") : QString());
    }
    report += QStringLiteral("added book %1 lesson %2: %3 sentences, %4 uncertain\n")
                  .arg(a.book)
                  .arg(*number)
                  .arg(alignment->sentences.size())
                  .arg(alignment->uncertainCount());
    Print(report);
    return ExitOk;
}
