// The lesson voice at speeds 8 and 12, with the pitch kept (the stretcher)
// and without (the resampler), on a synthetic voiced tone: a 150 Hz harmonic
// series under a syllable-like envelope. Prints, before the timings:
//  - the fundamental of the output over that of the input, found by
//    autocorrelation (1.00 with the pitch kept; 0.80 / 1.20 without);
//  - the frames heard over the frames of the span (1.25 at 8, 0.833 at 12);
// then the mixer's CPU per second of sound, as a share of one core and
// against the untouched copy at speed 10.
#include "MixerCost.h"
#include "RatioReporter.h"

#include "audio/Container.h"
#include "audio/LessonAudio.h"
#include "audio/Mixer.h"
#include "audio/Mp3Decoder.h"
#include "support/MakeMp3.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 6.0;
constexpr double kFundamentalHz = 150.0;
constexpr int kBeginMs = 500;
constexpr int kEndMs = 5500;

struct Lesson {
    QTemporaryDir dir;
    QByteArray mp3;
    QString dataDir() const { return dir.path() + QLatin1Char('/'); }
};

std::vector<int16_t> VoicedTone()
{
    const auto frames = static_cast<int64_t>(kSeconds * kRate);
    std::vector<int16_t> pcm(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        double v = 0.0;
        for (int k = 1; k <= 12; ++k)
            v += std::sin(2.0 * M_PI * kFundamentalHz * k * t + 0.3 * k) / k;
        const double envelope = 0.6 - 0.4 * std::cos(2.0 * M_PI * 3.0 * t);  // three syllables a second
        const auto s = static_cast<int16_t>(std::lround(9000.0 * envelope * v));
        pcm[static_cast<size_t>(2 * i)] = s;
        pcm[static_cast<size_t>(2 * i + 1)] = s;
    }
    return pcm;
}

const Lesson& TheLesson()
{
    static const std::unique_ptr<Lesson> lesson = [] {
        auto l = std::make_unique<Lesson>();
        l->mp3 = EncodeMp3(VoicedTone(), 2, kRate, 128);
        QDir(l->dir.path()).mkpath(QStringLiteral("qor1"));
        QFile file(l->dir.filePath(QStringLiteral("qor1/1.qor")));
        if (file.open(QIODevice::WriteOnly))
            file.write(PackContainer(l->mp3));
        return l;
    }();
    return *lesson;
}

// The lag of the strongest period of `x` between 60 and 400 Hz, to a
// fraction of a frame: the first autocorrelation peak within 10 % of the
// highest, refined by a parabola through its neighbours.
double PeriodFrames(const std::vector<double>& x)
{
    const int minLag = kRate / 400;
    const int maxLag = kRate / 60;
    const size_t n = x.size() - static_cast<size_t>(maxLag) - 1;
    std::vector<double> r(static_cast<size_t>(maxLag + 2), 0.0);
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double xy = 0.0;
        double xx = 0.0;
        double yy = 0.0;
        for (size_t i = 0; i < n; ++i) {
            xy += x[i] * x[i + static_cast<size_t>(lag)];
            xx += x[i] * x[i];
            yy += x[i + static_cast<size_t>(lag)] * x[i + static_cast<size_t>(lag)];
        }
        r[static_cast<size_t>(lag)] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
    }
    double best = 0.0;
    for (int lag = minLag; lag <= maxLag; ++lag)
        best = std::max(best, r[static_cast<size_t>(lag)]);
    for (int lag = minLag; lag <= maxLag; ++lag) {
        const double a = r[static_cast<size_t>(lag - 1)];
        const double b = r[static_cast<size_t>(lag)];
        const double c = r[static_cast<size_t>(lag + 1)];
        if (b >= 0.9 * best && b >= a && b >= c) {
            const double bend = a - 2.0 * b + c;
            return lag + (bend != 0.0 ? 0.5 * (a - c) / bend : 0.0);
        }
    }
    return 0.0;
}

// The fundamental of the left channel of a stereo signal: the mean over five
// windows of its middle part.
double FundamentalHz(const std::vector<float>& stereo)
{
    const size_t frames = stereo.size() / 2;
    constexpr size_t kWindow = 8192;
    double sum = 0.0;
    int windows = 0;
    for (int w = 0; w < 5; ++w) {
        const size_t start = frames / 4 + static_cast<size_t>(w) * (frames / 2 - kWindow) / 4;
        std::vector<double> x(kWindow);
        for (size_t i = 0; i < kWindow; ++i)
            x[i] = stereo[2 * (start + i)];
        const double period = PeriodFrames(x);
        if (period > 0) {
            sum += kRate / period;
            ++windows;
        }
    }
    return windows > 0 ? sum / windows : 0.0;
}

struct Heard {
    double pitchRatio = 0.0;
    double lengthRatio = 0.0;
};

Heard Listen(bool keepPitch, int speed)
{
    const Lesson& lesson = TheLesson();
    Mixer mixer;
    LessonAudio audio(mixer);
    audio.ApplyKeepPitch(keepPitch);
    if (!audio.OpenLessonAudio(lesson.dataDir(), 1, 1, speed))
        return {};
    std::vector<float> out;
    std::vector<float> block(1024 * 2);
    audio.PlaySentence(kBeginMs, kEndMs, seaNone);
    while (audio.isPlaying()) {
        mixer.render(block.data(), 1024);
        out.insert(out.end(), block.begin(), block.end());
    }
    // The tone never falls silent, so the last sound is the last frame heard.
    size_t heard = out.size() / 2;
    while (heard > 0 && out[2 * heard - 2] == 0.0f && out[2 * heard - 1] == 0.0f)
        --heard;
    out.resize(2 * heard);

    const int64_t first = LessonAudio::MsToFrame(kBeginMs, kRate);
    const int64_t last = LessonAudio::MsToFrame(kEndMs, kRate);
    auto decoder = Mp3Decoder::open(lesson.mp3);
    std::vector<float> span(static_cast<size_t>((last - first + 1) * 2));
    if (!decoder || !decoder->seek(first) || decoder->read(span.data(), static_cast<long>(last - first + 1)) != last - first + 1)
        return {};
    const double in = FundamentalHz(span);
    return {in > 0 ? FundamentalHz(out) / in : 0.0, double(heard) / double(last - first + 1)};
}

// One iteration mixes one second of sound; args: speed, pitch kept.
void MixerCost(benchmark::State& state)
{
    Mixer mixer;
    LessonAudio audio(mixer);
    audio.ApplyKeepPitch(state.range(1) != 0);
    if (!audio.OpenLessonAudio(TheLesson().dataDir(), 1, 1, int(state.range(0)))) {
        state.SkipWithError("open failed");
        return;
    }
    MixSecondsOfSpan(state, mixer, audio, kRate, kBeginMs, kEndMs);
}

} // namespace

BENCHMARK(MixerCost)
    ->ArgNames({"speed", "keep"})
    ->Args({10, 0})
    ->Args({8, 0})
    ->Args({12, 0})
    ->Args({8, 1})
    ->Args({12, 1})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("Voiced tone at %.0f Hz, span %d..%d ms:\n", kFundamentalHz, kBeginMs, kEndMs);
    std::printf("  %-12s %5s %12s %12s\n", "way", "speed", "pitch ratio", "length ratio");
    for (bool keepPitch : {true, false}) {
        for (int speed : {8, 12}) {
            const Heard h = Listen(keepPitch, speed);
            std::printf("  %-12s %5d %12.4f %12.4f\n", keepPitch ? "pitch kept" : "resampled", speed, h.pitchRatio,
                        h.lengthRatio);
        }
    }
    std::printf("\n");
    RatioReporter reporter({{"MixerCost/speed:8/keep:1", "MixerCost/speed:10/keep:0"},
                            {"MixerCost/speed:12/keep:1", "MixerCost/speed:10/keep:0"},
                            {"MixerCost/speed:8/keep:0", "MixerCost/speed:10/keep:0"},
                            {"MixerCost/speed:12/keep:0", "MixerCost/speed:10/keep:0"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime against the untouched copy at speed 10, same run:\n");
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
