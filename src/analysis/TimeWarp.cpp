#include "analysis/TimeWarp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int kLeastBand = 30;              // frames: 0.3 s
constexpr double kBandShare = 0.25;
constexpr float kQuietPairWeight = 0.25f;
// Of the mean distance along the diagonal, per step off it.
constexpr double kSidePenalty = 0.2;

float Distance(const FeatureFrames& a, int i, const FeatureFrames& b, int j)
{
    const float* x = a.Frame(i);
    const float* y = b.Frame(j);
    float sum = 0;
    for (int d = 0; d < a.dims; ++d)
        sum += (x[d] - y[d]) * (x[d] - y[d]);
    return std::sqrt(sum);
}

// The band of one model row: take columns lo..hi, stored from `base` on.
struct BandRow {
    int base = 0;
    int lo = 0;
    int hi = -1;
};

} // namespace

std::vector<WarpStep> WarpBanded(const FeatureFrames& model, FrameRange modelRange, const std::vector<bool>& modelQuiet,
                                 const FeatureFrames& take, FrameRange takeRange, const std::vector<bool>& takeQuiet)
{
    const int n = modelRange.Count();
    const int m = takeRange.Count();
    if (n == 0 || m == 0 || model.dims != take.dims)
        return {};

    // Wide enough that the band never breaks apart, however steep the diagonal.
    const double slope = n > 1 ? double(m - 1) / (n - 1) : double(m);
    int band = std::max(kLeastBand, int(std::ceil(kBandShare * std::max(n, m))));
    band = std::max(band, int(std::ceil(std::max(slope, 1.0 / std::max(slope, 1e-9)))) + 1);
    const int width = 2 * band + 1;
    std::vector<BandRow> rows(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int centre = n > 1 ? int(std::lround(i * slope)) : 0;
        rows[std::size_t(i)] = {centre - band, std::max(0, centre - band), std::min(m - 1, centre + band)};
    }

    auto local = [&](int i, int j) {
        const int mi = modelRange.first + i;
        const int tj = takeRange.first + j;
        float d = Distance(model, mi, take, tj);
        if (modelQuiet[std::size_t(mi)] && takeQuiet[std::size_t(tj)])
            d *= kQuietPairWeight;
        return d;
    };

    // A step off the diagonal pays a little extra, so that where the
    // features say little the path keeps the pace it had.
    double diagonal = 0;
    for (int i = 0; i < n; ++i)
        diagonal += local(i, std::clamp(rows[std::size_t(i)].base + band, 0, m - 1));
    const float sidePenalty = float(kSidePenalty * diagonal / n);

    // Symmetric steps: a diagonal step counts its cell twice, so a path's
    // total does not depend on how it cuts corners.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::vector<float> total(std::size_t(n) * std::size_t(width), kInf);
    std::vector<uint8_t> from(total.size(), 0);  // 0 diagonal, 1 from the model side, 2 from the take side
    auto at = [&](int i, int j) -> std::ptrdiff_t {
        const BandRow& r = rows[std::size_t(i)];
        if (j < r.lo || j > r.hi)
            return -1;
        return std::ptrdiff_t(i) * width + (j - r.base);
    };
    for (int i = 0; i < n; ++i) {
        const BandRow& r = rows[std::size_t(i)];
        for (int j = r.lo; j <= r.hi; ++j) {
            const std::ptrdiff_t here = at(i, j);
            const float d = local(i, j);
            if (i == 0 && j == 0) {
                total[std::size_t(here)] = d;
                continue;
            }
            float best = kInf;
            uint8_t way = 0;
            if (const std::ptrdiff_t p = i > 0 && j > 0 ? at(i - 1, j - 1) : -1; p >= 0 && total[std::size_t(p)] + 2 * d < best) {
                best = total[std::size_t(p)] + 2 * d;
                way = 0;
            }
            if (const std::ptrdiff_t p = i > 0 ? at(i - 1, j) : -1; p >= 0 && total[std::size_t(p)] + d + sidePenalty < best) {
                best = total[std::size_t(p)] + d + sidePenalty;
                way = 1;
            }
            if (const std::ptrdiff_t p = j > 0 ? at(i, j - 1) : -1; p >= 0 && total[std::size_t(p)] + d + sidePenalty < best) {
                best = total[std::size_t(p)] + d + sidePenalty;
                way = 2;
            }
            total[std::size_t(here)] = best;
            from[std::size_t(here)] = way;
        }
    }

    std::vector<WarpStep> path;
    int i = n - 1;
    int j = m - 1;
    while (true) {
        const std::ptrdiff_t here = at(i, j);
        path.push_back({modelRange.first + i, takeRange.first + j, local(i, j)});
        if (i == 0 && j == 0)
            break;
        switch (from[std::size_t(here)]) {
        case 0: --i; --j; break;
        case 1: --i; break;
        default: --j; break;
        }
    }
    std::reverse(path.begin(), path.end());
    return path;
}

std::vector<double> TakeFrameOfModelFrame(const std::vector<WarpStep>& path, int modelFrames, int takeFrames)
{
    std::vector<double> sum(std::size_t(std::max(modelFrames, 0)), 0.0);
    std::vector<int> count(sum.size(), 0);
    for (const WarpStep& s : path) {
        sum[std::size_t(s.model)] += s.take;
        ++count[std::size_t(s.model)];
    }
    const int first = path.empty() ? 0 : path.front().model;
    const int last = path.empty() ? -1 : path.back().model;
    const double takeAtFirst = path.empty() ? 0.0 : sum[std::size_t(first)] / count[std::size_t(first)];
    const double takeAtLast = path.empty() ? 0.0 : sum[std::size_t(last)] / count[std::size_t(last)];
    std::vector<double> out(sum.size());
    const double lastTake = std::max(0, takeFrames - 1);
    for (int k = 0; k < modelFrames; ++k) {
        double t;
        if (path.empty())
            t = k;
        else if (k < first)
            t = takeAtFirst - (first - k);
        else if (k > last)
            t = takeAtLast + (k - last);
        else
            t = sum[std::size_t(k)] / count[std::size_t(k)];
        out[std::size_t(k)] = std::clamp(t, 0.0, lastTake);
    }
    return out;
}

std::vector<float> ModelFrameCost(const std::vector<WarpStep>& path, int modelFrames)
{
    std::vector<float> sum(std::size_t(std::max(modelFrames, 0)), 0.0f);
    std::vector<int> count(sum.size(), 0);
    for (const WarpStep& s : path) {
        sum[std::size_t(s.model)] += s.cost;
        ++count[std::size_t(s.model)];
    }
    for (std::size_t k = 0; k < sum.size(); ++k)
        sum[k] = count[k] ? sum[k] / float(count[k]) : std::numeric_limits<float>::quiet_NaN();
    return sum;
}
