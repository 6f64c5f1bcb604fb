#pragma once

#include <algorithm>
#include <vector>

// The middle value (the upper one of an even count); 0 for none.
inline float MedianOf(std::vector<float> values)
{
    if (values.empty())
        return 0.0f;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}
