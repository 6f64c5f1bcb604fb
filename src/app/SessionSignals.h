#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (logout, `kill`, Ctrl+C) into a call of
// `onSignal` on the GUI thread, from the event loop. The handlers only write
// the signal's number into a pipe, which is all a signal handler may safely
// do; the notifier reads it on the GUI thread. The default reactions come
// back when the object goes.
//
// One object per process, created and destroyed on the GUI thread.
class SessionSignals final : public QObject {
    Q_OBJECT
public:
    explicit SessionSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SessionSignals() override;
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;

    // False when the pipe or a handler could not be set up; the signals then
    // keep their default reactions.
    bool Installed() const { return m_installed; }

    // Whether a signal has come: the session is ending.
    bool SessionEnding() const { return m_ending; }

signals:
    // After `onSignal`, for work in progress that must stop with the session.
    void sessionEnding();

private:
    void ReadPipe();

    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
    bool m_ending = false;
};
