#pragma once

#include "WavData.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A learner's own recording as a lesson stores it: an MP3 file is kept
// byte for byte; anything libsndfile reads (WAV, FLAC, Ogg) is mixed to
// mono and encoded to MP3. Nothing, with `error` set, when the file cannot
// be read or the program could not play the result. Any thread.
std::optional<QByteArray> LessonMp3FromFile(const QString& path, QString& error);

// The stretch [beginMs, endMs) of an MP3 decoded as the program plays it,
// mixed to mono, with a short fade at both ends: a new word cut from its
// lesson. Nothing when the MP3 cannot be decoded or the stretch is empty.
std::optional<MonoPcm> CutFromMp3(const QByteArray& mp3, int beginMs, int endMs);
