// Figures of the take comparison, on speech made by espeak-ng at run time:
//  - warping: the model sentence time-stretched to 0.8 and 1.25 of its
//    length as the take; the warp's median error against the known mapping
//    (goal: at most 20 ms); the synthetic voice too;
//  - pitch: the model shifted by +2 and −3 semitones, tempo kept; the
//    offset between the two median pitches (goal: within 0.2 of the shift)
//    and the share of voiced frames whose normalised contours lie within
//    0.3 semitones (goal: at least 90 %);
//  - differences: a take with one word replaced by silence or by another
//    word; how much of that word the strongest shaded stretch covers;
//  - cost: CPU time of analysing a 5-second take and its model on one
//    core, over the take's duration (goal: at most 0.01), and what finding
//    the words with the speech recogniser adds;
//  - stopping: how long destroying the analysis runner waits when a
//    30-second take is under way, against the whole analysis of that take.
//   take_compare_bench
#include "analysis/AnalysisVoice.h"
#include "analysis/FrameEnergy.h"
#include "analysis/TakeAnalysisRunner.h"
#include "analysis/TakeComparison.h"
#include "analysis/TakeWords.h"
#include "audio/FinishedTake.h"
#include "support/ComparisonMeasures.h"
#include "support/VoiceSamples.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

const QString kSentence = QStringLiteral("Last week I went to the theatre. I had a very good seat, but I did not enjoy it.");

PcmAudio Speak(const QString& text)
{
    QString error;
    auto spoken = SynthesisedSpeech(text, error);
    if (!spoken) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    return *spoken;
}

double Seconds(const PcmAudio& a)
{
    return double(a.Frames()) / a.sampleRate;
}

// Where the speech of `piece` lies once it follows `before`, in seconds.
std::pair<double, double> SpeechOf(const PcmAudio& before, const PcmAudio& piece)
{
    const FrameRange r = SpeechRange(QuietFrames(FrameLevels(AnalysisVoice(piece))), 0);
    return {Seconds(before) + r.first * kFrameSeconds, Seconds(before) + (r.last + 1) * kFrameSeconds};
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void Warping(const char* name, const PcmAudio& model, const std::function<PcmAudio(double)>& take)
{
    for (double factor : {0.8, 1.25}) {
        const TakeComparison c = CompareTake(model, take(factor), kSentence);
        std::printf("warping %-9s x%.2f: median error %5.1f ms (goal <= 20)\n", name, factor,
                    WarpMedianErrorMs(c, factor));
    }
}

void Pitch(const char* name, const PcmAudio& model, const std::function<PcmAudio(double)>& take)
{
    for (double shift : {2.0, -3.0}) {
        const TakeComparison c = CompareTake(model, take(shift), kSentence);
        std::printf("pitch   %-9s %+.0f st: offset %+5.2f st (goal %+.1f +-0.2), within 0.3 st on %5.1f %% of voiced frames "
                    "(goal >= 90)\n",
                    name, shift, PitchOffset(c), shift, 100.0 * PitchAgreement(c, 0.3));
    }
}

void Differences()
{
    const PcmAudio before = Speak(QStringLiteral("Yesterday I bought a"));
    const PcmAudio word = Speak(QStringLiteral("beautiful"));
    const PcmAudio after = Speak(QStringLiteral("bicycle for my daughter."));
    const PcmAudio model = Joined(Joined(before, word), after);
    const auto [begin, end] = SpeechOf(before, word);
    const QString text = QStringLiteral("Yesterday I bought a beautiful bicycle for my daughter.");
    const std::pair<const char*, PcmAudio> takes[] = {
        {"silence", SilenceLike(word)},
        {"another word", Speak(QStringLiteral("green"))},
    };
    for (const auto& [name, replacement] : takes) {
        const TakeComparison c = CompareTake(model, Stretched(Joined(Joined(before, replacement), after), 1.1), text);
        std::printf("differences, word replaced by %-12s: first stretch covers %5.1f %% of it (%s), %zu stretch(es)\n", name,
                    100.0 * FirstPartingCover(c, begin, end),
                    c.partings.empty() ? "" : qPrintable(c.partings.front().words.join(QLatin1Char(' '))), c.partings.size());
    }
}

void Cost(const PcmAudio& sentence)
{
    const PcmAudio model = Stretched(sentence, 5.0 / Seconds(sentence));
    const PcmAudio take = PitchShifted(Stretched(sentence, 5.0 / Seconds(sentence) * 1.05), 1.0);
    double best = INFINITY;
    for (int round = 0; round < 5; ++round) {
        const double start = ThreadCpuSeconds();
        CompareTake(model, take, kSentence);
        best = std::min(best, ThreadCpuSeconds() - start);
    }
    std::printf("cost: %.1f ms of CPU for a %.2f s take and a %.2f s model: %.4f of the take's duration (goal <= 0.01)\n",
                best * 1000.0, Seconds(take), Seconds(model), best / Seconds(take));

    // What the speech recogniser adds when it is installed: the model's
    // words found and the take's words checked (its first take also loads
    // the model, which is not counted).
    TakeWordChecker checker;
    const double load = ThreadCpuSeconds();
    checker.Check(model, take, kSentence, kLongestComparedSeconds);
    const double first = ThreadCpuSeconds() - load;
    double words = INFINITY;
    for (int round = 0; round < 3; ++round) {
        const double start = ThreadCpuSeconds();
        const TakeWordCheck check = checker.Check(model, take, kSentence, kLongestComparedSeconds);
        words = std::min(words, ThreadCpuSeconds() - start);
        if (check.words.empty()) {
            std::printf("words: not checked (%s)\n", qPrintable(check.note));
            return;
        }
    }
    std::printf("words: %.0f ms of CPU to place the model's words and check the take's: %.3f of the take's duration "
                "(first take, with loading the model: %.0f ms)\n",
                words * 1000.0, words / Seconds(take), first * 1000.0);
}

// The runner is destroyed at points spread over a 30-second take's analysis
// (its recogniser loaded afresh each time, as in a new window); the wait is
// what a stopped analysis still costs before its next check point.
void Stopping(const PcmAudio& sentence)
{
    FinishedTake finished;
    finished.serial = 1;
    finished.model.kind = TakeModel::Kind::Word;
    finished.model.text = kSentence;
    finished.model.wordAudio = Stretched(sentence, kLongestComparedSeconds / Seconds(sentence));
    finished.take = Stretched(sentence, kLongestComparedSeconds / Seconds(sentence) * 1.05);

    QElapsedTimer clock;
    double whole = 0;
    {
        TakeAnalysisRunner runner;
        bool done = false;
        QObject::connect(&runner, &TakeAnalysisRunner::analysed, [&] { done = true; });
        clock.start();
        runner.Analyse(finished);
        while (!done)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        whole = double(clock.nsecsElapsed()) * 1e-9;
    }
    double longest = 0;
    double sum = 0;
    constexpr int kPoints = 9;
    for (int i = 1; i <= kPoints; ++i) {
        std::unique_ptr<TakeAnalysisRunner> runner = std::make_unique<TakeAnalysisRunner>();
        runner->Analyse(finished);
        QThread::usleep(static_cast<unsigned long>(whole * 1e6 * i / (kPoints + 1)));
        clock.start();
        runner.reset();
        const double wait = double(clock.nsecsElapsed()) * 1e-9;
        longest = std::max(longest, wait);
        sum += wait;
    }
    std::printf("stopping: the whole analysis of a %.0f s take takes %.0f ms; destroying the runner during it waits "
                "%.0f ms on average, at most %.0f ms (%.2f of the whole)\n",
                Seconds(finished.take), whole * 1000.0, sum / kPoints * 1000.0, longest * 1000.0, longest / whole);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const PcmAudio spoken = Speak(kSentence);
    const PcmAudio synthetic = SyntheticVoice(4.0);
    Warping("espeak-ng", spoken, [&](double f) { return Stretched(spoken, f); });
    Warping("synthetic", synthetic, [](double f) { return SyntheticVoice(4.0, f); });
    Pitch("espeak-ng", spoken, [&](double st) { return PitchShifted(spoken, st); });
    Pitch("synthetic", synthetic, [](double st) { return SyntheticVoice(4.0, 1.0, st); });
    Differences();
    Cost(spoken);
    Stopping(spoken);
    return 0;
}
