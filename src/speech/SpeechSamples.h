#pragma once

#include "audio/WavFile.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// A recording as the speech model hears it: mono, 16 kHz, 16-bit, on the
// same time line as the program plays it (the MP3 decoded exactly as the
// lesson engine decodes it). Pure functions: callable from any thread.

// Nothing when the bytes are not an MP3 the lesson engine can play. Decodes
// and resamples a block at a time, so a long recording never lies in
// memory at its own rate.
std::optional<std::vector<int16_t>> SpeechSamplesOfMp3(const QByteArray& mp3);
std::vector<int16_t> SpeechSamplesOf(const PcmAudio& audio);
