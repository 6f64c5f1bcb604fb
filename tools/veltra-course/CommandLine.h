#pragma once

#include <QString>
#include <QStringList>

// Exit codes shared by every sub-command.
enum ExitCode : int {
    ExitOk = 0,
    ExitFailed = 1,   // the operation itself failed (file cannot be unpacked, lesson cannot be opened)
    ExitUsage = 2,    // bad arguments or bad input
};

// Prints "veltra-course: <message>" on stderr and returns ExitUsage.
int UsageError(const QString& message);
// Prints "veltra-course: <message>" on stderr and returns ExitFailed.
int Failure(const QString& message);
// Writes UTF-8 text to stdout.
void Print(const QString& text);

// Takes "--name VALUE" out of args; returns false (and leaves args) when absent.
// A trailing "--name" without a value is a usage error reported through `error`.
bool TakeOption(QStringList& args, const QString& name, QString& value, QString& error);
// Takes a bare "--name" flag out of args.
bool TakeFlag(QStringList& args, const QString& name);
// Reads a decimal integer; false when `text` is not one.
bool ParseInt(const QString& text, int& value);
