#pragma once

// Runs the course tool the test was built with (VELTRA_COURSE_EXE, set by the
// test's target) and keeps what it printed.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
    // Standard output byte for byte, for output that is not UTF-8.
    QByteArray rawOut;
};

inline ToolRun RunCourseTool(const QStringList& args,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELTRA_COURSE_EXE), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    const QByteArray out = p.readAllStandardOutput();
    return {p.exitCode(), QString::fromUtf8(out), QString::fromUtf8(p.readAllStandardError()), out};
}
