// Unpacking a lesson-sized container against a bare zlib inflate of the same
// stream, and the cipher's decoding speed.
#include "RatioReporter.h"
#include "ZlibInflate.h"
#include "audio/Container.h"
#include "data/Cipher.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>


#include <memory>

namespace {

constexpr qsizetype kAudioSize = 5 << 20;

// Lesson recordings are MP3 and barely compress; this mix of random and
// repeated bytes compresses to about two thirds.
const QByteArray& Container()
{
    static const QByteArray container = [] {
        QByteArray audio(kAudioSize, '\0');
        QRandomGenerator gen(2024);
        for (qsizetype i = 0; i < audio.size(); ++i)
            audio[i] = char(i % 3 == 0 ? 0x55 : gen.bounded(256));
        return PackContainer(audio);
    }();
    return container;
}

void BareInflate(benchmark::State& state)
{
    const QByteArray& container = Container();
    for (auto _ : state) {
        std::unique_ptr<char[]> out(new char[kAudioSize]);
        if (!ZlibInflate(container, out.get(), kAudioSize))
            state.SkipWithError("inflate failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(state.iterations() * kAudioSize);
}

void UnpackInMemory(benchmark::State& state)
{
    const QByteArray& container = Container();
    for (auto _ : state) {
        std::optional<QByteArray> audio = UnpackContainer(container);
        if (!audio)
            state.SkipWithError("unpack failed");
        benchmark::DoNotOptimize(audio);
    }
    state.SetBytesProcessed(state.iterations() * kAudioSize);
}

void UnpackFromFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("1.qor");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Container()) != Container().size()) {
        state.SkipWithError("cannot write the container");
        return;
    }
    file.close();
    for (auto _ : state) {
        std::optional<QByteArray> audio = UnpackContainerFile(path);
        if (!audio)
            state.SkipWithError("unpack failed");
        benchmark::DoNotOptimize(audio);
    }
    state.SetBytesProcessed(state.iterations() * kAudioSize);
}

// A 20-byte file claiming 2 GB is refused before anything is allocated for
// it, so this stays in the nanoseconds rather than the time to map 2 GB.
void RejectAbsurdLength(benchmark::State& state)
{
    const QByteArray container = QByteArray("\xff\xff\xff\x7f", 4) + Container().mid(4, 16);
    for (auto _ : state) {
        std::optional<QByteArray> audio = UnpackContainer(container);
        if (audio)
            state.SkipWithError("an impossible container was accepted");
        benchmark::DoNotOptimize(audio);
    }
}

// Decoding an explanation-sized field (4 KB of text) and a large one.
void CipherDecode(benchmark::State& state)
{
    QByteArray plain(state.range(0), '\0');
    QRandomGenerator gen(7);
    for (char& c : plain)
        c = char(gen.bounded(1, 255));
    const QByteArray hex = CipherText(plain, kFieldKey, kEncodeMode, [] { return std::uint8_t(99); });
    for (auto _ : state) {
        QByteArray out = CipherText(hex, kFieldKey, kDecodeMode);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * hex.size());
}

} // namespace

BENCHMARK(BareInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(UnpackInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(UnpackFromFile)->Unit(benchmark::kMillisecond);
BENCHMARK(RejectAbsurdLength);
BENCHMARK(CipherDecode)->Arg(4 << 10)->Arg(1 << 20);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({{"UnpackInMemory", "BareInflate"}, {"UnpackFromFile", "BareInflate"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
