#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// What the course tool prints while the program runs it, and the program's
// Chinese for it. The tool names its steps and its failures by stable keys
// and leaves the words for the learner to the program:
//     [STEP/STEPS] KEY               progress, on standard output
//     [STEP/STEPS] KEY: DETAIL
//     veltra-course: [KEY] REASON    a failure of a kind it names, on standard error
//     veltra-course: REASON          any other failure
// Exit status 0 is success, 1 a failure, 2 refused arguments, and 128 + the
// signal's number a stop it was asked for (it cleaned up first). Pure.

struct ToolProgress {
    int step = 0;
    int steps = 0;
    QString key;
    QString detail;  // empty when the line has none
};

// A progress line as above, with 0 <= STEP <= STEPS and STEPS >= 1; nothing
// for any other line.
std::optional<ToolProgress> ParseToolProgress(const QString& line);

struct ToolFailure {
    QString key;     // empty when the tool named no kind
    QString reason;  // the tool's own words
};

// The tool's last "veltra-course: " line on standard error, else its last line.
ToolFailure ParseToolFailure(const QByteArray& stderrBytes);

// How a run of the course tool ended, as the program sees it.
enum class ToolEnd {
    Done,        // exit status 0, even after a cancel that came too late
    Failed,      // the tool said why
    Refused,     // the tool refused its arguments
    Crashed,     // it died without cleaning up
    Cancelled,   // it stopped when asked, by us or by a signal from elsewhere
    NotStarted,  // the tool could not be started
};

// `cancelled`: we asked it to stop, so any end but success is the stop.
ToolEnd EndOfRun(bool crashed, int exitCode, bool cancelled);

// The Chinese one kind of run shows: its words for the tool's keys, and for
// the ends every run can have.
struct CourseToolTexts {
    QHash<QString, QString> steps;     // progress key -> what is being done
    QString otherStep;                 // a key not in `steps`; empty: the tool's own words
    QHash<QString, QString> failures;  // failure key -> what went wrong
    QString failed;                    // a failure of no kind known here
    QString refused;
    QString crashed;
    QString missing;     // the tool cannot be started; %1 is its path
    QString reasonLead;  // put before the tool's reason, on the line beneath

    QString StepText(const ToolProgress& progress) const;
    // The message for `end` (empty for Done and Cancelled): what went wrong,
    // and beneath it the tool's own reason when it gave one.
    QString FailureText(ToolEnd end, const ToolFailure& failure, const QString& tool) const;
};
