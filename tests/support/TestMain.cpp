#include "support/QtTestRegistry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// A temporary folder of this run, below the one the run was given, stands in
// for it while the tests run: what they and the program put there (their
// own folders, the program's per-user folder, the toolkit's runtime folder)
// goes with it at the end, so the tests leave no folder behind.
class RunTempFolder {
public:
    RunTempFolder() : m_old(qgetenv("TMPDIR")), m_dir(QDir::tempPath() + QStringLiteral("/veltra-test-XXXXXX"))
    {
        if (m_dir.isValid())
            qputenv("TMPDIR", QFile::encodeName(m_dir.path()));
    }
    ~RunTempFolder()
    {
        if (m_old.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_old);
    }
    RunTempFolder(const RunTempFolder&) = delete;
    RunTempFolder& operator=(const RunTempFolder&) = delete;

private:
    QByteArray m_old;
    QTemporaryDir m_dir;
};

// `--all-skipped-exit=N`: the exit status of a run whose every test was
// skipped, so that CTest, running one suite, tells it from one that passed.
// 0 when not given.
int AllSkippedExit(int argc, char** argv)
{
    static constexpr std::string_view option = "--all-skipped-exit=";
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]).starts_with(option))
            return std::atoi(argv[i] + option.size());
    }
    return 0;
}

int RunTests(int argc, char** argv)
{
    if (argc > 1 && argv[1][0] != '-') {
        const QtTestMain run = FindQtTest(argv[1]);
        if (!run) {
            std::fprintf(stderr, "%s: no QtTest class %s in this program\n", argv[0], argv[1]);
            return 2;
        }
        // The class's main sees the program's name and the options after the class.
        std::vector<char*> args{argv[0]};
        args.insert(args.end(), argv + 2, argv + argc);
        args.push_back(nullptr);
        return run(argc - 1, args.data());
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int allSkippedExit = AllSkippedExit(argc, argv);
    const int result = RUN_ALL_TESTS();
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    if (result == 0 && allSkippedExit != 0 && unit.test_to_run_count() > 0
        && unit.skipped_test_count() == unit.test_to_run_count())
        return allSkippedExit;
    return result;
}

} // namespace

// `PROGRAM Class [QtTest options]` runs the QtTest class Class; options alone
// (or none) run the GoogleTest cases.
int main(int argc, char** argv)
{
    const RunTempFolder temp;
    return RunTests(argc, argv);
}
