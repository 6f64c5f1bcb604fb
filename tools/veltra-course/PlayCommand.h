#pragma once

#include <QStringList>

// "veltra-course play DATA_DIR ID SENTENCE [--speed 8..12] [--keep-pitch]": plays one
// sentence of a lesson through the lesson audio engine, so course authors
// can check its span by ear. Runs on the main thread.
int RunPlay(QStringList args);

inline constexpr char kPlayUsage[] =
    "  play DATA_DIR ID SENTENCE [--speed 8..12] [--keep-pitch]\n"
    "      Plays sentence number SENTENCE (from 1) of the lesson whose content\n"
    "      ID is ID on the default output device, at the given speed in tenths\n"
    "      of the normal rate (default: the data folder's \"Speed\" option), and\n"
    "      exits when the sentence has ended. --keep-pitch changes the speed\n"
    "      without changing the voice's pitch (default: the data folder's\n"
    "      \"KeepPitch\" option). With SDL_AUDIODRIVER=disk the exact output is\n"
    "      written to a file instead.\n";
