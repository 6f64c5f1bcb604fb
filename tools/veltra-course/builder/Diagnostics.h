#pragma once

#include "CourseModel.h"

#include <QString>

#include <vector>

// Errors and warnings about a course, each tied to a file and line so an
// author can jump straight to it. Single-threaded.
class Diagnostics {
public:
    enum class Kind { Warning, Error };
    struct Entry {
        Kind kind;
        SourceLine where;
        QString message;
        // "path:line: error: message" (the line is left out when it is 0).
        QString text() const;
    };

    void error(const SourceLine& where, const QString& message);
    void warning(const SourceLine& where, const QString& message);

    bool hasErrors() const { return m_errors > 0; }
    const std::vector<Entry>& entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
    int m_errors = 0;
};
