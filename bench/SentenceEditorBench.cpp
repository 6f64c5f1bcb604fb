// Opening the sentence time editor on a sentence in the middle of a
// 30-minute lesson (its waveform decoded and measured for the picture)
// against opening that lesson itself (sentences, words, note, unpacking and
// opening the recording). The recording has the course's format, 44.1 kHz
// joint stereo at 128 kbit/s, 300 sentences of five seconds a pause apart.
// Runs offscreen:
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy build-bench/sentence_editor_bench
#include "RatioReporter.h"
#include "support/CourseFixture.h"

#include "app/MainFrm.h"
#include "app/SenTimeFrm.h"
#include "app/VeltraApplication.h"
#include "audio/LessonAudio.h"
#include "data/DMUnit.h"
#include "support/MakeMp3.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kMinutes = 30;
constexpr int kSentences = 300;

CourseFixture& Course()
{
    static CourseFixture* course = [] {
        auto* c = new CourseFixture(1);
        c->Execute(QStringLiteral("Delete From tblQor1"));
        for (int s = 1; s <= kSentences; ++s)
            c->Execute(QStringLiteral("Insert Into tblQor1 Values(?,?,?,?,?)"),
                       {s, QStringLiteral("Sentence %1.").arg(s), Enciphered(QStringLiteral("句子%1。").arg(s)),
                        6000 * (s - 1) + 500, 6000 * (s - 1) + 5500});
        c->Execute(QStringLiteral("Update tblContent Set FBeginID=1, FEndID=? Where FID=1"), {kSentences});
        QFile file(c->DataDir() + LessonContainerPath(1, 1));
        const QByteArray container = PackContainer(MakeTestMp3(kMinutes * 60.0, 2, 44100, 128));
        if (!file.open(QIODevice::WriteOnly) || file.write(container) != container.size())
            throw std::runtime_error("cannot write the lesson container");
        return c;
    }();
    return *course;
}

void OpenLesson(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    TMainForm form(dm);
    for (auto _ : state) {
        if (!dm.OpenLesson(1))
            state.SkipWithError("lesson did not open");
        form.ShowLessonView();
    }
}
BENCHMARK(OpenLesson)->Unit(benchmark::kMillisecond);

void OpenEditor(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    TMainForm form(dm);
    if (!form.Audio().hasStream() || !dm.adsQorSen.MoveTo(kSentences / 2)) {
        state.SkipWithError("no lesson recording");
        return;
    }
    for (auto _ : state) {
        TSenTimeForm editor(&form, dm, form.Audio());
        editor.show();
    }
}
BENCHMARK(OpenEditor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    VeltraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Course();  // made before any timing
    RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{{"OpenEditor", "OpenLesson"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
