// The lesson audio engine on a 5-minute 128 kbps stereo lesson: a lesson
// switch against a bare zlib inflate of the same container, the mixer's CPU
// cost per second of audio at each speed against the native-rate copy, and
// the resident memory an open lesson adds.
#include "MixerCost.h"
#include "RatioReporter.h"
#include "ZlibInflate.h"

#include "audio/Container.h"
#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "support/MakeMp3.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

constexpr double kLessonSeconds = 300.0;
constexpr int kRate = 44100;

struct Lesson {
    QTemporaryDir dir;
    QByteArray mp3;
    QByteArray container;
    QString dataDir() const { return dir.path() + QLatin1Char('/'); }
};

// Two copies of one synthetic recording, so a switch always changes lesson.
const Lesson& TheLesson()
{
    static const std::unique_ptr<Lesson> lesson = [] {
        auto l = std::make_unique<Lesson>();
        l->mp3 = MakeTestMp3(kLessonSeconds, 2, kRate, 128);
        l->container = PackContainer(l->mp3);
        QDir(l->dir.path()).mkpath(QStringLiteral("qor1"));
        for (int n : {1, 2}) {
            QFile file(l->dir.filePath(QStringLiteral("qor1/%1.qor").arg(n)));
            if (file.open(QIODevice::WriteOnly))
                file.write(l->container);
        }
        return l;
    }();
    return *lesson;
}

double ResidentMiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BareInflate(benchmark::State& state)
{
    const QByteArray& container = TheLesson().container;
    const qsizetype size = TheLesson().mp3.size();
    for (auto _ : state) {
        std::unique_ptr<char[]> out(new char[static_cast<size_t>(size)]);
        if (!ZlibInflate(container, out.get(), size))
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.get());
    }
}

// Unpack, temporary MP3 written, decoder ready, first block mixed.
void LessonSwitch(benchmark::State& state)
{
    const Lesson& lesson = TheLesson();
    Mixer mixer;
    LessonAudio audio(mixer);
    std::vector<float> block(1024 * 2);
    int lessonNumber = 1;
    for (auto _ : state) {
        lessonNumber = 3 - lessonNumber;
        if (!audio.OpenLessonAudio(lesson.dataDir(), 1, lessonNumber, 10))
            state.SkipWithError("open failed");
        audio.PlaySentence(150000, 152000, seaNone);
        mixer.render(block.data(), 1024);
        benchmark::DoNotOptimize(block.data());
    }
}

// One iteration mixes one second of output; the counter is the share of
// one core that takes.
void MixerCost(benchmark::State& state)
{
    const Lesson& lesson = TheLesson();
    Mixer mixer;
    LessonAudio audio(mixer);
    if (!audio.OpenLessonAudio(lesson.dataDir(), 1, 1, int(state.range(0)))) {
        state.SkipWithError("open failed");
        return;
    }
    MixSecondsOfSpan(state, mixer, audio, kRate, 1000, 280000);
}

void ResidentMemory(benchmark::State& state)
{
    const Lesson& lesson = TheLesson();
    Mixer mixer;
    std::vector<float> block(1024 * 2);
    for (auto _ : state) {
        LessonAudio audio(mixer);
        const double before = ResidentMiB();
        audio.OpenLessonAudio(lesson.dataDir(), 1, 1, 12);
        audio.PlaySentence(290000, 295000, seaNone);
        for (int i = 0; i < 50; ++i)
            mixer.render(block.data(), 1024);
        const double added = ResidentMiB() - before;
        const double mp3 = double(lesson.mp3.size()) / (1024.0 * 1024.0);
        state.counters["mp3_MiB"] = mp3;
        state.counters["added_MiB"] = added;
        state.counters["added_per_mp3"] = added / mp3;
    }
}

// Console output plus each benchmark's time as a multiple of its baseline's.
class RatioPrinter : public benchmark::ConsoleReporter {
public:
    RatioPrinter() : ConsoleReporter(ConsoleOptions()) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_time[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void print(const char* name, const char* baseline) const
    {
        const auto a = m_time.find(name);
        const auto b = m_time.find(baseline);
        if (a == m_time.end() || b == m_time.end())
            return;
        PrintTimeRatio(name, a->second.first, baseline, b->second.first, "wall");
        PrintTimeRatio(name, a->second.second, baseline, b->second.second, "CPU");
    }

private:
    std::map<std::string, std::pair<double, double>> m_time;  // wall, CPU
};

} // namespace

// First, so no earlier benchmark has left freed pages for it to reuse; the
// one-time costs of the first open count against it.
BENCHMARK(ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BareInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(LessonSwitch)->Unit(benchmark::kMillisecond);
BENCHMARK(MixerCost)->Arg(10)->Arg(8)->Arg(12)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TheLesson();  // encoded once, before anything is measured
    RatioPrinter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime against the baseline of the same run:\n");
    reporter.print("LessonSwitch", "BareInflate");
    reporter.print("MixerCost/8", "MixerCost/10");
    reporter.print("MixerCost/12", "MixerCost/10");
    benchmark::Shutdown();
    return 0;
}
