#include "app/SessionSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's ends; -1 while no object listens. Written only by the GUI
// thread while the handlers are not installed.
volatile sig_atomic_t g_writeEnd = -1;
int g_readEnd = -1;

extern "C" void WriteSignalToPipe(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    const int fd = g_writeEnd;
    // A full pipe already holds a signal that is waiting to be read.
    if (fd >= 0)
        [[maybe_unused]] const ssize_t written = write(fd, &number, 1);
    errno = savedErrno;
}

void RestoreDefaults()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
}

}  // namespace

SessionSignals::SessionSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_readEnd = ends[0];
    g_writeEnd = ends[1];
    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { ReadPipe(); });

    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = true;
    for (int signal : kSignals)
        m_installed = sigaction(signal, &action, nullptr) == 0 && m_installed;
    if (!m_installed)
        RestoreDefaults();
}

SessionSignals::~SessionSignals()
{
    RestoreDefaults();
    if (g_readEnd < 0)
        return;
    delete m_notifier;
    close(g_writeEnd);
    close(g_readEnd);
    g_writeEnd = -1;
    g_readEnd = -1;
}

void SessionSignals::ReadPipe()
{
    // However many signals came, one close is enough.
    unsigned char numbers[16];
    bool any = false;
    while (read(g_readEnd, numbers, sizeof numbers) > 0)
        any = true;
    if (!any)
        return;
    m_ending = true;
    if (m_onSignal)
        m_onSignal();
    emit sessionEnding();
}
