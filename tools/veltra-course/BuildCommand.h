#pragma once

#include <QStringList>

// "veltra-course build COURSE_DIR DATA_DIR". Runs on the main thread.
int RunBuild(QStringList args);

inline constexpr char kBuildUsage[] =
    "  build COURSE_DIR DATA_DIR\n"
    "      Builds a data folder (qor.db, lesson and word recordings, tmpwav.wav)\n"
    "      from the lesson files COURSE_DIR/book1..book4/*.yaml (format: course/FORMAT.md).\n"
    "      Speech comes from espeak-ng. DATA_DIR is replaced only when the build is\n"
    "      complete, and only if it is new, empty or an earlier build's data folder.\n"
    "      Problems are printed as FILE:LINE: error|warning: MESSAGE; any error\n"
    "      exits with 2 and writes nothing, as does a stop (SIGTERM, SIGINT, SIGHUP).\n"
    "      --jobs N   speech and encoding processes at a time (default 2)\n";
