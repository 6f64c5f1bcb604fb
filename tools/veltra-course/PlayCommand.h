#pragma once

#include <QStringList>

// "veltra-course play DATA_DIR ID SENTENCE [--speed 8..12]": plays one
// sentence of a lesson through the lesson audio engine, so course authors
// can check its span by ear. Runs on the main thread.
int RunPlay(QStringList args);

inline constexpr char kPlayUsage[] =
    "  play DATA_DIR ID SENTENCE [--speed 8..12]\n"
    "      Plays sentence number SENTENCE (from 1) of the lesson whose content\n"
    "      ID is ID on the default output device, at the given speed in tenths\n"
    "      of the normal rate (default: the data folder's \"Speed\" option), and\n"
    "      exits when the sentence has ended. With SDL_AUDIODRIVER=disk the\n"
    "      exact output is written to a file instead.\n";
