#include "StopRequest.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_stop{false};

extern "C" void OnStopSignal(int)
{
    g_stop.store(true);
}

} // namespace

void InstallStopRequest()
{
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool StopRequested()
{
    return g_stop.load();
}
