#pragma once

#include <cstdint>
#include <optional>
#include <span>

class SpeechDecoder;

// The acoustic score (per 10 ms frame, ≤ 0) of the best sequence of any
// phones the model knows over `pcm` (16 kHz mono): how well speech can be
// explained at all, the yardstick for how well a given text explains it.
// Compare only with scores of a decoder of the same scoring. Nothing when
// the decoder fails. Call from the decoder's thread.
std::optional<double> FreePhoneScore(SpeechDecoder& decoder, std::span<const int16_t> pcm);
