// A lesson change in the main window (post the note, open the lesson, header,
// explanation, note page, unpack and open the recording) against opening the
// same lessons in the data store alone. Runs offscreen on a generated course
// with a three-second recording per lesson:
//   QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy build-bench/lesson_switch_bench
#include "RatioReporter.h"
#include "support/CourseFixture.h"

#include "app/MainFrm.h"
#include "app/VeltraApplication.h"
#include "data/DMUnit.h"
#include "data/LessonStepping.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kLessons = 8;

CourseFixture& Course()
{
    static CourseFixture course(kLessons);
    return course;
}

void DataStoreOnly(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    for (auto _ : state) {
        if (!NextLesson(dm))
            state.SkipWithError("lesson did not open");
    }
}
BENCHMARK(DataStoreOnly)->Unit(benchmark::kMicrosecond);

void MainWindowSwitch(benchmark::State& state)
{
    TDM dm(Course().DataDir());
    TMainForm form(dm);
    if (form.StartupFailed()) {
        state.SkipWithError("no audio output");
        return;
    }
    for (auto _ : state) {
        const int before = dm.CurContentID;
        form.NextLesson();
        if (dm.CurContentID == before)
            state.SkipWithError("lesson did not change");
    }
}
BENCHMARK(MainWindowSwitch)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    VeltraApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{{"MainWindowSwitch", "DataStoreOnly"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
