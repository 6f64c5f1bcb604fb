#pragma once

#include <vector>

// The fundamental frequency of each analysis frame in Hz, by YIN (aubio's
// FFT-based "yinfast", 64 ms windows, on the voice below 900 Hz), 0 where the
// frame is unvoiced: quiet, aperiodic, outside 60..600 Hz, more than four
// semitones off the frames around it (a slip to a harmonic), or part of a
// voiced run shorter than 80 ms. A 5-frame median smooths what is left.
// Pure: callable from any thread.
std::vector<float> TrackPitch(const std::vector<float>& voice, const std::vector<bool>& quiet);

// The median of the voiced frames in Hz; 0 when none is voiced.
float MedianPitch(const std::vector<float>& hz);

// Each voiced frame in semitones above (or below) `referenceHz`; NaN where
// unvoiced or when there is no reference.
std::vector<float> SemitonesFrom(const std::vector<float>& hz, float referenceHz);

// The number of semitones from `fromHz` to `toHz`; NaN unless both are voiced.
float SemitonesBetween(float fromHz, float toHz);
