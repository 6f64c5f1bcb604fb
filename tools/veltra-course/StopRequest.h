#pragma once

#include <QString>

// How every long command (build, import, author, export) stops when it is
// asked to: a session ending, Ctrl-C, or the study program's Cancel
// (SIGTERM, SIGINT, SIGHUP). The handler only notes the signal; the command
// looks at StopRequested() between its steps, removes what it had begun,
// says so on stderr and ends with the status 128 + the signal's number
// (143 for SIGTERM), as a shell reports a command that signal ended. A
// caller tells a stop from a failure by that status alone; the program's
// runner counts it as cancelled.
//
// Install once, from the main thread, when the arguments are checked and
// before anything is written. System calls interrupted by the signal are
// restarted, so a stop never shows up as a read or write error.
void InstallStopRequest();
// Whether a stop was asked for; callable from any thread.
bool StopRequested();
// Once StopRequested(): prints "veltra-course: <message>" on stderr and
// returns the stop's status.
int Stopped(const QString& message);
