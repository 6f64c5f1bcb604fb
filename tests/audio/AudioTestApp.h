#pragma once

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

// Gives every test of the binary a QCoreApplication, so queued completions
// have an event loop to reach.
class AudioTestApp : public ::testing::Environment {
public:
    void SetUp() override { m_app = new QCoreApplication(m_argc, m_argv); }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    int m_argc = 1;
    char m_name[16] = "audio_test";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication* m_app = nullptr;
};

inline void DeliverQueuedCalls()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Runs the event loop until `done` holds or `limit` passes; a wide limit,
// never a measurement.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
