#pragma once

#include "analysis/FrameEnergy.h"

#include <QStringList>

#include <vector>

// A stretch of the model's time line where the take parts from it.
struct Parting {
    int firstFrame = 0;
    int lastFrame = 0;
    bool sound = false;  // the warped take sounds unlike the model there
    bool pitch = false;  // the take's pitch moves the other way
    float score = 0;     // how strongly; the strongest comes first
    QStringList words;   // the model's words under it, once placed
};

constexpr int kMostPartings = 3;

// The stretches where the take differs most, strongest first, at most
// kMostPartings, within the model's speech:
// - sound: the warping path's cost on a model frame (`frameCost`, NaN off the
//   path), smoothed over 150 ms, well above its median over the speech;
// - pitch: over 300 ms the model's pitch rises and the take's falls by a
//   semitone or more each, or the other way round, as straight lines through
//   the frames voiced in both tell (`modelPitch` and `takePitch` in
//   semitones per model frame, NaN where unvoiced).
// When both kinds are found the strongest pitch stretch is always among
// those returned. Stretches of both kinds that overlap become one. Pure.
std::vector<Parting> FindPartings(const std::vector<float>& frameCost, const std::vector<float>& modelPitch,
                                  const std::vector<float>& takePitch, FrameRange modelSpeech);
