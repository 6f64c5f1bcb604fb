#pragma once

#include "audio/WaveformPeaks.h"

#include <QByteArray>

#include <vector>

// The waveform of beginMs..endMs of an MP3 held in memory, as the minimum
// and maximum of each of `columns` columns. The stretch is decoded by a
// reader of its own, block by block, so a long stretch costs no more memory
// than a short one. Time outside the recording shows as silence; an MP3 that
// cannot be read gives an empty result. Pure: callable from any thread.
std::vector<PeakColumn> RecordingPeaks(const QByteArray& mp3, int beginMs, int endMs, int columns);
