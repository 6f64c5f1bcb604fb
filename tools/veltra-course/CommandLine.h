#pragma once

#include <QString>
#include <QStringList>

// Exit codes shared by every sub-command. A long command that was asked to
// stop ends with 128 + the signal's number instead (see StopRequest.h).
enum ExitCode : int {
    ExitOk = 0,
    ExitFailed = 1,   // the operation itself failed (file cannot be unpacked, lesson cannot be opened)
    ExitUsage = 2,    // bad arguments or bad input
};

// What a long command prints for people and for the study program alike.
// Progress, on stdout, a line each, flushed at once:
//     [STEP/STEPS] KEY
//     [STEP/STEPS] KEY: DETAIL
// KEY names the step in a few stable English words ("aligning the text");
// the program shows its own words for it. DETAIL is what this step found
// (counts, names). A failure the program should name, on stderr:
//     veltra-course: [KEY] REASON
// KEY is a stable word for the kind of failure ("recording"), REASON the
// English for the report; a reason may go on over further lines.

// Prints "veltra-course: <message>" on stderr and returns ExitUsage.
int UsageError(const QString& message);
// Prints "veltra-course: <message>" on stderr and returns ExitFailed.
int Failure(const QString& message);
// Prints "veltra-course: [key] <message>" on stderr and returns ExitFailed.
int Failure(const char* key, const QString& message);
// Writes UTF-8 text to stdout.
void Print(const QString& text);
// Writes one line to stdout at once, for a reader following through a pipe.
void PrintLine(const QString& line);
// A progress line, as above.
void PrintProgress(int step, int steps, const QString& key, const QString& detail = {});

// Takes "--name VALUE" out of args; returns false (and leaves args) when absent.
// A trailing "--name" without a value is a usage error reported through `error`.
bool TakeOption(QStringList& args, const QString& name, QString& value, QString& error);
// Takes a bare "--name" flag out of args.
bool TakeFlag(QStringList& args, const QString& name);
// Reads a decimal integer; false when `text` is not one.
bool ParseInt(const QString& text, int& value);
