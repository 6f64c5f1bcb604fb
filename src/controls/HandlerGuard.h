#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

// Shows `text` in the application's error box once (caption "Veltra精读"),
// through the report the application installed; without one it goes to
// standard error. GUI thread only.
void ReportHandlerError(const QString& text);

// Installs the error box behind ReportHandlerError; an empty function
// restores standard error.
void InstallHandlerErrorReport(std::function<void(const QString& text)> report);

// Runs a handler body; an exception it lets escape ends only this handler and
// is shown in the error box. Every slot and lambda connected to a signal, and
// every overridden widget event handler, runs its body through this: an
// exception must not unwind through the signal machinery, and one unwinding
// through Qt's key and mouse dispatch leaks Qt's bookkeeping. The catch in
// the application object is only the last resort.
template <typename Body>
void RunGuarded(Body&& body)
{
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& e) {
        ReportHandlerError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportHandlerError(QStringLiteral("未知错误"));
    }
}

// A slot for connect() that runs `body` guarded; signal arguments are dropped.
template <typename Body>
auto Guarded(Body body)
{
    return [body = std::move(body)]() { RunGuarded(body); };
}
