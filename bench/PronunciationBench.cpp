// How well the pronunciation check tells a word said from a word missed or
// said wrong. Takes of sentences of the sample course are spoken by
// espeak-ng voices other than the model's, at two speeds: read right, with
// one word replaced by another, with one word left out, and another
// sentence read instead. Prints the share of each case judged as a learner
// should be told, and the cost of a check as a share of the take's length.
// With --scores FILE it also writes every word's score, for setting the
// limits between the results.
#include "LessonFile.h"
#include "speech/PronunciationCheck.h"
#include "speech/SpeechDecoder.h"
#include "speech/SpeechSamples.h"
#include "support/VoiceSamples.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

struct Voice {
    const char* name;
    int wordsPerMinute;
};
constexpr Voice kVoices[] = {{"en-us+f3", 140}, {"en-us+f3", 190}, {"en-gb-scotland", 140}, {"en-gb-scotland", 190}};
// Words put in place of a sentence's word; the first whose first letter
// differs from the word's is taken.
const char* const kStandIns[] = {"yellow", "monkey", "table", "orange", "doctor"};
constexpr int kSentencesPerLesson = 3;

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QStringList CourseSentences()
{
    QStringList sentences;
    for (int book = 1; book <= 4; ++book) {
        const QDir dir(QStringLiteral(VELTRA_COURSE_DIR "/book%1").arg(book));
        for (const QString& file : dir.entryList({QStringLiteral("lesson*.yaml")}, QDir::Files, QDir::Name)) {
            Diagnostics diagnostics;
            const std::optional<CourseLesson> lesson = ReadLessonFile(dir.filePath(file), book, diagnostics);
            if (!lesson)
                continue;
            int taken = 0;
            for (const CourseSentence& s : lesson->sentences) {
                if (SpokenTokens(s.english).size() >= 5 && taken < kSentencesPerLesson) {
                    sentences << s.english;
                    ++taken;
                }
            }
        }
    }
    return sentences;
}

// The word to change: one of at least three letters, away from both ends.
int ChosenWord(const std::vector<TextToken>& tokens, int seed)
{
    const int n = int(tokens.size());
    for (int k = 0; k < n - 2; ++k) {
        const int i = 1 + (seed + k) % (n - 2);
        if (tokens[std::size_t(i)].text.size() >= 3 && tokens[std::size_t(i)].text.front().isLetter())
            return i;
    }
    return n / 2;
}

QString Replaced(const QString& sentence, const TextToken& token, const QString& by)
{
    return sentence.left(token.position) + by + sentence.mid(token.position + token.text.size());
}

struct Share {
    int hits = 0;
    int cases = 0;
    void add(bool hit)
    {
        hits += hit ? 1 : 0;
        ++cases;
    }
    double percent() const { return cases ? 100.0 * hits / cases : 0.0; }
};

struct Tally {
    Share rightClear;
    Share replacedCaught;
    Share neighboursClear;
    Share omittedCaught;
    Share otherNotClear;
    double cpu = 0;
    double seconds = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile scores;
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--scores")); at > 0 && at + 1 < args.size()) {
        scores.setFileName(args[at + 1]);
        if (!scores.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(args[at + 1]));
            return 1;
        }
    }
    QTextStream scoreOut(&scores);

    QString error;
    std::unique_ptr<PronunciationChecker> checker = PronunciationChecker::Open(error);
    if (!checker) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QStringList sentences = CourseSentences();
    std::printf("%lld sentences of the sample course; clear: score above %.0f and worst phone above %.0f;\n"
                "unclear: score below %.0f or worst phone below %.0f\n\n",
                static_cast<long long>(sentences.size()), kClearScoreAbove, kClearPhoneAbove, kUnclearScoreBelow,
                kUnclearPhoneBelow);
    std::printf("%-22s %10s %10s %10s %10s %10s %8s\n", "voice", "right", "replaced", "neighbours", "omitted",
                "other", "cost");
    Tally all;
    for (const Voice& voice : kVoices) {
        Tally tally;
        // `changed`: the word the take changed, -1 when none.
        const auto check = [&](const QString& spoken, const QString& sentence, const char* kind, int changed)
            -> std::optional<std::vector<CheckedWord>> {
            const std::optional<PcmAudio> audio =
                SynthesisedSpeech(spoken, error, QString::fromLatin1(voice.name), voice.wordsPerMinute);
            if (!audio)
                return std::nullopt;
            const std::vector<int16_t> pcm = SpeechSamplesOf(*audio);
            const double start = CpuSeconds();
            std::optional<std::vector<CheckedWord>> words = checker->Check(pcm, sentence, error);
            tally.cpu += CpuSeconds() - start;
            tally.seconds += double(pcm.size()) / kSpeechRate;
            if (words && scores.isOpen()) {
                for (std::size_t i = 0; i < words->size(); ++i) {
                    const CheckedWord& w = (*words)[i];
                    const int from = int(i) - changed;
                    const char* role = changed < 0 ? "word" : from == 0 ? "changed" : std::abs(from) == 1 ? "beside" : "word";
                    scoreOut << voice.name << '@' << voice.wordsPerMinute << '\t' << kind << '\t' << role << '\t'
                             << sentence << '\t' << w.text << '\t' << (w.found ? 1 : 0) << '\t' << w.score << '\t'
                             << (w.endMs - w.beginMs) << '\t' << w.worstPhone << '\n';
                }
            }
            return words;
        };
        for (qsizetype s = 0; s < sentences.size(); ++s) {
            const QString& sentence = sentences[s];
            const std::vector<TextToken> tokens = SpokenTokens(sentence);
            const int changed = ChosenWord(tokens, int(s));
            const TextToken& token = tokens[std::size_t(changed)];
            QString standIn;
            for (const char* w : kStandIns) {
                if (QString::fromLatin1(w).front() != token.text.front().toLower()) {
                    standIn = QString::fromLatin1(w);
                    break;
                }
            }
            if (const auto words = check(sentence, sentence, "right", -1)) {
                for (const CheckedWord& w : *words)
                    tally.rightClear.add(w.clarity == Clarity::Clear);
            }
            if (const auto words = check(Replaced(sentence, token, standIn), sentence, "replaced", changed)) {
                const Clarity c = (*words)[std::size_t(changed)].clarity;
                tally.replacedCaught.add(c == Clarity::Unclear || c == Clarity::Omitted);
                for (const int n : {changed - 1, changed + 1})
                    tally.neighboursClear.add((*words)[std::size_t(n)].clarity == Clarity::Clear);
            }
            // The word and the blank after it go.
            QString omitted = Replaced(sentence, token, QString());
            omitted.remove(token.position, 1);
            if (const auto words = check(omitted, sentence, "omitted", changed))
                tally.omittedCaught.add((*words)[std::size_t(changed)].clarity == Clarity::Omitted);
            const QString& other = sentences[(s + sentences.size() / 2) % sentences.size()];
            if (const auto words = check(other, sentence, "other", -1)) {
                for (const CheckedWord& w : *words)
                    tally.otherNotClear.add(w.clarity != Clarity::Clear);
            }
        }
        std::printf("%-16s %3d wpm %9.1f%% %9.1f%% %9.1f%% %9.1f%% %9.1f%% %8.3f\n", voice.name,
                    voice.wordsPerMinute, tally.rightClear.percent(), tally.replacedCaught.percent(),
                    tally.neighboursClear.percent(), tally.omittedCaught.percent(), tally.otherNotClear.percent(),
                    tally.cpu / tally.seconds);
        std::fflush(stdout);
        for (auto [to, from] : {std::pair{&all.rightClear, &tally.rightClear}, {&all.replacedCaught, &tally.replacedCaught},
                                {&all.neighboursClear, &tally.neighboursClear}, {&all.omittedCaught, &tally.omittedCaught},
                                {&all.otherNotClear, &tally.otherNotClear}}) {
            to->hits += from->hits;
            to->cases += from->cases;
        }
        all.cpu += tally.cpu;
        all.seconds += tally.seconds;
    }
    std::printf("%-22s %9.1f%% %9.1f%% %9.1f%% %9.1f%% %9.1f%% %8.3f\n", "all", all.rightClear.percent(),
                all.replacedCaught.percent(), all.neighboursClear.percent(), all.omittedCaught.percent(),
                all.otherNotClear.percent(), all.cpu / all.seconds);
    std::printf("\ngoals: right >= 95%%, replaced >= 90%%, omitted >= 90%%, other >= 80%%, cost <= 0.2\n"
                "right: words of a sentence read right judged clear; replaced: the replaced word judged unclear\n"
                "or left out (neighbours: the words beside it judged clear); omitted: a left-out word judged left\n"
                "out; other: words judged not clear when another sentence was read; cost: CPU time of a check\n"
                "over the take's length, one core.\n");
    if (!error.isEmpty())
        std::printf("last error: %s\n", qPrintable(error));
    return 0;
}
