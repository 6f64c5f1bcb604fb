// How long a word takes from its container to the first mixed frame, against
// the least any player must do: unpack the container and decode the WAV.
#include "RatioReporter.h"
#include "ToneWordContainer.h"

#include "audio/Container.h"
#include "audio/Mixer.h"
#include "audio/WavFile.h"
#include "controls/kznMediaPlayer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// A word recording of 0.8 s, 22,050 Hz mono, as 16-bit PCM or IMA ADPCM.
QString MakeWordContainer(const QTemporaryDir& dir, int subformat)
{
    const int rate = 22050;
    const QString wav = dir.filePath(QString("word%1.wav").arg(subformat));
    const QString qow = dir.filePath(QString("%1.qow").arg(subformat));
    QFile out(qow);
    out.open(QIODevice::WriteOnly);
    out.write(PackedToneWav(wav, rate, rate * 8 / 10, 300.0, 0.4f, subformat));
    return qow;
}

int Subformat(const benchmark::State& state)
{
    return state.range(0) == 0 ? SF_FORMAT_PCM_16 : SF_FORMAT_IMA_ADPCM;
}

void UnpackAndDecode(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString qow = MakeWordContainer(dir, Subformat(state));
    for (auto _ : state) {
        std::optional<QByteArray> wav = UnpackContainerFile(qow);
        std::optional<PcmAudio> audio = wav ? DecodeWav(*wav) : std::nullopt;
        if (!audio)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(audio);
    }
}

// The same through a temporary file, as the word player receives it.
void UnpackToFileAndDecode(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString qow = MakeWordContainer(dir, Subformat(state));
    for (auto _ : state) {
        const QString wav = UnpackToTempFile(qow, ".wav");
        std::optional<PcmAudio> audio = DecodeWavFile(wav);
        QFile::remove(wav);
        if (!audio)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(audio);
    }
}

// What speaking a word does: a temporary WAV, PlayFile on a player that
// deletes the previous one, and the mixer's first block.
void WordPath(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString qow = MakeWordContainer(dir, Subformat(state));
    Mixer mixer;
    TkznMediaPlayer player(nullptr, &mixer);
    player.SetDeleteFileWhenClose(true);
    std::vector<float> block(256 * Mixer::kChannels);
    for (auto _ : state) {
        player.PlayFile(UnpackToTempFile(qow, ".wav"));
        mixer.render(block.data(), 256);
        if (block[2 * 255] == 0.0f)
            state.SkipWithError("nothing mixed");
        QCoreApplication::processEvents();
    }
    player.CloseAndDeleteFile();
}

// Keeps each benchmark's median and prints the word path against its baseline.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(ConsoleOptions()) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_seconds[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        for (const char* arg : {"0", "1"}) {
            const auto median = [&](const char* name) {
                const auto found = m_seconds.find(std::string(name) + "/" + arg);
                return found == m_seconds.end() ? 0.0 : found->second;
            };
            const std::string path = std::string("WordPath/") + arg + (arg[0] == '0' ? " (PCM16)" : " (IMA ADPCM)");
            PrintTimeRatio(path, median("WordPath"), "UnpackAndDecode", median("UnpackAndDecode"), "wall, medians");
            PrintTimeRatio(path, median("WordPath"), "UnpackToFileAndDecode", median("UnpackToFileAndDecode"),
                           "wall, medians");
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

} // namespace

BENCHMARK(UnpackAndDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(UnpackToFileAndDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(WordPath)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
