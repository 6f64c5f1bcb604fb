#pragma once

#include <cstddef>
#include <vector>

struct PcmAudio;

// Every voice is analysed mono at one rate, in frames of 10 ms: frame k is
// centred on sample k × kAnalysisHop.
constexpr int kAnalysisRate = 16000;
constexpr int kAnalysisHop = 160;
constexpr double kFrameSeconds = double(kAnalysisHop) / kAnalysisRate;

// Frames covering `samples` samples at the analysis rate.
int FrameCount(std::size_t samples);

// `audio` mixed to mono and resampled to the analysis rate. Empty for empty
// audio. Pure: callable from any thread.
std::vector<float> AnalysisVoice(const PcmAudio& audio);
