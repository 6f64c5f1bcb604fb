#pragma once

#include <QStringList>

// "veltra-course import [--replace] [--chinese] OLD_DATA_DIR NEW_DATA_DIR".
// Runs on the main thread.
int RunImport(QStringList args);

inline constexpr char kImportUsage[] =
    "  import [--replace] [--chinese] OLD_DATA_DIR NEW_DATA_DIR\n"
    "      Turns an old data folder (qor.mdb, an Access database, with qor1..qor4)\n"
    "      into one the program reads: writes NEW_DATA_DIR/qor.db with every row of\n"
    "      every table and copies the containers, PDFont1.ttf, tmpwav.wav and\n"
    "      qorHelp.chm. Prints one line per table: rows read, rows written. The old\n"
    "      folder is never changed; both may be the same folder (qor.db is added).\n"
    "      NEW_DATA_DIR must be new, empty or the old folder; one that holds qor.db\n"
    "      needs --replace, and the replaced qor.db or folder is kept under a dated\n"
    "      name. A damaged database exits with 1 and writes nothing. SIGTERM,\n"
    "      SIGINT and SIGHUP stop it, leaving nothing behind. --chinese prints the\n"
    "      progress and messages in Chinese, as the program shows them.\n";
