// Unpacking a lesson-sized container against a bare zlib inflate of the same
// stream, and the cipher's decoding speed.
#include "RatioReporter.h"
#include "ZlibInflate.h"
#include "audio/Container.h"
#include "data/Cipher.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>


#include <algorithm>
#include <memory>
#include <vector>

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

// Decoding an explanation-sized field (4 KB of text) and a large one. Each
// iteration decodes the next of several fields, each with its own text and
// seed (64 small ones; large ones up to 16 MB of hex in all), so that the
// branch predictor cannot learn one input.
void CipherDecode(benchmark::State& state)
{
    const qsizetype size = state.range(0);
    const qsizetype count = std::clamp<qsizetype>((8 << 20) / size, 2, 64);
    std::vector<QByteArray> fields;
    QRandomGenerator gen(7);
    for (qsizetype i = 0; i < count; ++i) {
        QByteArray plain(size, '\0');
        for (char& c : plain)
            c = char(gen.bounded(1, 255));
        fields.push_back(CipherText(plain, kFieldKey, kEncodeMode, [&gen] { return std::uint8_t(gen.bounded(256)); }));
    }
    std::size_t next = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray& hex = fields[next];
        next = (next + 1) % fields.size();
        QByteArray out = CipherText(hex, kFieldKey, kDecodeMode);
        benchmark::DoNotOptimize(out);
        bytes += hex.size();
    }
    state.SetBytesProcessed(bytes);
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
