#include "BuildCommand.h"

#include "CommandLine.h"
#include "CourseBuilder.h"
#include "StopRequest.h"

#include <QElapsedTimer>

#include <cstdio>

int RunBuild(QStringList args)
{
    SpeechSynthesizer::Options speech;
    QString jobs;
    QString error;
    if (TakeOption(args, QStringLiteral("--jobs"), jobs, error)) {
        bool ok = false;
        speech.jobs = jobs.toInt(&ok);
        if (!ok || speech.jobs < 1 || speech.jobs > 8)
            return UsageError(QStringLiteral("--jobs takes a number from 1 to 8"));
    } else if (!error.isEmpty()) {
        return UsageError(error);
    }
    if (args.size() != 2)
        return UsageError(QStringLiteral("build needs COURSE_DIR and DATA_DIR"));

    InstallStopRequest();
    QElapsedTimer clock;
    clock.start();
    Diagnostics diagnostics;
    const CourseBuilder::Result result =
        CourseBuilder(speech, StopRequested).build(args.at(0), args.at(1), diagnostics, error);
    for (const Diagnostics::Entry& entry : diagnostics.entries())
        std::fprintf(stderr, "%s\n", entry.text().toUtf8().constData());
    switch (result) {
    case CourseBuilder::Result::Built:
        Print(QStringLiteral("Built %1 in %2 s\n").arg(args.at(1)).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
        return ExitOk;
    case CourseBuilder::Result::BadCourse:
        std::fprintf(stderr, "veltra-course: the course has errors; nothing was written\n");
        return ExitUsage;
    case CourseBuilder::Result::BadTarget:
        std::fprintf(stderr, "veltra-course: %s\n", error.toUtf8().constData());
        return ExitUsage;
    case CourseBuilder::Result::Failed:
        break;
    case CourseBuilder::Result::Stopped:
        return Stopped(QStringLiteral("stopped; nothing was written"));
    }
    return Failure(error);
}
