#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Test fixtures: short MP3s encoded at run time with libmp3lame.

// A deterministic signal that changes from frame to frame (two gliding tones
// and a little noise), interleaved, `frames` × `channels` samples.
std::vector<int16_t> MakeTestSignal(int64_t frames, int channels, int rate);

// Encodes interleaved 16-bit PCM as a constant-bit-rate MP3 whose first frame
// carries the encoder's tag, so a gapless decoder gives back exactly
// pcm.size() / channels frames; without `infoTag` the stream is bare frames.
// A frame too small for the tag (mono 22,050 Hz at 32 kbps: 104 bytes) gets
// bare frames too, as from LAME's own encoder; a decoder then also gives back
// the encoder's delay and padding. Empty on an encoder error.
QByteArray EncodeMp3(const std::vector<int16_t>& pcm, int channels, int rate, int kbps, bool infoTag = true);

// MakeTestSignal encoded with EncodeMp3.
QByteArray MakeTestMp3(double seconds, int channels, int rate, int kbps);
