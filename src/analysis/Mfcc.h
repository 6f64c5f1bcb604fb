#pragma once

#include <vector>

// One feature vector per analysis frame, stored row after row.
struct FeatureFrames {
    int dims = 0;
    std::vector<float> values;

    int Count() const { return dims > 0 ? int(values.size()) / dims : 0; }
    const float* Frame(int k) const { return values.data() + std::size_t(k) * std::size_t(dims); }
};

// 13 mel-frequency cepstral coefficients per frame (aubio: 32 ms windows, 40
// mel bands), each less its mean over the frames that are not `quiet`, so
// that two microphones or two speakers' average colouring do not count as a
// difference and a long silence does not shift the mean. Pure: callable from
// any thread.
FeatureFrames ComputeMfcc(const std::vector<float>& voice, const std::vector<bool>& quiet);
