#pragma once

#include "support/FileEnvironment.h"

#include <QCoreApplication>

#include <chrono>
#include <functional>

// Gives the tests of the file that registers it a QCoreApplication, so queued
// completions have an event loop to reach.
class AudioTestApp : public AppEnvironment {
public:
    explicit AudioTestApp(std::source_location where = std::source_location::current())
        : AppEnvironment(Kind::Core, where)
    {
    }
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
