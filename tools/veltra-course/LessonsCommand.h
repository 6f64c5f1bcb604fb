#pragma once

#include <QStringList>

// "veltra-course lessons EXPR": shows how an export expands a lesson list.
// Runs on the main thread.
int RunLessons(QStringList args);

inline constexpr char kLessonsUsage[] =
    "  lessons EXPR\n"
    "      Prints the lesson numbers the lesson list expression EXPR names, as\n"
    "      the export expands it (\"1,2-5,7\" gives 1,2,3,4,5,7).\n";
