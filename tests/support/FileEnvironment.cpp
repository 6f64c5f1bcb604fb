#include "support/FileEnvironment.h"

#include <QApplication>

#include <algorithm>
#include <memory>
#include <vector>

FileEnvironment::FileEnvironment(std::source_location where) : m_file(where.file_name()) {}

bool FileEnvironment::ForThisRun() const
{
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    for (int s = 0; s < run.total_test_suite_count(); ++s) {
        const ::testing::TestSuite& suite = *run.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(t);
            if (test.should_run() && m_file == test.file())
                return true;
        }
    }
    return false;
}

namespace {

std::vector<const AppEnvironment*>& AppEnvironments()
{
    static std::vector<const AppEnvironment*> environments;
    return environments;
}

struct SharedApp {
    int argc = 1;
    char name[16] = "veltra-tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    int holders = 0;
};

SharedApp& Shared()
{
    static SharedApp shared;
    return shared;
}

} // namespace

// GoogleTest owns the environments until the program ends.
AppEnvironment::AppEnvironment(Kind kind, std::source_location where) : FileEnvironment(where), m_kind(kind)
{
    AppEnvironments().push_back(this);
}

void AppEnvironment::SetUp()
{
    if (!ForThisRun())
        return;
    SharedApp& shared = Shared();
    if (!shared.app) {
        const bool gui = std::any_of(AppEnvironments().begin(), AppEnvironments().end(), [](const AppEnvironment* e) {
            return e->m_kind == Kind::Gui && e->ForThisRun();
        });
        if (gui)
            shared.app = std::make_unique<QApplication>(shared.argc, shared.argv);
        else
            shared.app = std::make_unique<QCoreApplication>(shared.argc, shared.argv);
    }
    ++shared.holders;
    m_holds = true;
}

void AppEnvironment::TearDown()
{
    if (!m_holds)
        return;
    m_holds = false;
    if (--Shared().holders == 0)
        Shared().app.reset();
}
