#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

// One QApplication for a GoogleTest binary with widgets.
class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_app = std::make_unique<QApplication>(m_argc, m_argv); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "controls-test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};
