#pragma once

#include "audio/WavFile.h"

#include <QString>

#include <optional>

// Voices for the take comparison's tests and benchmark, all made at run time.

// A voiced signal with a known shape: a harmonic series whose fundamental
// glides 110 → 160 → 90 Hz (or, as a question, rises again over its last
// quarter, from 125 to 220 Hz), two formants that wander between vowel-like
// positions, and four syllables a second. `durationFactor` stretches its
// time line (2.0 = twice as long, every sound in proportion) and
// `semitones` raises its pitch, formants kept; mono 22,050 Hz.
PcmAudio SyntheticVoice(double seconds, double durationFactor = 1.0, double semitones = 0.0, bool question = false);

// `text` spoken by espeak-ng (by default British English, 150 words a
// minute), mono 22,050 Hz; nothing when espeak-ng cannot be run, with why in
// `error`.
std::optional<PcmAudio> SynthesisedSpeech(const QString& text, QString& error,
                                          const QString& voice = QStringLiteral("en-gb"), int wordsPerMinute = 150);

// The same audio `durationFactor` times as long, pitch kept (SoundTouch).
PcmAudio Stretched(const PcmAudio& audio, double durationFactor);
// The same audio `semitones` higher, tempo kept (SoundTouch).
PcmAudio PitchShifted(const PcmAudio& audio, double semitones);

// `a` followed by `b` (same format).
PcmAudio Joined(const PcmAudio& a, const PcmAudio& b);
// Silence as long as `audio`, in its format.
PcmAudio SilenceLike(const PcmAudio& audio);
// Every sample times `gain`, clamped to full scale.
PcmAudio Scaled(const PcmAudio& audio, float gain);

// Mono audio as the bytes of a 16-bit WAV file.
QByteArray WavBytes(const PcmAudio& mono);
