#pragma once

#include <QString>

// A line of the import for whoever reads it: English on the command line,
// Chinese in the study program's dialogs, which run the import for the
// learner.
struct ImportText {
    QString english;
    QString chinese;

    bool isEmpty() const { return english.isEmpty(); }
};

// The system's reason for the error number `error` (an errno value).
ImportText SystemReason(int error);
