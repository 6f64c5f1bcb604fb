#pragma once

#include <gtest/gtest.h>

#include <source_location>
#include <string>

// The test files of a folder share one program, and GoogleTest sets up every
// registered environment in each run. A FileEnvironment belongs to the file
// that registers it and sets up only when a test of that file runs, as when
// each file was a program of its own.
class FileEnvironment : public ::testing::Environment {
public:
    explicit FileEnvironment(std::source_location where = std::source_location::current());

    // Whether a test of the registering file runs in this run.
    bool ForThisRun() const;

private:
    std::string m_file;
};

// The application object of the tests that run: a QApplication when a file
// that asks for one has a test in the run, otherwise a QCoreApplication.
// Shared by the environments of all the files, made at the first set-up and
// deleted at the last tear-down.
class AppEnvironment : public FileEnvironment {
public:
    enum class Kind { Core, Gui };

    AppEnvironment(Kind kind, std::source_location where);

    void SetUp() override;
    void TearDown() override;

private:
    Kind m_kind;
    bool m_holds = false;
};
