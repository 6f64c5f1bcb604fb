#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the course tool prints while the program runs it: progress lines on
// standard output, its reason on standard error when it fails. Pure.

struct ToolProgress {
    int step = 0;
    int steps = 0;
    QString what;  // the tool's own words, English
};

// "[step/steps] what"; nothing for any other line.
std::optional<ToolProgress> ParseToolProgress(const QString& line);

// The tool's own words for what went wrong: its last "veltra-course: " line
// without that prefix, else its last line.
QString ToolMessage(const QByteArray& stderrBytes);
