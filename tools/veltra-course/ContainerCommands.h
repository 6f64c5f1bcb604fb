#pragma once

#include <QStringList>

// "veltra-course pack" and "veltra-course unpack": audio containers for
// course authors. Run on the main thread.
int RunPack(QStringList args);
int RunUnpack(QStringList args);

inline constexpr char kPackUsage[] =
    "  pack IN OUT\n"
    "      Packs the audio file IN (MP3 for a lesson, WAV for a word) into the\n"
    "      container OUT (.qor or .qow).\n";

inline constexpr char kUnpackUsage[] =
    "  unpack IN OUT\n"
    "      Writes the audio file held in the container IN to OUT.\n";
