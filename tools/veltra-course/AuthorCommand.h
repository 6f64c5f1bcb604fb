#pragma once

#include <QStringList>

// "veltra-course author": a lesson made from any recording and its text.
// Main thread only.
int RunAuthor(QStringList args);

inline constexpr char kAuthorUsage[] =
    "  author DATA_DIR --book B --audio FILE --text FILE [--chinese FILE]\n"
    "         [--title TEXT] [--words FILE] [--lesson N]\n"
    "      Adds a lesson to book B (1-4) of the course in DATA_DIR: the recording\n"
    "      FILE (an MP3 is kept as it is; WAV, FLAC and Ogg are encoded to MP3)\n"
    "      and its text, one sentence a line or running text. The time of each\n"
    "      sentence is found by aligning the text to the recording with the\n"
    "      speech model (Debian package pocketsphinx-en-us). --chinese gives one\n"
    "      translation a line, --title the lesson's title (default: the text's\n"
    "      first line), --words a YAML list of new words (en, zh, optional ipa\n"
    "      and info), --lesson a free lesson number (default: the next one).\n"
    "      Prints progress lines \"[k/n] STEP\", then one line per sentence,\n"
    "      NUMBER BEGIN_MS END_MS CONFIDENCE separated by tabs, with a fifth\n"
    "      field \"?\" where the time is uncertain, then\n"
    "      \"added book B lesson L: S sentences, U uncertain\". A failure of\n"
    "      the speech model, the recording, the alignment, the new words, the\n"
    "      course's database or the writing is named first, as in\n"
    "      \"veltra-course: [recording] REASON\". A failed or stopped run leaves\n"
    "      the data folder as it was.\n";
