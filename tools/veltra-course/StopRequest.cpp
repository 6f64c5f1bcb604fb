#include "StopRequest.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

// The first stop signal; later ones change nothing.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int signal)
{
    int none = 0;
    g_signal.compare_exchange_strong(none, signal);
}

} // namespace

void InstallStopRequest()
{
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool StopRequested()
{
    return g_signal.load() != 0;
}

int Stopped(const QString& message)
{
    std::fprintf(stderr, "veltra-course: %s\n", message.toUtf8().constData());
    return 128 + g_signal.load();
}
