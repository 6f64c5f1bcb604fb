#pragma once

#include <QStringList>

// "veltra-course export": the program's MP3 and LRC export from a shell.
// Runs on the main thread.
int RunExport(QStringList args);

inline constexpr char kExportUsage[] =
    "  export DATA_DIR --book B --lessons EXPR OUT_DIR [--standard-times]\n"
    "      Writes the lessons of book B (1-4) that EXPR names (\"1,2-5,7\") into\n"
    "      the existing folder OUT_DIR as qorB-L.mp3 and qorB-L.lrc, as the\n"
    "      program's export dialog does, printing one line per lesson written.\n"
    "      The lyric tags are [mm:ss:mmm]; --standard-times writes [mm:ss.xx],\n"
    "      which common music players follow. An invalid EXPR, one naming no\n"
    "      lesson and a lesson with bad data exit with 1 and the program's\n"
    "      message; files written before a failure or a stop stay, and a stop\n"
    "      (SIGTERM, SIGINT, SIGHUP) comes between lessons.\n";
