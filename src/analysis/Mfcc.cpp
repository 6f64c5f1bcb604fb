#include "analysis/Mfcc.h"

#include "analysis/AnalysisVoice.h"
#include "analysis/AubioFrames.h"

#include <algorithm>

namespace {

constexpr int kWindow = 512;
constexpr int kBands = 40;
constexpr int kCoefficients = 13;

} // namespace

FeatureFrames ComputeMfcc(const std::vector<float>& voice, const std::vector<bool>& quiet)
{
    FeatureFrames features;
    features.dims = kCoefficients;
    features.values.resize(std::size_t(FrameCount(voice.size())) * kCoefficients);
    if (features.values.empty())
        return features;

    const AubioPtr<aubio_pvoc_t> pvoc(new_aubio_pvoc(kWindow, kAnalysisHop));
    const AubioPtr<aubio_mfcc_t> mfcc(new_aubio_mfcc(kWindow, kBands, kCoefficients, kAnalysisRate));
    const AubioPtr<cvec_t> spectrum(new_cvec(kWindow));
    const AubioPtr<fvec_t> coefficients(new_fvec(kCoefficients));
    FeedCentred(
        Dithered(voice), kWindow,
        [&](const fvec_t& hop) {
            aubio_pvoc_do(pvoc.get(), &hop, spectrum.get());
            aubio_mfcc_do(mfcc.get(), spectrum.get(), coefficients.get());
        },
        [&](int k) {
            std::copy(coefficients->data, coefficients->data + kCoefficients,
                      features.values.begin() + std::ptrdiff_t(k) * kCoefficients);
        });

    const int count = features.Count();
    const bool anySound = std::find(quiet.begin(), quiet.end(), false) != quiet.end();
    auto counted = [&](int k) { return !anySound || std::size_t(k) >= quiet.size() || !quiet[std::size_t(k)]; };
    for (int d = 0; d < kCoefficients; ++d) {
        double sum = 0;
        int n = 0;
        for (int k = 0; k < count; ++k) {
            if (counted(k)) {
                sum += features.values[std::size_t(k * kCoefficients + d)];
                ++n;
            }
        }
        const float mean = float(sum / n);
        for (int k = 0; k < count; ++k)
            features.values[std::size_t(k * kCoefficients + d)] -= mean;
    }
    return features;
}
