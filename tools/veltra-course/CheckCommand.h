#pragma once

#include <QStringList>

// "veltra-course check": which words of a sentence a take says unclearly.
// Main thread only.
int RunCheck(QStringList args);

inline constexpr char kCheckUsage[] =
    "  check TAKE --text SENTENCE\n"
    "      Checks a reading of SENTENCE (a WAV, FLAC or Ogg file) word by word\n"
    "      with the speech model (Debian package pocketsphinx-en-us). Prints one\n"
    "      line per word, WORD BEGIN_MS END_MS SCORE RESULT separated by tabs:\n"
    "      where the word lies in the take, its goodness of pronunciation (0 is\n"
    "      best, lower is worse) and \"清楚\", \"不太清楚\", \"不清楚\" or \"漏读\"\n"
    "      (left out; its times and score are then 0). Exit 1 when the take\n"
    "      cannot be read or holds no speech.\n";
