// Importing an old data folder of 276 lessons (69 per book, 20 sentences and
// 15 new words a lesson, 1 MB lesson and 16 KB word containers): reading the
// Access database alone is the baseline of the import into the same folder
// (database only), which is the baseline of the import into a new folder
// (database and copies of every container).
#include "RatioReporter.h"

#include "AccessFile.h"
#include "CourseImport.h"
#include "data/Schema.h"
#include "support/AccessCourse.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QTemporaryDir& Root()
{
    static const QTemporaryDir dir;
    return dir;
}

QString OldFolder() { return Root().path() + QStringLiteral("/Old"); }

void WriteCourse()
{
    QByteArray lesson(1 << 20, '\0');
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(lesson.data()), lesson.size() / 4);
    QString error;
    if (!WriteAccessDataFolder(OldFolder(), AccessCourseTables({69, 20, 15, 1500}), lesson, lesson.left(16 << 10),
                               QByteArray(), error))
        std::fprintf(stderr, "cannot write the course: %s\n", qPrintable(error));
}

void Import(benchmark::State& state, const QString& target)
{
    for (auto _ : state) {
        ImportText error;
        if (ImportCourse(OldFolder(), target, {}, [](const ImportText&) {}, error) != ImportResult::Imported)
            state.SkipWithError(qPrintable(error.english));
        state.PauseTiming();
        if (target == OldFolder())
            QFile::remove(target + QStringLiteral("/qor.db"));
        else
            QDir(target).removeRecursively();
        state.ResumeTiming();
    }
}

void ReadAccessRows(benchmark::State& state)
{
    for (auto _ : state) {
        AccessFile file;
        QString error;
        qint64 rows = 0;
        if (!file.open(OldFolder() + QStringLiteral("/Qor.mdb"), error))
            state.SkipWithError(qPrintable(error));
        for (const SchemaTable& table : SchemaTables()) {
            qint64 stored = 0;
            file.readTable(table.name, table.fields, [&](const QVariantList&) { return ++rows > 0; }, stored, error);
        }
        benchmark::DoNotOptimize(rows);
    }
}

void ImportIntoSameFolder(benchmark::State& state) { Import(state, OldFolder()); }
void ImportIntoNewFolder(benchmark::State& state) { Import(state, Root().path() + QStringLiteral("/Data")); }

} // namespace

BENCHMARK(ReadAccessRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportIntoSameFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImportIntoNewFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    WriteCourse();  // once, outside the timed runs
    RatioReporter reporter({{"ImportIntoSameFolder/real_time", "ReadAccessRows/real_time"},
                            {"ImportIntoNewFolder/real_time", "ImportIntoSameFolder/real_time"}},
                           RatioReporter::Clock::Wall);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
