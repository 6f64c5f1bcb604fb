// One step of continuous word reading (unpack the word's container to a
// temporary WAV, delete the previous one, open and play it on the word
// player) against unpacking the same container in memory. A step must stay
// far below the shortest pause between words, 100 ms.
#include "RatioReporter.h"
#include "ToneWordContainer.h"
#include "app/ReadingAdapters.h"
#include "audio/Container.h"
#include "audio/Mixer.h"
#include "audio/WordReading.h"
#include "audio/WordSpeaker.h"
#include "data/LessonDataSet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sndfile.h>

#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr int kWords = 8;

// A data folder with kWords one-second words of book 1.
struct WordFolder {
    WordFolder()
    {
        QDir(dir.path()).mkdir(QStringLiteral("qor1"));
        container = PackedToneWav(dir.filePath(QStringLiteral("w.wav")), kRate, kRate, 440.0, 8000.0f / 32768.0f,
                                  SF_FORMAT_PCM_16);
        for (int id = 1; id <= kWords; ++id) {
            QFile out(dir.filePath(QStringLiteral("qor1/%1.qow").arg(id)));
            out.open(QIODevice::WriteOnly);
            out.write(container);
        }
    }
    QTemporaryDir dir;
    QByteArray container;
};

WordFolder& Folder()
{
    static WordFolder folder;
    return folder;
}

class NoTimer final : public StepTimer {
public:
    void SetActive(bool active) override { m_active = active; }
    bool Active() const override { return m_active; }

private:
    bool m_active = false;
};

void UnpackWordInMemory(benchmark::State& state)
{
    for (auto _ : state) {
        std::optional<QByteArray> audio = UnpackContainer(Folder().container);
        benchmark::DoNotOptimize(audio);
    }
}

void ContinuousWordStep(benchmark::State& state)
{
    Mixer mixer;  // never rendered: the voice is started, not heard
    TkznMediaPlayer player(nullptr, &mixer);
    player.SetDeleteFileWhenClose(true);
    MediaWordPlayer port(player);
    WordSpeaker speaker(port, Folder().dir.path());
    TLessonDataSet words;
    RowSet rows;
    rows.fields = {QStringLiteral("FID")};
    for (int id = 1; id <= kWords; ++id)
        rows.rows.push_back({id});
    words.Assign(rows);
    NoTimer timer;
    WordReading reading(words, speaker, timer, [] { return 1; });
    reading.Start();
    for (auto _ : state)
        reading.TimerStep();
    reading.Stop();
    player.CloseAndDeleteFile();
}

}  // namespace

BENCHMARK(UnpackWordInMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(ContinuousWordStep)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{{"ContinuousWordStep", "UnpackWordInMemory"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
