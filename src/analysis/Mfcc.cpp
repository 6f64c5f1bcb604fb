#include "analysis/Mfcc.h"

#include "analysis/AnalysisVoice.h"
#include "analysis/AubioFrames.h"

#include <algorithm>

namespace {

constexpr int kMfccWindow = 512;
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

    // Only the magnitudes are needed: the FFT's norm, without the phases a
    // phase vocoder would work out too.
    char windowType[] = "hanningz";
    const AubioPtr<fvec_t> window(new_aubio_window(windowType, kMfccWindow));
    const AubioPtr<aubio_fft_t> fft(new_aubio_fft(kMfccWindow));
    const AubioPtr<aubio_mfcc_t> mfcc(new_aubio_mfcc(kMfccWindow, kBands, kCoefficients, kAnalysisRate));
    const AubioPtr<fvec_t> frame(new_fvec(kMfccWindow));
    const AubioPtr<fvec_t> complex(new_fvec(kMfccWindow));
    const AubioPtr<cvec_t> spectrum(new_cvec(kMfccWindow));
    const AubioPtr<fvec_t> coefficients(new_fvec(kCoefficients));
    const std::vector<float> dithered = Dithered(voice);
    const auto size = std::ptrdiff_t(dithered.size());
    for (int k = 0; k < features.Count(); ++k) {
        // The window centred on the frame, zeros beyond the voice.
        const std::ptrdiff_t from = std::ptrdiff_t(k) * kAnalysisHop - kMfccWindow / 2;
        for (int i = 0; i < kMfccWindow; ++i) {
            const std::ptrdiff_t at = from + i;
            frame->data[i] = at >= 0 && at < size ? dithered[std::size_t(at)] : 0.0f;
        }
        fvec_weight(frame.get(), window.get());
        aubio_fft_do_complex(fft.get(), frame.get(), complex.get());
        aubio_fft_get_norm(complex.get(), spectrum.get());
        aubio_mfcc_do(mfcc.get(), spectrum.get(), coefficients.get());
        std::copy(coefficients->data, coefficients->data + kCoefficients,
                  features.values.begin() + std::ptrdiff_t(k) * kCoefficients);
    }

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
